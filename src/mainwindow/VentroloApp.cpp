#include "mainwindow/VentroloApp.h"

#include "core/MainCaption.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "engine/CalibrationRun.h"
#include "engine/Parking.h"
#include "engine/ShuttlePuls.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/ExitDialog.h"
#include "mainwindow/InputSimulationWindow.h"
#include "mainwindow/SplashWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QRadioButton>
#include <QUrl>

namespace mainwindow {

Q_LOGGING_CATEGORY(lcApp, "ventrolo.app")

using Field = engine::EntryField;

VentroloApp::VentroloApp(const QString& programDirectory, platform::Platform& platform,
                         std::unique_ptr<platform::LptPort> lpt)
    : platform_(platform), lpt_(std::move(lpt)), engine_(state_, platform_, *lpt_),
      config_(state_, platform_, programDirectory), lptInputs_(state_, platform_, *lpt_, engine_),
      keys_(state_, platform_, engine_), wheel_(state_, engine_),
      joystick_(state_, joystickDevice_, platform_),
      window_({state_, platform_, engine_, lptInputs_, keys_, wheel_, joystick_}),
      params_(state_, platform_, engine_, window_),
      shuttlePuls_(state_, platform_, engine_, window_, params_),
      calibration_(state_, platform_, engine_, window_), overlay_(state_, engine_, window_) {
    window_.setPanels(&params_, &shuttlePuls_, &calibration_, &overlay_);
    engine_.hooks().initMain = [this](bool quiet) { InitMain(quiet); };
    engine_.hooks().gotoFieldText = [this] { return GotoFieldText(); };
    keys_.exitProgram = [this] { ExitProgram(); };
    window_.onCloseRequested = [this] { ExitProgram(); };
    window_.onStepperOptionClicked = [this](core::Long stepper) { switchStepperTo(stepper); };
    connect(&shutdownSignals_, &core::ShutdownSignals::shutdownRequested, this,
            [this](int) { endProgram(); });
    // The session ending (logout) quits the application, which closes every window: that
    // takes the way out without a question, before the main window sees its close.
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
    connectMenus();
}

VentroloApp::~VentroloApp() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
    delete exitDialog_;
    delete splash_;
    delete simulationWindow_;
}

bool VentroloApp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        endProgram();
    return QObject::eventFilter(watched, event);
}

void VentroloApp::start() {
    wheel_.InitWheelFunctions(true);
    if (config_.LoadConfig() == core::ConfigFile::Loaded::Defaults) {
        engine_.coil().ClearAllPorts();
        engine_.CalibratePcSpeed();
    }
    // A signal may have ended the program while the defaults message was open.
    if (!ending_)
        InitMain(false);
}

QString VentroloApp::GotoFieldText() const {
    return window_.fieldText(Field::Text3);
}

void VentroloApp::ShowStepperOption(core::Long stepper) {
    window_.form().OptStepper[stepper == 1 ? 1 : 0]->setChecked(true);
}

