#pragma once

#include "mainwindow/MainWindowForm.h"

#include <QMainWindow>
#include <functional>

namespace mainwindow {

// Form1, the program's main window: its controls live in the form, its behaviour in the
// logic that connects to them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    MainWindowForm& form() { return form_; }

    // Called when the user closes the window; the program's exit path decides what happens.
    std::function<void()> onCloseRequested;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainWindowForm form_;
};

} // namespace mainwindow
