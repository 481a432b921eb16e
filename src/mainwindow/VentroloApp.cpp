#include "mainwindow/VentroloApp.h"

#include "core/MainCaption.h"

#include <QCoreApplication>

namespace mainwindow {

VentroloApp::VentroloApp(const QString& programDirectory, platform::Platform& platform,
                         std::unique_ptr<platform::LptPort> lpt)
    : platform_(platform), lpt_(std::move(lpt)), engine_(state_, platform_, *lpt_),
      config_(state_, platform_, *lpt_, programDirectory),
      lptInputs_(state_, platform_, *lpt_, engine_), keys_(state_, platform_, engine_),
      wheel_(state_, engine_), joystick_(state_, joystickDevice_, platform_),
      window_({state_, platform_, engine_, lptInputs_, keys_, wheel_, joystick_}) {
    config_.calibratePcSpeed = [this] { engine_.CalibratePcSpeed(); };
    engine_.hooks().initMain = [this](bool quiet) { InitMain(quiet); };
    window_.onCloseRequested = [this] { endProgram(); };
    connect(&shutdownSignals_, &core::ShutdownSignals::shutdownRequested, this,
            [this](int) { endProgram(); });
}

VentroloApp::~VentroloApp() = default;

void VentroloApp::start() {
    config_.LoadConfig();
    // A signal may have ended the program while the defaults message was open.
    if (!ending_)
        InitMain(false);
}

void VentroloApp::InitMain(bool quiet) {
    state_.LoadStepperProfile();
    state_.DateText = core::DateText(platform_.now().date());
    window_.setWindowTitle(core::MainCaption(state_));
    engine_.coil().UpdateStepperBits();
    engine_.coil().WriteData(0);
    state_.LptStatusAddress = state_.LptAddress + 1;
    engine_.ApplyStartUpPower();
    window_.showPortStatus(engine_.portPanel().portButtonCaption() + QStringLiteral(" (") +
                           lpt_->backendName() + QLatin1Char(')'));
    state_.TargetPosition = state_.StepCounter;
    engine_.InitSpeed();
    engine_.UpdateDegreesPerStep();
    if (!quiet)
        window_.show();
}

void VentroloApp::endProgram() {
    if (ending_)
        return;
    ending_ = true;
    engine_.StopTurning();
    state_.StoreStepperProfile(QString::number(state_.GotoStepValue));
    config_.SaveAndEnd();
    window_.allowClosing();
    // Every running event loop ends, also a dialog's that is open when a signal arrives during
    // start-up (quit() would be ignored before the main loop runs). Queued: this may run inside
    // the main window's own close.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace mainwindow
