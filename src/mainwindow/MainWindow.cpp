#include "mainwindow/MainWindow.h"

#include "core/TextRules.h"
#include "engine/DisplayTexts.h"
#include "engine/ManualTurnSupport.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>

namespace mainwindow {

namespace {

// A colour of the program (0x00BBGGRR) as Qt's.
QColor FromColorRef(core::Long color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(const MainWindowParts& parts, QWidget* parent)
    : QMainWindow(parent), parts_(parts), form_(*this) {
    setObjectName(QStringLiteral("Form1"));
    portStatus_ = new QLabel(this);
    portStatus_->setObjectName(QStringLiteral("portStatus"));
    statusBar()->addPermanentWidget(portStatus_);
    timer1_ = parts_.platform.createTimer([this] { runHousekeeping(); });

    connectTurning();
    connectSpeedAndStepper();
    connectPanels();
    connectFields();
    routeEventsOfChildren();
    connect(&parts_.inputs.switches(), &port::SwitchInputs::labelChanged, this,
            &MainWindow::renderInputLabel);
    connect(&parts_.wheel, &engine::WheelControl::displayChanged, this,
            &MainWindow::renderWheelDisplay);

    parts_.engine.setView(this);
    renderInputLabel();
    renderWheelDisplay();
    speedChanged();
    powerChanged();
    modesChanged();
    portPanelChanged();
    sliderRangeChanged();
}

MainWindow::~MainWindow() {
    parts_.engine.setView(nullptr);
}

void MainWindow::showPortStatus(const QString& text) {
    portStatus_->setText(text);
}

void MainWindow::setPanels(engine::StepperParams* params, engine::ShuttlePuls* shuttlePuls,
                           engine::CalibrationRun* calibration, engine::OverlayPanel* overlay) {
    params_ = params;
    shuttlePuls_ = shuttlePuls;
    calibration_ = calibration;
    overlay_ = overlay;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the exit path has stored, parked and saved.
    if (!closingAllowed_ && onCloseRequested)
        onCloseRequested();
    event->setAccepted(closingAllowed_);
}

EntryField* MainWindow::field(engine::EntryField which) const {
    const std::array<EntryField*, 12> fields{form_.Text1, form_.Text2,  form_.Text3,  form_.Text4,
                                             form_.Text5, form_.Text6,  form_.Text7,  form_.Text8,
                                             form_.Text9, form_.Text10, form_.Text11, form_.Text12};
    return fields[static_cast<std::size_t>(static_cast<int>(which) - 1)];
}

void MainWindow::renderInputLabel() {
    const port::InputLabel& label = parts_.inputs.switches().label();
    form_.lblInputport->setText(label.text);
    SetTextColor(form_.lblInputport, FromColorRef(label.color));
    form_.lblInputport->setVisible(label.visible);
}

void MainWindow::renderWheelDisplay() {
    const engine::WheelDisplay display = parts_.wheel.display();
    form_.cmdScroll->setText(display.scrollCaption);
    form_.cmdScroll->setEnabled(display.scrollEnabled);
    form_.cmdScroll->setToolTip(parts_.state.WheelToolTip);
    using engine::WheelFunction;
    form_.mnuWheelStepper->setChecked(display.checked == WheelFunction::Stepper);
    form_.mnuWheelTable->setChecked(display.checked == WheelFunction::Table);
    form_.mnuWheelFrequency->setChecked(display.checked == WheelFunction::Frequency);
    form_.mnuWheelSpeed->setChecked(display.checked == WheelFunction::Speed);
    form_.mnuWheelTable->setEnabled(display.tableEntryEnabled);
    form_.mnuWheelFrequency->setEnabled(display.frequencyEntryEnabled);
}

// --- engine::EngineView ---

void MainWindow::showCounter(const QString& text) {
    form_.lblTeller->setText(text);
}

void MainWindow::setSliderValue(core::Long value) {
    const QSignalBlocker quiet(form_.VSlider1);
    form_.VSlider1->setValue(value);
}

void MainWindow::refreshSliderLabel(engine::SliderLabelSource source) {
    const core::ProgramState& state = parts_.state;
    core::Long value = state.StepCounter;
    if (source == engine::SliderLabelSource::Target)
        value = state.TargetPosition;
    else if (source == engine::SliderLabelSource::Slider)
        value = form_.VSlider1->value();
    if (state.SliderShowsDegrees) {
        SetTextColor(form_.lblVscroll, FromColorRef(state.PelorusDegreeColor));
        const double degrees = core::RoundHalfEven(double{state.DegreesPerStep} * value, 1);
        form_.lblVscroll->setText(core::PlainNumberText(degrees) + QStringLiteral("°"));
    } else {
        SetTextColor(form_.lblVscroll, Qt::black);
        form_.lblVscroll->setText(engine::CounterText(value));
    }
}

void MainWindow::showDegrees(const QString& text) {
    form_.lblDegrees->setText(text);
}
void MainWindow::setDegreesVisible(bool visible) {
    form_.lblDegrees->setVisible(visible);
}

void MainWindow::showOverlay(const engine::OverlayDisplay& display) {
    form_.lblOverlaySteps->setText(display.stepsText);
    form_.lblOverlayDegrees->setText(display.degreesText);
    form_.lblOverlayDirection->setVisible(display.directionVisible);
    form_.lblOverlayDirection->setText(display.directionText);
    refreshOverlayTooltips();
}

void MainWindow::refreshOverlayTooltips() {
    const engine::OverlayPanel::ToolTips tips = engine::OverlayPanel::ToolTipsFor(parts_.state);
    form_.cmdOverCCW->setToolTip(tips.stepDown);
    form_.cmdOverCW->setToolTip(tips.stepUp);
    form_.cmdOverCCWs->setToolTip(tips.allDown);
    form_.cmdOverCWs->setToolTip(tips.allUp);
}

void MainWindow::showPcSpeed(const QString& text) {
    form_.lblPcspeed->setText(text);
}

void MainWindow::speedChanged() {
    const engine::SpeedControl& speed = parts_.engine.speed();
    const engine::SpeedControl::ScrollBar& bar = speed.scrollBar();
    {
        const QSignalBlocker quiet(form_.HScroll1);
        form_.HScroll1->setRange(bar.minimum, bar.maximum);
        form_.HScroll1->setSingleStep(bar.smallChange);
        form_.HScroll1->setValue(bar.value);
    }
    form_.cmdFast->setText(speed.speedButtonCaption());
    const engine::SpeedControl::Texts& texts = speed.texts();
    form_.Text5->setText(texts.slowestField);
    form_.Text6->setText(texts.fastestField);
    form_.lblSlow->setText(texts.slowLabel);
    form_.lblFast->setText(texts.fastLabel);
    form_.lblRpm->setText(texts.rpmLabel);
    form_.lblSnelHeid->setText(texts.speedLabel);
    form_.chkSpeedModulate->setChecked(speed.speedModulateTicked());
    form_.chkSpeedModulate->setVisible(speed.speedModulateVisible());
}

void MainWindow::powerChanged() {
    const port::PowerControl& power = parts_.engine.power();
    form_.chkAuto->setChecked(power.autoPowerTicked());
    form_.chkAuto->setText(power.autoPowerCaption());
    form_.chkFieldPower->setChecked(power.fieldPowerTicked());
    form_.chkFieldPower->setVisible(power.fieldPowerVisible());
}

void MainWindow::modesChanged() {
    const engine::TurningModes& modes = parts_.engine.modes();
    form_.cmdShuttle->setText(modes.shuttleCaption());
    form_.cmdPulsloop->setText(modes.pulsCaption());
    form_.cmdCalibreer->setText(modes.calibrationCaption());
}

void MainWindow::portPanelChanged() {
    const port::PortPanel& panel = parts_.engine.portPanel();
    form_.cmdPoort->setText(panel.portButtonCaption());
    form_.cmdPoort->setEnabled(!panel.walking());
    form_.cmdLptTest->setText(panel.lptTestCaption());
    form_.mnuLPT89->setChecked(panel.lpt89Checked());
}

void MainWindow::busyLockChanged(bool locked) {
    for (EntryField* lockable :
         {form_.Text1, form_.Text2, form_.Text4, form_.Text5, form_.Text6, form_.Text12})
        lockable->setLocked(locked);
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.cmdPoort, form_.cmdLptTest, form_.cmdStepperStap, form_.cmdHoogste,
             form_.cmdLaagste, form_.cmdInputMax, form_.cmdInputMin, form_.cmdOverlayInput,
             form_.chkOverlay, form_.chkSpeedModulate, form_.cmdGotoStep, form_.cmdGotoDegrees})
        control->setEnabled(!locked);
    const bool overlaySteps = !locked && parts_.state.OverlayOn;
    for (QPushButton* button :
         {form_.cmdOverCW, form_.cmdOverCCW, form_.cmdOverCWs, form_.cmdOverCCWs})
        button->setEnabled(overlaySteps);
    if (!locked) {
        // The port button stays off while the output pins are walked.
        portPanelChanged();
        setKeyPreview(true);
    }
}

void MainWindow::setStepperOptionsEnabled(bool enabled) {
    for (QRadioButton* option : form_.OptStepper)
        option->setEnabled(enabled);
}

void MainWindow::setWindowEnabled(bool enabled) {
    setEnabled(enabled);
}

bool MainWindow::housekeepingRunning() const {
    return timer1_->isActive();
}

void MainWindow::setHousekeepingRunning(bool running) {
    if (running && !timer1_->isActive())
        timer1_->start(1000);
    else if (!running)
        timer1_->stop();
}

// Timer1: once a second, and after every slow-turn step.
void MainWindow::runHousekeeping() {
    engine::Engine& engine = parts_.engine;
    engine.PowerTick();
    showTime(engine::TimeLabelText(parts_.platform));
    parts_.inputs.switches().HousekeepingTick();
    // A lock that no turn releases any more (a turn ended by a switch, say) is released here.
    if (engine.busyLock().isLocked() && !engine.slowTurnRunning())
        engine.busyLock().requestUnlock();
    if (parts_.state.JoystickOn) {
        parts_.joystick.JoystickPoll();
        form_.Frame10->setTitle(parts_.joystick.frameText());
    }
}

// --- engine::PanelView ---

QString MainWindow::fieldText(engine::EntryField which) const {
    return field(which)->text();
}

void MainWindow::setFieldText(engine::EntryField which, const QString& text) {
    field(which)->setText(text);
}

void MainWindow::setFieldLocked(engine::EntryField which, bool locked) {
    field(which)->setLocked(locked);
}

void MainWindow::setTurnButtonsEnabled(bool enabled) {
    form_.lblVscroll->setVisible(enabled);
    // The stop button stays usable: it is how an endless mode is ended by mouse.
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.VSlider1, form_.cmdGotoDegrees, form_.cmdGotoStep, form_.cmdCw, form_.cmdCcw,
             form_.cmdMinCcw, form_.cmdMaxCw, form_.cmdCalibreer})
        control->setEnabled(enabled);
    if (enabled)
        setKeyPreview(true);
}

