#include "mainwindow/MainWindow.h"

#include <QCloseEvent>

namespace mainwindow {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), form_(*this) {
    setObjectName(QStringLiteral("Form1"));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the exit path has stored, parked and saved.
    if (!closingAllowed_ && onCloseRequested)
        onCloseRequested();
    event->setAccepted(closingAllowed_);
}

} // namespace mainwindow