void VentroloApp::InitMain(bool quiet) {
    MainWindowForm& form = window_.form();
    core::ProgramState& s = state_;

    form.ProgressBar1->hide();
    s.LoadStepperProfile();
    if (s.WebcamWindowOpen)
        s.TableWindowShown = s.TimerWindowShown = false;
    form.mnuTarvex->setChecked(s.BothSteppersPin6);
    form.Image1->setVisible(s.BothSteppersPin6);

    joystick_.StartUp();
    form.mnuJoyStick->setChecked(s.JoystickOn);
    form.Frame10->setTitle(joystick_.frameText());

    s.DateText = core::DateText(platform_.now().date());
    window_.setWindowTitle(core::MainCaption(s));
    ShowStepperOption(s.SelectedStepper);
    form.mnuStepper12->setText(s.SelectedStepper == 1 ? QStringLiteral("Stepper1")
                                                      : QStringLiteral("Stepper2"));
    engine_.coil().UpdateStepperBits();

    engine_.coil().WriteData(0);
    s.LptStatusAddress = s.LptAddress + 1;

    lptInputs_.switches().SwitchMenus(0);
    renderSwitchMenus();
    window_.setCalibrationMenuCaption(QStringLiteral("&Calibratie Stappen (") +
                                      QString::number(s.CalibrationSteps) + QLatin1Char(')'));
    applyDegreeColor();
    engine_.ApplyStartUpPower();

    window_.portPanelChanged();
    window_.showPortStatus(engine_.portPanel().portButtonCaption() + QStringLiteral(" (") +
                           lpt_->backendName() + QLatin1Char(')'));
    window_.showPcSpeed(QStringLiteral("PCspeed=") + QString::number(s.PcSpeed));
    lptInputs_.switches().ShowStatusRegister();
    window_.setFieldText(Field::Text1, QString::number(s.MaxPosition));
    window_.setFieldText(Field::Text2, QString::number(s.MinPosition));
    window_.setFieldText(Field::Text4, core::PlainNumberText(s.StepsPer360));
    window_.setMaxTurnToolTip(QStringLiteral("Clock wise turning to") +
                              core::NumberText(s.MaxPosition) + QLatin1Char('.'));
    window_.setMinTurnToolTip(QStringLiteral("Counter clock wise turning to") +
                              core::NumberText(s.MinPosition) + QLatin1Char('.'));

    params_.SliderRangeRefresh();
    engine_.InitSpeed();
    engine_.UpdateDegreesPerStep();

    engine_.modes().reset();
    engine_.ModesChanged();
    window_.setFieldText(Field::Text8, QString::number(s.ShuttleMin));
    window_.setFieldText(Field::Text9, QString::number(s.ShuttleMax));
    window_.setFieldText(Field::Text10, QString::number(s.PulsSteps));
    window_.setFieldText(Field::Text11, core::PlainNumberText(s.PulsTime));
    window_.setFieldText(Field::Text3, QString::number(s.GotoStepValue));
    window_.setFieldText(Field::Text7,
                         core::PlainNumberText(static_cast<core::Single>(
                             core::RoundHalfEven(double(s.GotoStepValue) * s.DegreesPerStep, 1))) +
                             QStringLiteral("°"));
    window_.setPulsShuttleText(
        s.StepsPer360 < 1
            ? QStringLiteral("???")
            : QLatin1Char(' ') +
                  core::PlainNumberText(static_cast<core::Single>(s.PulsSteps * s.DegreesPerStep)) +
                  QStringLiteral("°"));

    // The pelorus, table and timer windows come with later parts of the program: their shown
    // flags are kept for the configuration, and the main window is always shown so the user
    // is never left without a window.
    window_.setFieldText(Field::Text12, QString::number(s.OverlaySteps));
    window_.showOverlayCheck(s.OverlayOn, s.OverlaySteps > 0);
    window_.setOverlayControlsEnabled(s.OverlayOn);
    const bool overlayShown = s.OverlayMenu && s.OverlaySteps > 0;
    form.mnuOverlay->setChecked(overlayShown);
    window_.setOverlayPanelsShown(overlayShown);
    engine_.ShowOverlay();
    engine_.ShowPosition();
    wheel_.SelectWheelFunction(-1);

    if (!s.TableWindowShown && !s.TimerWindowShown && !s.PelorusShown)
        s.MainShown = true;
    if (!quiet)
        window_.show();
    if (!s.WebcamWindowOpen) {
        window_.setHousekeepingRunning(true);
        s.StepActivity = true;
    }
}

// ---------------------------------------------------------------------------------------------
// The way out

void VentroloApp::stopAndStore() {
    engine_.StopTurning();
    state_.StoreStepperProfile(GotoFieldText());
}

void VentroloApp::ExitProgram() {
    if (ending_ || exitDialog_)
        return;
    stopAndStore();
    if (engine::BothSteppersParked(state_)) {
        SaveAndEnd();
        return;
    }
    // Every other window closes; the question is the last window of the run.
    if (splash_)
        splash_->close();
    if (simulationWindow_)
        simulationWindow_->close();
    window_.hide();
    exitDialog_ = new ExitDialog(platform_, state_.StoredProfiles[0].MinPosition,
                                 state_.StoredProfiles[1].MinPosition);
    connect(exitDialog_, &ExitDialog::decided, this, &VentroloApp::exitChosen);
    exitDialog_->show();
}

void VentroloApp::exitChosen(ExitChoice choice) {
    if (choice == ExitChoice::Park)
        ParkAndEnd();
    else
        SaveAndEnd();
}

void VentroloApp::ParkAndEnd() {
    if (ending_)
        return;
    // The dialog shows what happens while the steppers turn without serving events.
    platform_.processEvents();
    engine::ParkBothSteppers(state_, engine_);
    SaveAndEnd();
}

void VentroloApp::SaveAndEnd() {
    if (ending_)
        return;
    engine_.coil().WriteData(0);
    config_.SaveConfig();
    finish();
}

void VentroloApp::endProgram() {
    if (ending_)
        return;
    stopAndStore();
    SaveAndEnd();
}

void VentroloApp::finish() {
    ending_ = true;
    window_.setHousekeepingRunning(false);
    window_.allowClosing();
    window_.close();
    if (exitDialog_)
        exitDialog_->hide();
    // Every running event loop ends, also a dialog's that is open when a signal arrives during
    // start-up (quit() would be ignored before the main loop runs). Queued: this may run inside
    // the main window's own close.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void OpenHomePage(platform::Platform& platform) {
    if (QDesktopServices::openUrl(QUrl(core::HomePageAddress)))
        return;
    qCWarning(lcApp) << "no browser opened" << core::HomePageAddress;
    platform.messageBox(QStringLiteral("No web browser could be opened for ") +
                            core::HomePageAddress,
                        core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace mainwindow