void MainWindow::setLoopKeysEnabled(bool enabled) {
    form_.lblVscroll->setVisible(enabled);
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.VSlider1, form_.cmdCw, form_.cmdCcw, form_.cmdMinCcw, form_.cmdMaxCw,
             form_.cmdShuttle, form_.cmdPulsloop, form_.cmdGotoStep, form_.cmdGotoDegrees})
        control->setEnabled(enabled);
}

void MainWindow::setModeButtonsEnabled(bool shuttle, bool puls) {
    form_.cmdShuttle->setEnabled(shuttle);
    form_.cmdPulsloop->setEnabled(puls);
}

void MainWindow::setKeyPreview(bool on) {
    keyPreview_ = on;
}
void MainWindow::showTime(const QString& text) {
    form_.lblTime->setText(text);
}
void MainWindow::setPulsShuttleText(const QString& text) {
    form_.lblPulsShuttle->setText(text);
}
void MainWindow::setMaxTurnToolTip(const QString& text) {
    form_.cmdMaxCw->setToolTip(text);
}
void MainWindow::setMinTurnToolTip(const QString& text) {
    form_.cmdMinCcw->setToolTip(text);
}

void MainWindow::sliderRangeChanged() {
    const core::ProgramState& state = parts_.state;
    {
        const QSignalBlocker quiet(form_.VSlider1);
        form_.VSlider1->setRange(state.MinPosition, state.MaxPosition);
        if (state.MinPosition <= state.StepCounter && state.StepCounter <= state.MaxPosition)
            form_.VSlider1->setValue(state.StepCounter);
    }
    form_.lblMin->setText(core::PlainNumberText(state.MinPosition) + QStringLiteral(" Min"));
    form_.lblMax->setText(core::PlainNumberText(state.MaxPosition) + QStringLiteral(" Max"));
}

void MainWindow::pelorusOff() {
    form_.cmdPelorus->setText(QStringLiteral("Pel&orus off"));
    form_.mnuPelorus->setChecked(false);
    form_.mnuPelSmall->setChecked(false);
}

void MainWindow::setCalibrationMenuCaption(const QString& text) {
    form_.mnuCalibraStaps->setText(text);
}

void MainWindow::setOverlayPanelsShown(bool shown) {
    form_.setOverlayPanelsShown(shown);
}

void MainWindow::showOverlayCheck(bool ticked, bool enabled) {
    form_.chkOverlay->setChecked(ticked);
    form_.chkOverlay->setEnabled(enabled);
}

void MainWindow::setOverlayControlsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.cmdOverCW, form_.cmdOverCCW, form_.cmdOverCWs, form_.cmdOverCCWs,
             form_.lblOverlaySteps, form_.lblOverlayDegrees})
        control->setEnabled(enabled);
}

} // namespace mainwindow
