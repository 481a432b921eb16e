#pragma once

#include "app/DisplayWindows.h"
#include "app/ProgramWindows.h"
#include "app/TableWindows.h"
#include "core/CommandLine.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashWindow.h"
#include "panel/MainPresenter.h"
#include "station/Station.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace app {

// The splash's address: the home page in the default browser; the user is told when no browser
// could be started.
void OpenHomePage(platform::Platform& platform);

// The desktop program: the station with its windows on top. The main window is built and wired
// here (VentroloAppWiring.cpp, its menus in VentroloAppMenus.cpp); the other windows belong to
// one owner per area (DisplayWindows, TableWindows, ProgramWindows), which this class builds
// and coordinates: the windows the start shows, one table window at a time, the way out.
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
    table::TableWindow* tableWindow() const { return tables_->tableWindow(); }
    display::CatTerminalWindow* catTerminal() const { return tables_->catTerminal(); }
    tuning::RigTuning& tuning() { return station_.tuning(); }
    rig::SimulatedRig& simulatedRig() { return station_.simulatedRig(); }
    rig::CatLog& catLog() { return station_.catLog(); }
    // The values of Ventrolo.ini that cannot be used, told once after the start.
    core::SettingsReport& settingsReport() { return station_.settingsReport(); }
    // The direct and timer table windows while they are open (the timer one also while hidden).
    program::DirectTableWindow* directWindow() const { return programs_->directWindow(); }
    program::TimerTableWindow* timerWindow() const { return programs_->timerWindow(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // VentroloAppWiring.cpp
    void wireLogic();
    void wireMainWindow();

    // The windows InitMain shows.
    void showWindows(const panel::StartWindows& windows);
    // The table, direct and timer windows are open one at a time: opening one closes the
    // others, in the order of their entries.
    enum class TableKind { Table, Direct, Timer };
    void closeOtherTableWindows(TableKind opening);

    void exitStarted();
    void openParkQuestion(panel::ExitCountdown& countdown);
    void finish();

    // VentroloAppMenus.cpp
    void connectMenus();
    void showInputSimulation(bool open);
    void aboutClicked();
    void showSplash();
    // The rotator server's item: its check mark and caption follow the server.
    void wireRotatorServerItem();
    void wireWebServerItem();

    station::Station station_;
    // The station's parts the windows are built on.
    core::ProgramState& state_ = station_.state();
    platform::Platform& platform_ = station_.platform();
    port::SwitchInputs& switches_ = station_.switches();
    engine::Engine& engine_ = station_.engine();
    core::ConfigFile& config_ = station_.config();
    port::JoystickStatus& joystick_ = station_.joystick();
    panel::MainFields& fields_ = station_.fields();
    panel::Housekeeping& housekeeping_ = station_.housekeeping();
    panel::TurnCommands& turns_ = station_.turns();
    panel::StepperParams& params_ = station_.params();
    panel::KeyControl& keys_ = station_.keys();
    engine::WheelControl& wheel_ = station_.wheel();
    panel::ShuttlePuls& shuttlePuls_ = station_.shuttlePuls();
    panel::CalibrationRun& calibration_ = station_.calibration();
    panel::OverlayPanel& overlay_ = station_.overlay();
    panel::MainInit& mainInit_ = station_.mainInit();
    panel::ExitPath& exitPath_ = station_.exitPath();
    panel::MainPresenter presenter_{state_, engine_, station_.speed(), station_.modes()};
    mainwindow::MainWindow window_;
    bool started_ = false;
    QPointer<mainwindow::ExitDialog> exitDialog_;
    QPointer<mainwindow::SplashWindow> splash_;
    QPointer<mainwindow::InputSimulationWindow> simulationWindow_;

    // Built after the main window's wiring, so that the main window hears its news first.
    std::unique_ptr<DisplayWindows> displays_;
    std::unique_ptr<TableWindows> tables_;
    std::unique_ptr<ProgramWindows> programs_;
};

} // namespace app
