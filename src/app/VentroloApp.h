#pragma once

#include "core/CommandLine.h"
#include "display/CatTerminalWindow.h"
#include "display/LptInputTest.h"
#include "display/LptOutputTest.h"
#include "display/Resources.h"
#include "display/WebcamTurning.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashWindow.h"
#include "program/DirectTableWindow.h"
#include "program/TimerTableWindow.h"
#include "station/Station.h"
#include "table/TableWindow.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

namespace display {
class LptInputWindow;
class LptOutputWindow;
class PelorusWindow;
class PictureWindow;
class SmallPelorusWindow;
class TextWindow;
class WebcamWindow;
} // namespace display

namespace app {

// The splash's address: the home page in the default browser; the user is told when no browser
// could be started.
void OpenHomePage(platform::Platform& platform);

// The application, the one place that knows every part: it owns the state, the port, the
// engine, the logic of every panel and every window, and wires them. Logic tells its news
// through signals connected here to the windows (VentroloAppWiring.cpp); what the main window
// asks for (a window opened or closed, the configuration stored) is handled here, beside the
// windows it concerns (VentroloAppMenus.cpp for the rest). A new window is a logic class in its
// subsystem's library plus a small window class, both built and connected here.
class VentroloApp : public QObject {
    Q_OBJECT
public:
    // What a window opens beside: the main window, or the pelorus when that docked on the main
    // window's right for want of room on its left.
    static const QWidget& WindowsAnchor(const QWidget& main, const QWidget* pelorus);

    VentroloApp(const QString& programDirectory, platform::Platform& platform,
                std::unique_ptr<platform::LptPort> lpt);
    ~VentroloApp() override;

    // The program's start on the desktop (a QApplication exists): the program directory, the
    // single instance, the splash for a second, the parallel port, then the windows; returns
    // the exit code when the program has ended.
    static int Run(const core::CommandLineOptions& options);

    // Loads the configuration and the journal, prepares the wheel functions and builds the
    // windows (InitMain).
    void start();
    // Starts (unless started) and runs the event loop until the program has ended; returns the
    // exit code. Whatever ends it, an exception out of an event handler included, the data
    // register is 0 when it returns.
    int exec();
    // True once the exit path has saved and ended (also when a signal arrived during start-up).
    bool ended() const { return exitPath_.finished(); }

    station::Station& station() { return station_; }
    core::ProgramState& state() { return state_; }
    engine::Engine& engine() { return engine_; }
    mainwindow::MainWindow& mainWindow() { return window_; }
    // The exit dialog while the park question is open; null otherwise.
    mainwindow::ExitDialog* exitDialog() const { return exitDialog_; }
    // The splash window opened by "&About", while it is open.
    mainwindow::SplashWindow* splashWindow() const { return splash_; }
    mainwindow::InputSimulationWindow* inputSimulationWindow() const { return simulationWindow_; }
    // The table window (Form3) and the CAT terminal while they are open.
    table::TableWindow* tableWindow() const { return tableWindow_; }
    display::CatTerminalWindow* catTerminal() const { return terminal_; }
    rig::RigTuning& tuning() { return tuning_; }
    rig::SimulatedRig& simulatedRig() { return station_.simulatedRig(); }
    rig::CatLog& catLog() { return station_.catLog(); }
    // The values of Ventrolo.ini that cannot be used, told once after the start.
    core::SettingsReport& settingsReport() { return station_.settingsReport(); }
    // The direct and timer table windows while they are open (the timer one also while hidden).
    program::DirectTableWindow* directWindow() const;
    program::TimerTableWindow* timerWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // VentroloAppWiring.cpp
    void wireLogic();
    void wireMainWindow();


    // The windows InitMain shows; each reports whether it opened.
    void showWindows(const engine::StartWindows& windows);
    bool openPelorusWindow();
    bool openSmallPelorusWindow();
    bool openTableWindow();
    bool openTimerWindow();

    void exitStarted();
    void openParkQuestion(engine::ExitCountdown& countdown);
    void finish();

    // VentroloAppMenus.cpp
    void connectMenus();
    void showInputSimulation(bool open);
    void aboutClicked();
    void showSplash();

    // VentroloAppPrograms.cpp: the direct and timer table windows.
    void wirePrograms();
    void renderTableEntries();
    // The table windows are open one at a time: opening one closes the others.
    enum class TableKind { Table, Direct, Timer };
    void closeOtherTableWindows(TableKind opening);
    void setTimerWindowShown(bool shown);
    void directClicked();
    void timerClicked();
    void openDirectWindow();
    void directWindowClosed();
    void timerWindowClosed();
    void timerHidden(bool runs);
    void toggleMainWindow();
    void programsAfterInitMain();
    void programsAtExit();
    // Shows the main window when no other window of the program is visible but except.
    void keepAWindowVisible(const QWidget* except);
    // Right of the main window (of the pelorus when that docked on its right), top edges level,
    // or under the main window where there is no room on the right (the table windows).
    void placeBesideMainWindow(QWidget* window);

