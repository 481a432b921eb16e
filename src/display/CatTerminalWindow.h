#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/CatLog.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QPlainTextEdit;
class QPushButton;

namespace display {

// Form19, the CAT terminal: the rig traffic of the CAT log, green on black, the newest line on
// top, at most 51 lines, as read-only text a screen reader reads and the caret walks. "&Clear"
// empties it; "&Save log" appends the traffic to VentroCat.log while checked. On activation it
// stands against the right edge of the window it is docked to (the table window). The CAT log logs
// only while the terminal is shown; closing it closes the log file and tells closed().
class CatTerminalWindow : public QMainWindow {
    Q_OBJECT

public:
    CatTerminalWindow(rig::CatLog& log, const core::ProgramState& state,
                      platform::Platform& platform, QWidget* dockTo = nullptr,
                      QWidget* parent = nullptr);
    ~CatTerminalWindow() override;

    QPushButton* cmdClear;
    QAction* mnuSaveLog;
    // The text the traffic is shown in.
    QPlainTextEdit* surface() const { return surface_; }

    // Against the right edge of the docking window, same top and height, on the screen.
    void dock();

signals:
    void closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void saveLogToggled(bool on);
    void logFailed(const QString& error);
    void showTraffic();

    rig::CatLog& log_;
    const core::ProgramState& state_;
    platform::Platform& platform_;
    QPointer<QWidget> dockTo_;
    QPlainTextEdit* surface_;
};

} // namespace display
