#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstddef>

namespace panel {

// The main window's twelve entry fields, by what each holds. Their widgets are Text1 … Text12
// in this order; MainWindow::field() pairs them.
enum class EntryField {
    MaxPosition = 1, // the limits of the range, in steps
    MinPosition,
    GotoStep,
    StepsPer360,
    SlowestDelay, // seconds between steps
    FastestDelay,
    GotoDegrees,
    ShuttleMin,
    ShuttleMax,
    PulsSteps,
    PulsPause, // seconds between pulses
    OverlaySteps
};
inline constexpr std::size_t EntryFieldCount = 12;

// The main window's entry fields as state: what they hold, whether they are read-only, and the
// key preview their focus switches. The window shows textChanged() and lockedChanged() and
// forwards what the user types to Edited().
//
// Every text goes through the fields' rule: only digits and "." ("," becomes "."), and the unit
// behind the number for SlowestDelay, FastestDelay, PulsPause ("Sec") and GotoDegrees ("°");
// MaxPosition takes any text.
// A field's value is its leading number.
class MainFields : public QObject {
    Q_OBJECT

public:
    explicit MainFields(QObject* parent = nullptr);

    const QString& text(EntryField field) const { return texts_[index(field)]; }
    double value(EntryField field) const;
    bool locked(EntryField field) const { return locked_[index(field)]; }
    // Every field's, in the order of EntryField.
    const std::array<QString, EntryFieldCount>& texts() const { return texts_; }
    const std::array<bool, EntryFieldCount>& lockedFields() const { return locked_; }
    // Keys go to the window's key commands before the field with the focus sees them. Off while
    // the user enters a field; back on with the next command that turns.
    bool keyPreview() const { return keyPreview_; }

    void setText(EntryField field, const QString& text);
    // The user typed: the rule applied (textChanged() when it changed what was typed), then
    // edited().
    void Edited(EntryField field, const QString& typed);
    // Read-only on cyan (locked) or editable on white.
    void setLocked(EntryField field, bool locked);
    void setKeyPreview(bool on) { keyPreview_ = on; }
    // The busy lock makes the parameter fields (the range, the steps per 360, the delays and the
    // overlay steps) read-only while a turn runs; its release gives the keys back to the
    // window's commands.
    void ShowBusyLock(bool locked);
    // SlowestDelay and FastestDelay, in seconds.
    void ShowSpeedFields(const QString& slowest, const QString& fastest);

signals:
    void textChanged(panel::EntryField field, const QString& text);
    void lockedChanged(panel::EntryField field, bool locked);
    void edited(panel::EntryField field);

private:
    static std::size_t index(EntryField field) { return static_cast<std::size_t>(field) - 1; }
    static QString ruled(EntryField field, const QString& text);

    std::array<QString, EntryFieldCount> texts_;
    std::array<bool, EntryFieldCount> locked_{};
    bool keyPreview_ = true;
};

} // namespace panel
