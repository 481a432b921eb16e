#pragma once

#include <QColor>
#include <QLineEdit>

namespace mainwindow {

// Back colours of entry fields: cyan while a field is locked, white while it can be edited.
inline const QColor LockedFieldColor{0x00, 0xFF, 0xFF};
inline const QColor EditableFieldColor{0xFF, 0xFF, 0xFF};

// A numeric entry field of the main window. It reports being entered and double-clicked
// (a double click acts like the button beside it) and shows its lock in its back colour.
class EntryField : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryField(QWidget* parent = nullptr);

    // Locked: read-only on a cyan back; unlocked: editable on white.
    void setLocked(bool locked);
    bool isLocked() const { return isReadOnly(); }

signals:
    void entered();       // the field got the keyboard focus
    void doubleClicked(); // after Qt's own double-click handling (word selection)

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace mainwindow
