#include "mainwindow/MainWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

namespace mainwindow {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), form_(*this) {
    setObjectName(QStringLiteral("Form1"));
    portStatus_ = new QLabel(this);
    portStatus_->setObjectName(QStringLiteral("portStatus"));
    statusBar()->addPermanentWidget(portStatus_);
}

void MainWindow::showPortStatus(const QString& text) {
    portStatus_->setText(text);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the exit path has stored, parked and saved.
    if (!closingAllowed_ && onCloseRequested)
        onCloseRequested();
    event->setAccepted(closingAllowed_);
}

} // namespace mainwindow
