#pragma once

#include "mainwindow/MainWindowForm.h"

#include <QMainWindow>
#include <functional>

class QLabel;

namespace mainwindow {

// Form1, the program's main window: its controls live in the form, its behaviour in the
// logic that connects to them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    MainWindowForm& form() { return form_; }

    // Called when the window is asked to close (close box, Alt+F4, the session ending); the
    // program's exit path decides what happens.
    std::function<void()> onCloseRequested;
    // Called by the exit path when it has run: from then on the window closes, so the
    // application's quit, which closes every window first, can end the program.
    void allowClosing() { closingAllowed_ = true; }

    // The port in use and how it is reached, in the status bar: "Lpt = 888 (simulated)".
    void showPortStatus(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainWindowForm form_;
    QLabel* portStatus_;
    bool closingAllowed_ = false;
};

} // namespace mainwindow
