#pragma once

#include "app/DisplayWindows.h"
#include "mainwindow/MainWindow.h"
#include "program/DirectTableWindow.h"
#include "program/TimerTableWindow.h"
#include "station/Station.h"

#include <QObject>
#include <QPointer>

namespace app {

// The direct table and the timer table: their windows, the main window's entries and buttons
// that open and close them, the timer's label on the main window, and their part of start-up,
// of a stepper switch and of the way out.
class ProgramWindows : public QObject {
    Q_OBJECT

public:
    ProgramWindows(station::Station& station, mainwindow::MainWindow& main,
                   const DisplayWindows& displays, QObject* parent = nullptr);
    ~ProgramWindows() override;

    // The windows while they are open (the timer one also while hidden).
    program::DirectTableWindow* directWindow() const;
    program::TimerTableWindow* timerWindow() const;
    // At start-up: true when the timer window is visible.
    bool openTimerWindow();
    // Another table window opens: these close as their entries would close them.
    void closeDirectWindow();
    void closeTimerWindow();

signals:
    // The window is about to open: the other table windows close first.
    void directOpening();
    void timerOpening();

private:
    void renderTableEntries();
    void setTimerWindowShown(bool shown);
    void directClicked();
    void timerClicked();
    void openDirectWindow();
    void directWindowClosed();
    void timerWindowClosed();
    void timerHidden(bool runs);
    void toggleMainWindow();
    void afterInitMain();
    void exitStarted();
    // Shows the main window when no other window of the program is visible but except.
    void keepAWindowVisible(const QWidget* except);

    station::Station& station_;
    core::ProgramState& state_;
    engine::Engine& engine_;
    mainwindow::MainWindow& window_;
    const DisplayWindows& displays_;
    // Kept until deleted: a closed window waits for its handlers to return.
    QPointer<program::DirectTableWindow> directWindow_;
    QPointer<program::TimerTableWindow> timerWindow_;
};

} // namespace app
