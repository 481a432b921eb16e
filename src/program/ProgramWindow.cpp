#include "program/ProgramWindow.h"

#include "engine/KeyCodes.h"
#include "widgets/EnterPress.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>

namespace program {

ProgramWindow::ProgramWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

void ProgramWindow::leave() {
    if (--handlers_ == 0 && closed_)
        deleteLater();
}

void ProgramWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_)
        return;
    closed_ = true;
    // Held through the close itself: stopLogic() and closed() may let events run.
    holdOpen();
    stopLogic();
    hide();
    emit closed();
    leave();
}

void ProgramWindow::routeStopKeys() {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(child) == nullptr)
            child->installEventFilter(this);
    }
}

bool ProgramWindow::stopKey(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape && event->key() != Qt::Key_Space)
        return false;
    const int code = engine::VirtualKeyCode(static_cast<Qt::Key>(event->key()), event->modifiers());
    const int shift = engine::ModifierMask(event->modifiers());
    handle([&] { emit keyCommand(code, shift); });
    return true;
}

bool ProgramWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        (stopKey(static_cast<QKeyEvent*>(event)) ||
         widgets::PressedByEnter(watched, *static_cast<QKeyEvent*>(event))))
        return true;
    return QWidget::eventFilter(watched, event);
}

void ProgramWindow::keyPressEvent(QKeyEvent* event) {
    if (!stopKey(event))
        QWidget::keyPressEvent(event);
}

} // namespace program
