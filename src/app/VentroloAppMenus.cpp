// What the main window's menus ask of the application: the configuration, the about box, the
// rotator server.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"
#include "display/ColorValue.h"

namespace app {

void VentroloApp::connectMenus() {
    using mainwindow::MainWindow;
    auto on = [this](auto signal, auto handler) { connect(&window_, signal, this, handler); };

    // --- "&Files" ---
    on(&MainWindow::saveConfigRequested, [this] {
        engine_.StopTurningAndFollowing();
        state_.StoreStepperProfile();
        // A save that failed has said so; only a saved file beeps.
        if (config_.SaveConfig())
            platform_.beep();
    });
    on(&MainWindow::defaultConfigRequested, [this] {
        engine_.StopTurningAndFollowing();
        config_.DefaultConfig();
        // The way out may have begun while the defaults message was open.
        if (exitPath_.ending())
            return;
        station_.defaultsMade();
        mainInit_.InitMain(false);
    });

    // --- "&Edit" ---
    on(&MainWindow::bothSteppersPin6Requested, [this] {
        state_.BothSteppersPin6 = !state_.BothSteppersPin6;
        engine_.StopTurningAndFollowing();
        // InitMain loads the stored profile: the working one is stored first, so nothing
        // changed since the last store is lost.
        state_.StoreStepperProfile();
        mainInit_.InitMain(false);
    });

    // --- "&Info" ---
    on(&MainWindow::aboutRequested, [this] { aboutClicked(); });

    // --- pop-up menu ---
    on(&MainWindow::degreeColorRequested, [this] {
        if (const auto color = display::ChooseStoredColor(platform_, state_.PelorusDegreeColor)) {
            state_.PelorusDegreeColor = *color;
            window_.applyDegreeColor();
            presenter_.ShowSliderLabel(state_.StepCounter);
        }
    });
}

void VentroloApp::showInputSimulation(bool open) {
    if (open && !simulationWindow_) {
        simulationWindow_ =
            new mainwindow::InputSimulationWindow(switches_.simulation(), platform_);
        simulationWindow_->show();
    } else if (!open && simulationWindow_) {
        simulationWindow_->close();
    }
    presenter_.ShowSwitchMenus();
}

void VentroloApp::aboutClicked() {
    const QString title = core::MessageTitle() + QStringLiteral(" (Build ") +
                          QString::number(core::Revision) + QStringLiteral(").");
    const QString text =
        QStringLiteral("Stepper motor control on the parallel port: loop tuning from the rig's "
                       "frequency, rotators and webcam mounts.\r\n") +
        core::HomePageAddress + QStringLiteral("\r\n\r\nShow splash screen ?");
    if (platform_.messageBox(text, title, platform::Icon::Information, platform::Buttons::YesNo) ==
        platform::Answer::Yes)
        showSplash();
}

void VentroloApp::showSplash() {
    if (!splash_) {
        splash_ = new mainwindow::SplashWindow(platform_);
        splash_->setAttribute(Qt::WA_DeleteOnClose);
        connect(splash_, &mainwindow::SplashWindow::addressClicked, this,
                [this] { OpenHomePage(platform_); });
    }
    splash_->show();
    splash_->startCloseTimer();
}

void VentroloApp::wireRotatorServerItem() {
    station::RotatorServer& rotator = station_.rotator();
    connect(
        &rotator, &station::RotatorServer::listeningChanged, &window_,
        [this, &rotator](bool listening) { window_.setRotatorServer(listening, rotator.port()); });
    connect(&window_, &mainwindow::MainWindow::rotatorServerRequested, this,
            [this, &rotator](bool on) {
                station_.setRotatorServer(on);
                window_.setRotatorServer(rotator.listening(), rotator.port());
            });
}

void VentroloApp::wireWebServerItem() {
    web::WebServer& web = station_.web();
    auto show = [this, &web] {
        window_.setWebServer(web.listening(), web.port(),
                             web.tokenRequired() ? web.token() : QString());
    };
    connect(&web, &web::WebServer::listeningChanged, &window_, show);
    connect(&window_, &mainwindow::MainWindow::webServerRequested, this, [this, show](bool on) {
        station_.setWebServer(on);
        show();
    });
}

} // namespace app
