#pragma once

#include <QMainWindow>
#include <functional>

namespace mainwindow {

// Form1, the program's main window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Called when the user closes the window; the program's exit path decides what happens.
    std::function<void()> onCloseRequested;

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace mainwindow
