// Who hears whom: the news of every logic object connected to the logic that acts on it and to
// the windows that show it.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"

namespace app {

using engine::Engine;
using mainwindow::MainWindow;

void VentroloApp::wireLogic() {
    connect(&mainInit_, &engine::MainInit::windowsShown, this, &VentroloApp::showWindows);

    connect(&exitPath_, &engine::ExitPath::exitStarted, this, &VentroloApp::exitStarted);
    connect(&exitPath_, &engine::ExitPath::parkQuestionOpened, this,
            &VentroloApp::openParkQuestion);
    connect(&exitPath_, &engine::ExitPath::ended, this, &VentroloApp::finish);
}

void VentroloApp::wireMainWindow() {
    MainWindow* w = &window_;
    connect(&engine_, &Engine::counterChanged, w, &MainWindow::showCounter);
    connect(&engine_, &Engine::sliderValueChanged, w, &MainWindow::setSliderValue);
    connect(&engine_, &Engine::sliderRangeChanged, w, &MainWindow::setSliderRange);
    connect(&engine_, &Engine::sliderLabelChanged, w, &MainWindow::showSliderLabel);
    connect(&engine_, &Engine::degreesChanged, w, &MainWindow::showDegrees);
    connect(&engine_, &Engine::degreesVisibleChanged, w, &MainWindow::setDegreesVisible);
    connect(&engine_, &Engine::overlayChanged, w, &MainWindow::showOverlay);
    connect(&engine_, &Engine::pcSpeedChanged, w, &MainWindow::showPcSpeed);
    connect(&engine_, &Engine::speedChanged, w, &MainWindow::renderSpeed);
    connect(&engine_, &Engine::powerChanged, w, &MainWindow::renderPower);
    connect(&engine_, &Engine::modesChanged, w, &MainWindow::renderModes);
    connect(&engine_, &Engine::portPanelChanged, w, &MainWindow::renderPortPanel);
    connect(&engine_, &Engine::stepperOptionsEnabled, w, &MainWindow::setStepperOptionsEnabled);
    connect(&engine_, &Engine::windowEnabled, w, &QWidget::setEnabled);
    connect(&engine_.busyLock(), &engine::BusyLock::changed, w, &MainWindow::showBusyLock);

    connect(&fields_, &engine::MainFields::textChanged, w, &MainWindow::showFieldText);
    connect(&fields_, &engine::MainFields::lockedChanged, w, &MainWindow::showFieldLocked);
    connect(&housekeeping_, &engine::Housekeeping::timeChanged, w, &MainWindow::showTime);
    connect(&housekeeping_, &engine::Housekeeping::joystickChanged, w, &MainWindow::showJoystick);
    connect(&switches_, &port::SwitchInputs::labelChanged, w, &MainWindow::renderInputLabel);
    connect(&switches_, &port::SwitchInputs::menusChanged, w, &MainWindow::renderSwitchMenus);
    connect(&switches_.simulation(), &port::InputSimulation::openChanged, this,
            &VentroloApp::showInputSimulation);
    connect(&switches_.simulation(), &port::InputSimulation::refused, this,
            [this](const QString& why) {
                platform_.messageBox(why, core::MessageTitle(), platform::Icon::Information);
            });
    connect(&wheel_, &engine::WheelControl::displayChanged, w, &MainWindow::renderWheelDisplay);

    connect(&turns_, &engine::TurnCommands::maxToolTipChanged, w, &MainWindow::setMaxTurnToolTip);
    connect(&turns_, &engine::TurnCommands::minToolTipChanged, w, &MainWindow::setMinTurnToolTip);
    connect(&turns_, &engine::TurnCommands::loopKeysEnabled, w, &MainWindow::setLoopKeysEnabled);
    connect(&turns_, &engine::TurnCommands::dragTurnStarted, w, &MainWindow::startDragTurn);
    connect(&turns_, &engine::TurnCommands::dragTurnEnded, w, &MainWindow::endDragTurn);
    connect(&params_, &engine::StepperParams::pelorusOff, w, &MainWindow::pelorusOff);
    connect(&params_, &engine::StepperParams::pulsShuttleTextChanged, w,
            &MainWindow::setPulsShuttleText);
    connect(&shuttlePuls_, &engine::ShuttlePuls::timeChanged, w, &MainWindow::showTime);
    connect(&shuttlePuls_, &engine::ShuttlePuls::pulsShuttleTextChanged, w,
            &MainWindow::setPulsShuttleText);
    connect(&shuttlePuls_, &engine::ShuttlePuls::turnButtonsEnabled, w,
            &MainWindow::setTurnButtonsEnabled);
    connect(&shuttlePuls_, &engine::ShuttlePuls::modeButtonsEnabled, w,
            &MainWindow::setModeButtonsEnabled);
    connect(&calibration_, &engine::CalibrationRun::timeChanged, w, &MainWindow::showTime);
    connect(&calibration_, &engine::CalibrationRun::loopKeysEnabled, w,
            &MainWindow::setLoopKeysEnabled);
    connect(&calibration_, &engine::CalibrationRun::menuCaptionChanged, w,
            &MainWindow::setCalibrationMenuCaption);
    connect(&overlay_, &engine::OverlayPanel::panelsShown, w, &MainWindow::setOverlayPanelsShown);
    connect(&overlay_, &engine::OverlayPanel::checkShown, w, &MainWindow::showOverlayCheck);
    connect(&overlay_, &engine::OverlayPanel::controlsEnabled, w,
            &MainWindow::setOverlayControlsEnabled);
    connect(&mainInit_, &engine::MainInit::mainWindowChanged, w, &MainWindow::renderFromState);
    connect(&mainInit_, &engine::MainInit::pulsShuttleTextChanged, w,
            &MainWindow::setPulsShuttleText);
}

} // namespace app
