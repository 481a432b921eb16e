#pragma once

#include "core/ConfigFile.h"
#include "core/ProgramState.h"
#include "core/ShutdownSignals.h"
#include "engine/Engine.h"
#include "engine/KeyControl.h"
#include "engine/LptInputs.h"
#include "engine/WheelControl.h"
#include "mainwindow/MainWindow.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SdlJoystick.h"

#include <QObject>
#include <memory>

namespace mainwindow {

// The application: owns the state, the seams and the windows, and runs start-up and the
// single exit path.
class VentroloApp : public QObject {
    Q_OBJECT
public:
    VentroloApp(const QString& programDirectory, platform::Platform& platform,
                std::unique_ptr<platform::LptPort> lpt);
    ~VentroloApp() override;

    // Loads the configuration and shows the main window.
    void start();
    // Ends the program: the working profile stored, data register 0, configuration saved,
    // then the main window may close and the application quits.
    void endProgram();
    // True once the exit path has run (also when a signal arrived during start-up).
    bool ended() const { return ending_; }

    core::ProgramState& state() { return state_; }
    MainWindow& mainWindow() { return window_; }
    engine::Engine& engine() { return engine_; }

private:
    void InitMain(bool quiet);

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
    core::ShutdownSignals shutdownSignals_;
    bool ending_ = false;
};

} // namespace mainwindow
