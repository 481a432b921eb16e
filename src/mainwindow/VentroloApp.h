#pragma once

#include "core/ConfigFile.h"
#include "core/ProgramState.h"
#include "core/ShutdownSignals.h"
#include "core/StepperSwitch.h"
#include "engine/CalibrationRun.h"
#include "engine/Engine.h"
#include "engine/KeyControl.h"
#include "engine/LptInputs.h"
#include "engine/OverlayPanel.h"
#include "engine/ShuttlePuls.h"
#include "engine/StepperParams.h"
#include "engine/WheelControl.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashWindow.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SdlJoystick.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace mainwindow {

// The splash's address: the home page in the default browser; the user is told when no browser
// could be started.
void OpenHomePage(platform::Platform& platform);

// The application: owns the state, the seams and the windows, runs start-up, the main
// window's menus and the single exit path.
class VentroloApp : public QObject, private core::StepperSwitchSeam {
    Q_OBJECT
public:
    VentroloApp(const QString& programDirectory, platform::Platform& platform,
                std::unique_ptr<platform::LptPort> lpt);
    ~VentroloApp() override;

    // Prepares the wheel functions, loads the configuration and shows the main window.
    void start();
    // ExitProgram: the close box, "E&xit" and Alt+F4. Stops, stores the working profile and,
    // unless both steppers are at their lower limits, asks whether to park them (the exit
    // dialog parks by itself after five seconds); then saves and ends.
    void ExitProgram();
    // The way out without a question and without parking (a signal, the session ending): stop,
    // store, data register 0, save, end.
    void endProgram();
    // True once the exit path has run (also when a signal arrived during start-up).
    bool ended() const { return ending_; }

    // Builds the main window from the state; quiet opens no other window.
    void InitMain(bool quiet) override;

    core::ProgramState& state() { return state_; }
    MainWindow& mainWindow() { return window_; }
    engine::Engine& engine() { return engine_; }
    // The exit dialog while the park question is open; null otherwise.
    ExitDialog* exitDialog() const { return exitDialog_; }
    // The splash window opened by "&About", while it is open.
    SplashWindow* splashWindow() const { return splash_; }
    InputSimulationWindow* inputSimulationWindow() const { return simulationWindow_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // core::StepperSwitchSeam
    void StopTurning() override { engine_.StopTurning(); }
    QString GotoFieldText() const override;
    core::Long CurrentCoilBits() override { return engine_.coil().CurrentCoilBits(); }
    void WriteDataRegister(core::Long value) override { engine_.coil().WriteData(value); }
    void ShowStepperOption(core::Long stepper) override;

    void stopAndStore();
    void exitChosen(ExitChoice choice);
    void ParkAndEnd();
    void SaveAndEnd();
    void finish();

    // VentroloAppMenus.cpp
    void connectMenus();
    void renderSwitchMenus();
    void showInputSimulation(bool open);
    void applyDegreeColor();
    void switchStepperTo(core::Long stepper);
    void aboutClicked();
    void showSplash();

    core::ProgramState state_;
    platform::Platform& platform_;
    std::unique_ptr<platform::LptPort> lpt_;
    engine::Engine engine_;
    core::ConfigFile config_;
    engine::LptInputs lptInputs_;
    engine::KeyControl keys_;
    engine::WheelControl wheel_;
    port::SdlJoystick joystickDevice_;
    port::JoystickStatus joystick_;
    MainWindow window_;
    engine::StepperParams params_;
    engine::ShuttlePuls shuttlePuls_;
    engine::CalibrationRun calibration_;
    engine::OverlayPanel overlay_;
    core::ShutdownSignals shutdownSignals_;
    QPointer<ExitDialog> exitDialog_;
    QPointer<SplashWindow> splash_;
    QPointer<InputSimulationWindow> simulationWindow_;
    bool ending_ = false;
};

} // namespace mainwindow