    // VentroloAppStation.cpp: the rotator server's menu item.
    void wireStation();

    station::Station station_;
    // The station's parts the windows are built on.
    core::ProgramState& state_ = station_.state();
    platform::Platform& platform_ = station_.platform();
    port::SwitchInputs& switches_ = station_.switches();
    engine::Engine& engine_ = station_.engine();
    core::ConfigFile& config_ = station_.config();
    port::JoystickStatus& joystick_ = station_.joystick();
    engine::MainFields& fields_ = station_.fields();
    engine::Housekeeping& housekeeping_ = station_.housekeeping();
    engine::TurnCommands& turns_ = station_.turns();
    engine::StepperParams& params_ = station_.params();
    engine::KeyControl& keys_ = station_.keys();
    engine::WheelControl& wheel_ = station_.wheel();
    engine::ShuttlePuls& shuttlePuls_ = station_.shuttlePuls();
    engine::CalibrationRun& calibration_ = station_.calibration();
    engine::OverlayPanel& overlay_ = station_.overlay();
    engine::MainInit& mainInit_ = station_.mainInit();
    engine::ExitPath& exitPath_ = station_.exitPath();
    rig::RigTuning& tuning_ = station_.tuning();
    rig::SimulatedRig& simulatedRig_ = station_.simulatedRig();
    table::TableEditor& tableEditor_ = station_.tableEditor();
    table::TableViewModel& tableView_ = station_.tableView();
    mainwindow::MainWindow window_;
    bool started_ = false;
    QPointer<mainwindow::ExitDialog> exitDialog_;
    QPointer<mainwindow::SplashWindow> splash_;
    QPointer<mainwindow::InputSimulationWindow> simulationWindow_;

    // --- the table window, the rig link and automatic tuning (VentroloAppTable.cpp) ---
    void wireTable();
    // The window's closing (PTT off, port closed, a changed table saved); on the way out also
    // without a question, and TableWindowShown stays for the next start.
    void closeTableWindow(bool exiting);
    void showCatTerminal(bool shown);
    void mainWindowClicked();

    QPointer<table::TableWindow> tableWindow_;
    QPointer<display::CatTerminalWindow> terminal_;

    // --- the displays: pelorus, small pelorus, webcam turning, LPT tests, text and picture
    // windows, their menu entries and the news they follow (VentroloAppDisplays.cpp) ---
    void wireDisplays(const QString& programDirectory);
    void connectDisplayMenus();
    // The help texts missing in the program directory are put there; a failure is told.
    void seedHelpTexts();
    void deleteDisplays();
    void redrawPelorus();
    void renderPelorusEntries();
    // "&Pelorus" (and its button) or "P&elorus smal": the window opens or closes.
    void pelorusMenuClicked(bool small);
    void pelorusClosed();
    void smallPelorusClosed();
    void anyWindowClosed();
    void mainToggled();
    void showWebcam();
    void webcamLptOut(bool checked);
    void openLptOutput();
    void openLptInput();
    void lptTestClosed();
    void showText(display::HelpText text);
    // The picture of display::Pictures[index].
    void showPicture(std::size_t index, bool open);
    void displaysExitStarted();

    QString programDirectory_;
    display::LptOutputTest lptOutput_{state_, station_.lpt(), platform_, engine_.coil().outputs()};
    display::LptInputTest lptInput_{station_.lpt()};
    display::WebcamTurning webcam_{{state_, platform_, engine_, mainInit_, wheel_}};
    QPointer<display::PelorusWindow> pelorusWindow_;
    QPointer<display::SmallPelorusWindow> smallPelorusWindow_;
    QPointer<display::WebcamWindow> webcamWindow_;
    QPointer<display::LptOutputWindow> lptOutputWindow_;
    QPointer<display::LptInputWindow> lptInputWindow_;
    QPointer<display::TextWindow> textWindow_;
    std::array<QPointer<display::PictureWindow>, display::Pictures.size()> pictureWindows_;

    // --- programmed turning (VentroloAppPrograms.cpp) ---
    // Kept until deleted: a closed window waits for its handlers to return.
    QPointer<program::DirectTableWindow> directWindow_;
    QPointer<program::TimerTableWindow> timerWindow_;

};

} // namespace app
