#include "mainwindow/EntryField.h"

#include <QPalette>

namespace mainwindow {

EntryField::EntryField(QWidget* parent) : QLineEdit(parent) {
    setLocked(false);
}

void EntryField::setLocked(bool locked) {
    setReadOnly(locked);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, locked ? LockedFieldColor : EditableFieldColor);
    setPalette(colours);
}

void EntryField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit entered();
}

void EntryField::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace mainwindow
