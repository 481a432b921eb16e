// The station: the position journal follows the engine, the rotctld server turns the stepper
// for other programs.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"
#include "rig/TransmitGuard.h"

namespace app {

using engine::Engine;
using engine::ExitPath;
using station::PositionJournal;
using station::RotatorServer;

void VentroloApp::wireStation() {
    connect(&engine_, &Engine::turnStarted, &journal_, &PositionJournal::TurnStarted);
    connect(&engine_, &Engine::turnEnded, &journal_, &PositionJournal::TurnEnded);
    connect(&engine_, &Engine::counterChanged, &journal_, &PositionJournal::CounterChanged);
    connect(&engine_, &Engine::slowStepMade, &journal_, &PositionJournal::SlowStepMade);
    connect(&engine_, &Engine::stopped, &journal_, &PositionJournal::Stopped);
    connect(&engine_, &Engine::stepperSwitched, &journal_, &PositionJournal::StepperSwitched);
    connect(&exitPath_, &ExitPath::exitStarted, &journal_, &PositionJournal::ExitStarted);
    connect(&exitPath_, &ExitPath::ended, &journal_, &PositionJournal::Ended);

    // Nothing turns the stepper once the way out has begun.
    connect(&exitPath_, &ExitPath::exitStarted, &rotator_, &RotatorServer::Close);
    connect(&rotator_, &RotatorServer::listeningChanged, &window_,
            [this](bool listening) { window_.setRotatorServer(listening, rotator_.port()); });
    connect(&window_, &mainwindow::MainWindow::rotatorServerRequested, this,
            &VentroloApp::rotatorServerClicked);
}

void VentroloApp::startStation() {
    if (exitPath_.ending())
        return;
    const std::optional<core::Long> calibrate = journal_.TellUser();
    // A signal may have ended the program while the question was open.
    if (exitPath_.ending())
        return;
    const station::RotctldSettings rotctld =
        station::ReadRotctldSettings(settingsFile_, &settingsReport_);
    rig::TransmitGuard(settingsFile_).Load(&settingsReport_);
    tellUnusedSettings();
    if (exitPath_.ending())
        return;
    if (rotctld.enabled)
        listen(rotctld);
    if (calibrate) {
        // From the event loop: the run goes on until the user stops it.
        QMetaObject::invokeMethod(
            this,
            [this, stepper = *calibrate] {
                if (exitPath_.ending())
                    return;
                if (stepper != state_.SelectedStepper)
                    engine_.SwitchStepper(stepper);
                calibration_.Pressed(Qt::LeftButton);
            },
            Qt::QueuedConnection);
    }
}

void VentroloApp::rotatorServerClicked(bool on) {
    if (on)
        startRotatorServer();
    else
        rotator_.Close();
    window_.setRotatorServer(rotator_.listening(), rotator_.port());
    QString error;
    if (!station::StoreRotctldEnabled(settingsFile_, rotator_.listening(), &error))
        platform_.messageBox(QStringLiteral("%1 cannot be written (%2): the rotator server "
                                            "keeps its old setting at the next start.")
                                 .arg(settingsFile_, error),
                             core::MessageTitle(), platform::Icon::Exclamation);
}

void VentroloApp::startRotatorServer() {
    const station::RotctldSettings settings = station::ReadRotctldSettings(settingsFile_);
    if (!settings.problem.isEmpty())
        platform_.messageBox(settings.problem, core::MessageTitle(), platform::Icon::Exclamation);
    // Nothing may turn the stepper once the way out has begun (perhaps during that message).
    if (!exitPath_.ending())
        listen(settings);
}

void VentroloApp::listen(const station::RotctldSettings& settings) {
    rotator_.SetParkAzimuth(settings.parkAzimuth);
    QString error;
    if (rotator_.Listen(settings.address, settings.port, &error))
        return;
    platform_.messageBox(QStringLiteral("The rotator server cannot listen on %1 port %2: %3.")
                             .arg(settings.address.toString())
                             .arg(settings.port)
                             .arg(error),
                         core::MessageTitle(), platform::Icon::Exclamation);
}

void VentroloApp::tellUnusedSettings() {
    if (settingsReport_.isEmpty())
        return;
    platform_.messageBox(QStringLiteral("Some settings cannot be used and were left out:\n\n%1")
                             .arg(settingsReport_.text()),
                         core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace app
