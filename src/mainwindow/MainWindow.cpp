#include "mainwindow/MainWindow.h"

#include <QCloseEvent>

namespace mainwindow {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    // 9720 twips at 15 twips per pixel.
    resize(640, 648);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the exit path has stored, parked and saved.
    event->ignore();
    if (onCloseRequested)
        onCloseRequested();
}

} // namespace mainwindow
