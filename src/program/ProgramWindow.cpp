#include "program/ProgramWindow.h"

#include <QCloseEvent>

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

} // namespace program
