#pragma once

#include "core/CommandLine.h"
#include "core/ConfigFile.h"
#include "core/ProgramState.h"
#include "core/ShutdownSignals.h"
#include "engine/CalibrationRun.h"
#include "engine/Engine.h"
#include "engine/ExitPath.h"
#include "engine/Housekeeping.h"
#include "engine/KeyControl.h"
#include "engine/MainFields.h"
#include "engine/MainInit.h"
#include "engine/OverlayPanel.h"
#include "engine/ShuttlePuls.h"
#include "engine/StepperParams.h"
#include "engine/TurnCommands.h"
#include "engine/WheelControl.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashWindow.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SdlJoystick.h"
#include "port/SwitchInputs.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace app {

// The splash's address: the home page in the default browser; the user is told when no browser
// could be started.
void OpenHomePage(platform::Platform& platform);

// The application, the one place that knows every part: it owns the state, the port, the
// engine, the logic of every panel and every window, and wires them. Logic tells its news
// through signals connected here to the windows (VentroloAppWiring.cpp); the menus that open or
// toggle windows are handled here (VentroloAppMenus.cpp). A new window is a logic class in its
// subsystem's library plus a small window class, both built and connected here.
class VentroloApp : public QObject {
    Q_OBJECT
public:
    VentroloApp(const QString& programDirectory, platform::Platform& platform,
                std::unique_ptr<platform::LptPort> lpt);
    ~VentroloApp() override;

    // The program's start on the desktop (a QApplication exists): the program directory, the
    // single instance, the splash for a second, the parallel port, then the windows; returns
    // the exit code when the program has ended.
    static int Run(const core::CommandLineOptions& options);

    // Prepares the wheel functions, loads the configuration and builds the windows (InitMain).
    void start();
    // True once the exit path has saved and ended (also when a signal arrived during start-up).
    bool ended() const { return exitPath_.finished(); }

    core::ProgramState& state() { return state_; }
    engine::Engine& engine() { return engine_; }
    mainwindow::MainWindow& mainWindow() { return window_; }
    // The exit dialog while the park question is open; null otherwise.
    mainwindow::ExitDialog* exitDialog() const { return exitDialog_; }
    // The splash window opened by "&About", while it is open.
    mainwindow::SplashWindow* splashWindow() const { return splash_; }
    mainwindow::InputSimulationWindow* inputSimulationWindow() const { return simulationWindow_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // VentroloAppWiring.cpp
    void wireLogic();
    void wireMainWindow();

    // The defaults replaced the settings: all ports cleared, PcSpeed measured.
    void defaultsMade();

    // The windows InitMain shows. The pelorus, table and timer windows open in their places
    // below as they become part of the program; until then they report that they did not.
    void showWindows(const engine::StartWindows& windows);
    bool openPelorusWindow() { return false; }
    bool openSmallPelorusWindow() { return false; }
    bool openTableWindow() { return false; }
    bool openTimerWindow() { return false; }

    void exitStarted();
    void openParkQuestion(engine::ExitCountdown& countdown);
    void finish();

    // VentroloAppMenus.cpp
    void connectMenus();
    void showInputSimulation(bool open);
    void aboutClicked();
    void showSplash();

    core::ProgramState state_;
    platform::Platform& platform_;
    std::unique_ptr<platform::LptPort> lpt_;
    port::SwitchInputs switches_;
    engine::Engine engine_;
    core::ConfigFile config_;
    port::SdlJoystick joystickDevice_;
    port::JoystickStatus joystick_;
    engine::MainFields fields_;
    engine::Housekeeping housekeeping_;
    engine::KeyControl keys_;
    engine::WheelControl wheel_;
    engine::TurnCommands turns_;
    engine::StepperParams params_;
    engine::ShuttlePuls shuttlePuls_;
    engine::CalibrationRun calibration_;
    engine::OverlayPanel overlay_;
    engine::MainInit mainInit_;
    engine::ExitPath exitPath_;
    mainwindow::MainWindow window_;
    core::ShutdownSignals shutdownSignals_;
    QPointer<mainwindow::ExitDialog> exitDialog_;
    QPointer<mainwindow::SplashWindow> splash_;
    QPointer<mainwindow::InputSimulationWindow> simulationWindow_;
};

} // namespace app
