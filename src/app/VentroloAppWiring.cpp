// Who hears whom: the news of every logic object connected to the logic that acts on it and to
// the windows that show it.
#include "app/VentroloApp.h"
#include "core/VersionTexts.h"

namespace app {

using engine::Engine;
using mainwindow::MainWindow;

void VentroloApp::wireLogic() {
    connect(&mainInit_, &panel::MainInit::windowsShown, this, &VentroloApp::showWindows);

    connect(&exitPath_, &panel::ExitPath::exitStarted, this, &VentroloApp::exitStarted);
    connect(&exitPath_, &panel::ExitPath::parkQuestionOpened, this, &VentroloApp::openParkQuestion);
    connect(&exitPath_, &panel::ExitPath::ended, this, &VentroloApp::finish);
}

void VentroloApp::wireMainWindow() {
    MainWindow* w = &window_;
    connect(&presenter_, &panel::MainPresenter::changed, w, &MainWindow::render);
    w->render(presenter_.view());
    connect(w, &MainWindow::sliderLabelClicked, &presenter_,
            &panel::MainPresenter::SliderLabelClicked);
    connect(w, &MainWindow::sliderThumbMoved, &presenter_, &panel::MainPresenter::ShowSliderLabel);
    connect(&overlay_, &panel::OverlayPanel::displayChanged, &presenter_,
            &panel::MainPresenter::ShowOverlay);
    connect(&station_.portDrive().power(), &port::PowerControl::changed, w,
            &MainWindow::renderPower);
    connect(&station_.portDrive().portPanel(), &port::PortPanel::changed, w,
            &MainWindow::renderPortPanel);
    connect(&engine_, &Engine::stepperOptionsEnabled, w, &MainWindow::setStepperOptionsEnabled);
    connect(&station_.modes().busyLock(), &engine::BusyLock::changed, w, &MainWindow::showBusyLock);

    connect(&fields_, &panel::MainFields::textChanged, w, &MainWindow::showFieldText);
    connect(&fields_, &panel::MainFields::lockedChanged, w, &MainWindow::showFieldLocked);
    connect(&housekeeping_, &panel::Housekeeping::timeChanged, w, &MainWindow::showTime);
    connect(&housekeeping_, &panel::Housekeeping::joystickChanged, w, &MainWindow::showJoystick);
    connect(&switches_, &port::SwitchInputs::labelChanged, w, &MainWindow::renderInputLabel);
    connect(&switches_, &port::SwitchInputs::menusChanged, w, &MainWindow::renderSwitchMenus);
    connect(&switches_.simulation(), &port::InputSimulation::openChanged, this,
            &VentroloApp::showInputSimulation);
    connect(&switches_.simulation(), &port::InputSimulation::refused, this,
            [this](const QString& why) {
                platform_.messageBox(why, core::MessageTitle(), platform::Icon::Information);
            });
    connect(&wheel_, &engine::WheelControl::displayChanged, w, &MainWindow::renderWheelDisplay);

    connect(&turns_, &panel::TurnCommands::maxToolTipChanged, w, &MainWindow::setMaxTurnToolTip);
    connect(&turns_, &panel::TurnCommands::minToolTipChanged, w, &MainWindow::setMinTurnToolTip);
    connect(&turns_, &panel::TurnCommands::loopKeysEnabled, w, &MainWindow::setLoopKeysEnabled);
    connect(&turns_, &panel::TurnCommands::dragTurnStarted, w, &MainWindow::startDragTurn);
    connect(&turns_, &panel::TurnCommands::dragTurnEnded, w, &MainWindow::endDragTurn);
    connect(&params_, &panel::StepperParams::pelorusOff, w, &MainWindow::pelorusOff);
    connect(&params_, &panel::StepperParams::pulsShuttleTextChanged, w,
            &MainWindow::setPulsShuttleText);
    connect(&shuttlePuls_, &panel::ShuttlePuls::timeChanged, w, &MainWindow::showTime);
    connect(&shuttlePuls_, &panel::ShuttlePuls::pulsShuttleTextChanged, w,
            &MainWindow::setPulsShuttleText);
    connect(&shuttlePuls_, &panel::ShuttlePuls::turnButtonsEnabled, w,
            &MainWindow::setTurnButtonsEnabled);
    connect(&shuttlePuls_, &panel::ShuttlePuls::modeButtonsEnabled, w,
            &MainWindow::setModeButtonsEnabled);
    connect(&calibration_, &panel::CalibrationRun::timeChanged, w, &MainWindow::showTime);
    connect(&calibration_, &panel::CalibrationRun::loopKeysEnabled, w,
            &MainWindow::setLoopKeysEnabled);
    connect(&calibration_, &panel::CalibrationRun::menuCaptionChanged, w,
            &MainWindow::setCalibrationMenuCaption);
    connect(&overlay_, &panel::OverlayPanel::panelsShown, w, &MainWindow::setOverlayPanelsShown);
    connect(&overlay_, &panel::OverlayPanel::checkShown, w, &MainWindow::showOverlayCheck);
    connect(&overlay_, &panel::OverlayPanel::controlsEnabled, w,
            &MainWindow::setOverlayControlsEnabled);
    connect(&mainInit_, &panel::MainInit::mainWindowChanged, &presenter_,
            &panel::MainPresenter::StateReplaced);
    connect(&mainInit_, &panel::MainInit::mainWindowChanged, w, &MainWindow::renderFromState);
    connect(&mainInit_, &panel::MainInit::pulsShuttleTextChanged, w,
            &MainWindow::setPulsShuttleText);
}

} // namespace app
