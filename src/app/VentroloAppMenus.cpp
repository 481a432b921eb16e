// The main window's menu entries and pop-up menu.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"
#include "display/ColorValue.h"

#include <QAction>
#include <QGroupBox>
#include <QRadioButton>

namespace app {

void VentroloApp::connectMenus() {
    mainwindow::MainWindowForm& form = window_.form();
    auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };

    // --- "&Files" ---
    on(form.mnuSavecfg, [this] {
        engine_.StopTurning();
        state_.StoreStepperProfile();
        // A save that failed has said so; only a saved file beeps.
        if (config_.SaveConfig())
            platform_.beep();
    });
    on(form.mnuDefaultCfg, [this] {
        engine_.StopTurning();
        config_.DefaultConfig();
        // The way out may have begun while the defaults message was open.
        if (exitPath_.ending())
            return;
        station_.defaultsMade();
        mainInit_.InitMain(false);
    });
    connect(form.mnuOverlay, &QAction::triggered, &overlay_, &engine::OverlayPanel::MenuToggled);
    on(form.mnuJoyStick, [this, &form](bool checked) {
        form.mnuJoyStick->setChecked(joystick_.MenuToggled(checked));
        window_.showJoystick(joystick_.frameText());
    });
    connect(form.mnuExit, &QAction::triggered, &exitPath_, &engine::ExitPath::ExitProgram);

    // --- "E&dit" ---
    connect(form.mnuSet, &QAction::triggered, &engine_, &engine::Engine::SetCounterByHand);
    connect(form.mnuCalibraStaps, &QAction::triggered, &calibration_,
            &engine::CalibrationRun::AskCalibrationSteps);
    // The check marks are the inputs' state: every entry tells menusChanged(), also a refused
    // one, so Qt's own flip of the mark is undone.
    using port::SwitchInputs;
    connect(form.mnuEndSwitchCenter, &QAction::triggered, &switches_,
            &SwitchInputs::CenterSwitchClicked);
    connect(form.mnuEndSwitches, &QAction::triggered, &switches_,
            &SwitchInputs::BeginEndSwitchesClicked);
    connect(form.mnuEndSwitchesShow, &QAction::triggered, &switches_,
            &SwitchInputs::ShowOnlyClicked);
    connect(form.mnuEndSwitchesOff, &QAction::triggered, &switches_,
            &SwitchInputs::AllSwitchesOffClicked);
    connect(form.mnuRemoteTurning, &QAction::triggered, &switches_,
            &SwitchInputs::RemoteTurningClicked);
    on(form.mnuSimulate, [this] {
        switches_.simulation().MenuClicked();
        window_.renderSwitchMenus();
    });
    on(form.mnuLPT89, [this] {
        engine_.StopTurning();
        engine_.ToggleLpt89();
    });
    on(form.mnuTarvex, [this] {
        state_.BothSteppersPin6 = !state_.BothSteppersPin6;
        engine_.StopTurning();
        // InitMain loads the stored profile: the working one is stored first, so nothing
        // changed since the last store is lost.
        state_.StoreStepperProfile();
        mainInit_.InitMain(false);
    });

    // --- "&Info" ---
    connect(form.mnuToetsInfo, &QAction::triggered, &keys_, &engine::KeyControl::ShowKeyInfo);
    on(form.mnuAbout, [this] { aboutClicked(); });

    // --- pop-up menu ---
    on(form.mnuStepper12, [this] {
        engine_.StopTurning();
        window_.setStepperOptionsEnabled(true);
        engine_.SwitchStepper(state_.SelectedStepper == 1 ? 0 : 1);
    });
    auto wheelEntry = [this, on](QAction* action, engine::WheelFunction function) {
        on(action, [this, function] { wheel_.ChooseWheelFunction(function); });
    };
    wheelEntry(form.mnuWheelStepper, engine::WheelFunction::Stepper);
    wheelEntry(form.mnuWheelTable, engine::WheelFunction::Table);
    wheelEntry(form.mnuWheelFrequency, engine::WheelFunction::Frequency);
    wheelEntry(form.mnuWheelSpeed, engine::WheelFunction::Speed);
    on(form.mnuDegreeColor, [this] {
        if (const auto color = display::ChooseStoredColor(platform_, state_.PelorusDegreeColor)) {
            state_.PelorusDegreeColor = *color;
            window_.applyDegreeColor();
            engine_.ShowSliderLabel(state_.StepCounter);
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
    window_.renderSwitchMenus();
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

} // namespace app
