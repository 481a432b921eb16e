// The main window's menu entries and pop-up menu, and the stepper choice.
#include "core/VersionTexts.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/SplashWindow.h"
#include "mainwindow/VentroloApp.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace mainwindow {

namespace {

void SetTextColor(QWidget* widget, core::Long bgr) {
    QPalette palette = widget->palette();
    const QColor color(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

} // namespace

void VentroloApp::connectMenus() {
    MainWindowForm& form = window_.form();
    auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };

    // --- "&Files" ---
    on(form.mnuSavecfg, [this] {
        stopAndStore();
        config_.SaveConfig();
        platform_.beep();
    });
    on(form.mnuDefaultCfg, [this] {
        engine_.StopTurning();
        config_.DefaultConfig();
        engine_.coil().ClearAllPorts();
        engine_.CalibratePcSpeed();
        InitMain(false);
    });
    on(form.mnuOverlay, [this](bool checked) { overlay_.MenuToggled(checked); });
    on(form.mnuJoyStick, [this, &form](bool checked) {
        form.mnuJoyStick->setChecked(joystick_.MenuToggled(checked));
        form.Frame10->setTitle(joystick_.frameText());
    });
    on(form.mnuExit, [this] { ExitProgram(); });

    // --- "E&dit" ---
    on(form.mnuSet, [this] { engine_.SetCounterByHand(); });
    on(form.mnuCalibraStaps, [this] { calibration_.AskCalibrationSteps(); });
    port::SwitchInputs& switches = lptInputs_.switches();
    // The check marks are the inputs' state: rendered after every entry, also one refused.
    auto switchEntry = [this, &switches, on](QAction* action, void (port::SwitchInputs::*entry)()) {
        on(action, [this, &switches, entry] {
            (switches.*entry)();
            renderSwitchMenus();
        });
    };
    switchEntry(form.mnuEndSwitchCenter, &port::SwitchInputs::CenterSwitchClicked);
    switchEntry(form.mnuEndSwitches, &port::SwitchInputs::BeginEndSwitchesClicked);
    switchEntry(form.mnuEndSwitchesShow, &port::SwitchInputs::ShowOnlyClicked);
    switchEntry(form.mnuEndSwitchesOff, &port::SwitchInputs::AllSwitchesOffClicked);
    switchEntry(form.mnuRemoteTurning, &port::SwitchInputs::RemoteTurningClicked);
    connect(&switches, &port::SwitchInputs::menusChanged, this, &VentroloApp::renderSwitchMenus);
    form.mnuSimulate->setEnabled(true); // the input-simulation window is there
    on(form.mnuSimulate, [this, &switches] {
        switches.simulation().MenuClicked();
        renderSwitchMenus();
    });
    connect(&switches.simulation(), &port::InputSimulation::openChanged, this,
            &VentroloApp::showInputSimulation);
    on(form.mnuLPT89, [this, &form] {
        engine_.StopTurning();
        engine_.ToggleLpt89();
        form.mnuLPT89->setChecked(engine_.portPanel().lpt89Checked());
    });
    on(form.mnuTarvex, [this] {
        state_.BothSteppersPin6 = !state_.BothSteppersPin6;
        engine_.StopTurning();
        // InitMain loads the stored profile: the working one is stored first, so nothing
        // changed since the last store is lost.
        state_.StoreStepperProfile(GotoFieldText());
        InitMain(false);
    });

    // --- "&Info" ---
    on(form.mnuToetsInfo, [this] { keys_.ShowKeyInfo(); });
    on(form.mnuAbout, [this] { aboutClicked(); });

    // --- pop-up menu ---
    on(form.mnuStepper12, [this] {
        engine_.StopTurning();
        switchStepperTo(state_.SelectedStepper == 1 ? 0 : 1);
    });
    auto wheelEntry = [this, on](QAction* action, engine::WheelFunction function) {
        on(action, [this, function] { wheel_.ChooseWheelFunction(function); });
    };
    wheelEntry(form.mnuWheelStepper, engine::WheelFunction::Stepper);
    wheelEntry(form.mnuWheelTable, engine::WheelFunction::Table);
    wheelEntry(form.mnuWheelFrequency, engine::WheelFunction::Frequency);
    wheelEntry(form.mnuWheelSpeed, engine::WheelFunction::Speed);
    on(form.mnuDegreeColor, [this] {
        if (const auto color = platform_.chooseColor(state_.PelorusDegreeColor)) {
            state_.PelorusDegreeColor = *color;
            applyDegreeColor();
            window_.refreshSliderLabel(engine::SliderLabelSource::Counter);
        }
    });
}

void VentroloApp::renderSwitchMenus() {
    MainWindowForm& form = window_.form();
    const port::SwitchMenuChecks checks = lptInputs_.switches().menuChecks();
    form.mnuEndSwitchCenter->setChecked(checks.centerSwitch);
    form.mnuEndSwitchCenter->setText(checks.centerCaption);
    form.mnuEndSwitches->setChecked(checks.beginEndSwitches);
    form.mnuEndSwitchesShow->setChecked(checks.showOnly);
    form.mnuRemoteTurning->setChecked(checks.remoteTurning);
    form.mnuSimulate->setChecked(checks.simulation);
}

void VentroloApp::showInputSimulation(bool open) {
    if (open && !simulationWindow_) {
        simulationWindow_ =
            new InputSimulationWindow(lptInputs_.switches().simulation(), platform_);
        simulationWindow_->show();
    } else if (!open && simulationWindow_) {
        simulationWindow_->close();
    }
    renderSwitchMenus();
}

void VentroloApp::applyDegreeColor() {
    MainWindowForm& form = window_.form();
    for (QWidget* widget :
         {static_cast<QWidget*>(form.lblDegrees), static_cast<QWidget*>(form.lblPulsShuttle),
          static_cast<QWidget*>(form.Text7)})
        SetTextColor(widget, state_.PelorusDegreeColor);
}

void VentroloApp::switchStepperTo(core::Long stepper) {
    for (QRadioButton* option : window_.form().OptStepper)
        option->setEnabled(true);
    core::SwitchStepper(state_, stepper, *this);
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
        splash_ = new SplashWindow(platform_);
        splash_->setAttribute(Qt::WA_DeleteOnClose);
        connect(splash_, &SplashWindow::addressClicked, this, [this] { OpenHomePage(platform_); });
    }
    splash_->show();
    splash_->startCloseTimer();
}

} // namespace mainwindow
