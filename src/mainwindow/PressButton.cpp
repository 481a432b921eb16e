#include "mainwindow/PressButton.h"

#include <QMouseEvent>

namespace mainwindow {

PressButton::PressButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void PressButton::mousePressEvent(QMouseEvent* event) {
    // The button shows itself pressed before the handler runs, which may turn for a long
    // time while the release arrives.
    const Qt::MouseButton button = event->button();
    QPushButton::mousePressEvent(event);
    event->accept();
    emit mousePressed(button);
}

} // namespace mainwindow
