#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "program/Turner.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace program {

// The direct table's logic (Form8 without its widgets): the program text, the endless run of
// the program through the Turner, and the label of the value in hand. The window shows text(),
// RunCaption() and CurrentText(), and forwards the user's edits, the Start button and the label
// click.
class DirectTable : public QObject {
    Q_OBJECT

public:
    DirectTable(const core::ProgramState& state, platform::Platform& platform, Turner& turner,
                QObject* parent = nullptr);

    // --- the program text (txtData) ---
    const QString& text() const { return text_; }
    // The user changed the text (typing, pasting, a loaded program): a running program stops as
    // by the Start button, and the text keeps only what a program holds. Showing text() in the
    // box is no edit: a text equal to the present one changes nothing.
    void TextEdited(const QString& typed);

    // --- running (cmdRun) ---
    // The Start/Running button: a running program stops; otherwise the program starts and runs
    // inside this call, value after value and over again, until it is stopped (this button, an
    // edit, a stop request of the engine such as Esc, a turn the engine refuses, or
    // WindowGone). A program of one value runs once. A program with a value that has no number
    // runs not at all: a beep, and the value is marked.
    void RunClicked();
    bool running() const { return running_; }
    QString RunCaption() const;
    // The window is closing: a run ends at once (its turn is stopped) and touches nothing of the
    // table afterwards; the table may be deleted once the handler that closed it has unwound.
    void WindowGone();

    // --- the current value (lblAktueel) ---
    QString CurrentText() const { return current_; }
    core::Long CurrentColor() const { return currentColor_; }
    // A click on the label: steps or degrees.
    void ToggleCounterInDegrees();

signals:
    // text() was changed by the table itself (the filter, the comma appended at the start).
    void textChanged();
    void runningChanged();
    void currentChanged();
    // The value the program is about to turn to, to be selected in the program box.
    void valueMarked(int start, int length);

private:
    void ExtractvarData();
    // Waits ms with the window live; returns early when the run ends meanwhile.
    void pause(core::Long ms, const std::function<bool()>& goOn);
    void setCurrent(const QString& text);
    void showCurrent();
    void endRun();

    const core::ProgramState& state_;
    platform::Platform& platform_;
    Turner& turner_;
    QString text_;
    bool running_ = false;
    bool gone_ = false;
    std::uint64_t runId_ = 0;
    QString current_ = QStringLiteral("Waiting");
    core::Long currentColor_ = 0;
    bool counterInDegrees_ = false;
    core::Long target_ = 0;
};

} // namespace program
