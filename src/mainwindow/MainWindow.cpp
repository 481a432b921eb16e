#include "mainwindow/MainWindow.h"

#include "core/MainCaption.h"
#include "core/TextRules.h"
#include "display/ColorValue.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>

namespace mainwindow {

namespace {

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(const MainWindowLogic& logic, QWidget* parent)
    : QMainWindow(parent), logic_(logic), form_(*this) {
    setObjectName(QStringLiteral("Form1"));
    portStatus_ = new QLabel(this);
    portStatus_->setObjectName(QStringLiteral("portStatus"));
    statusBar()->addPermanentWidget(portStatus_);

    connectTurning();
    connectSpeedAndStepper();
    connectPanels();
    connectFields();
    connectMenus();
    connectWindowEntries();
    routeEventsOfChildren();
    renderPower();
    renderPortPanel();
    renderInputLabel();
    renderWheelDisplay();
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the exit path has stored, parked and saved.
    if (!logic_.exitPath.finished())
        logic_.exitPath.ExitProgram();
    event->setAccepted(logic_.exitPath.finished());
}

EntryField* MainWindow::field(panel::EntryField which) const {
    // In the order of panel::EntryField.
    const std::array<EntryField*, 12> fields{form_.Text1, form_.Text2,  form_.Text3,  form_.Text4,
                                             form_.Text5, form_.Text6,  form_.Text7,  form_.Text8,
                                             form_.Text9, form_.Text10, form_.Text11, form_.Text12};
    return fields[static_cast<std::size_t>(static_cast<int>(which) - 1)];
}

void MainWindow::render(const panel::MainView& v) {
    // Only what differs from the view rendered last is set: a turn changes the counter and the
    // degrees 20 times a second, and nothing else need be touched then.
    const bool all = !rendered_;
    rendered_ = true;
    panel::MainView& was = shown_;
    const auto differs = [all](const auto& now, auto& shown) {
        if (!all && now == shown)
            return false;
        shown = now;
        return true;
    };
    if (differs(v.counterText, was.counterText))
        form_.lblTeller->setText(v.counterText);
    const bool range =
        differs(v.sliderMinimum, was.sliderMinimum) | differs(v.sliderMaximum, was.sliderMaximum);
    if (range)
        renderSliderRange(v.sliderMinimum, v.sliderMaximum);
    // After the range too: a thumb outside the old range was held in it.
    if (differs(v.sliderValue, was.sliderValue) || range)
        putThumb(v.sliderValue);
    if (differs(v.sliderLabelColor, was.sliderLabelColor))
        SetTextColor(form_.lblVscroll, display::ColorFromValue(v.sliderLabelColor));
    if (differs(v.sliderLabelText, was.sliderLabelText))
        form_.lblVscroll->setText(v.sliderLabelText);
    if (differs(v.degreesText, was.degreesText))
        form_.lblDegrees->setText(v.degreesText);
    if (differs(v.degreesVisible, was.degreesVisible))
        form_.lblDegrees->setVisible(v.degreesVisible);
    if (differs(v.overlay, was.overlay))
        renderOverlay(v.overlay);
    if (differs(v.pcSpeedText, was.pcSpeedText))
        form_.lblPcspeed->setText(v.pcSpeedText);
    renderSpeed(v.speed, differs(v.speed, was.speed));
    if (differs(v.shuttleCaption, was.shuttleCaption))
        form_.cmdShuttle->setText(v.shuttleCaption);
    if (differs(v.pulsCaption, was.pulsCaption))
        form_.cmdPulsloop->setText(v.pulsCaption);
    if (differs(v.calibrationCaption, was.calibrationCaption))
        form_.cmdCalibreer->setText(v.calibrationCaption);
}

void MainWindow::putThumb(core::Long value) {
    const QSignalBlocker quiet(form_.VSlider1);
    form_.VSlider1->setValue(value);
}

void MainWindow::renderSliderRange(core::Long minimum, core::Long maximum) {
    {
        const QSignalBlocker quiet(form_.VSlider1);
        form_.VSlider1->setRange(minimum, maximum);
        const std::int64_t twentieth = (std::int64_t{maximum} - minimum) / 20;
        form_.VSlider1->setPageStep(
            static_cast<int>(std::clamp<std::int64_t>(twentieth, 1, 1 << 30)));
    }
    form_.lblMin->setText(core::PlainNumberText(minimum) + QStringLiteral(" Min"));
    form_.lblMax->setText(core::PlainNumberText(maximum) + QStringLiteral(" Max"));
}

void MainWindow::renderOverlay(const panel::OverlayDisplay& display) {
    form_.lblOverlaySteps->setText(display.stepsText);
    form_.lblOverlayDegrees->setText(display.degreesText);
    form_.lblOverlayDirection->setVisible(display.directionVisible);
    form_.lblOverlayDirection->setText(display.directionText);
    form_.cmdOverCCW->setToolTip(display.stepDownTip);
    form_.cmdOverCW->setToolTip(display.stepUpTip);
    form_.cmdOverCCWs->setToolTip(display.allDownTip);
    form_.cmdOverCWs->setToolTip(display.allUpTip);
}

void MainWindow::renderSpeed(const panel::SpeedView& speed, bool changed) {
    // The bar and the box are the user's too: whatever he left them at, they show the speed.
    const engine::SpeedControl::ScrollBar& bar = speed.bar;
    QScrollBar* scroll = form_.HScroll1;
    if (changed || scroll->value() != bar.value) {
        const QSignalBlocker quiet(scroll);
        scroll->setRange(bar.minimum, bar.maximum);
        scroll->setSingleStep(bar.smallChange);
        scroll->setValue(bar.value);
    }
    if (changed || form_.chkSpeedModulate->isChecked() != speed.rampTicked)
        form_.chkSpeedModulate->setChecked(speed.rampTicked);
    if (!changed)
        return;
    form_.cmdFast->setText(speed.buttonCaption);
    form_.lblSlow->setText(speed.slowLabel);
    form_.lblFast->setText(speed.fastLabel);
    form_.lblRpm->setText(speed.rpmLabel);
    form_.lblSnelHeid->setText(speed.speedLabel);
    form_.chkSpeedModulate->setVisible(speed.rampVisible);
}

void MainWindow::renderPower() {
    const port::PowerControl& power = logic_.portCommands.power();
    form_.chkAuto->setChecked(power.autoPowerTicked());
    form_.chkAuto->setText(power.autoPowerCaption());
    form_.chkFieldPower->setChecked(power.fieldPowerTicked());
    form_.chkFieldPower->setVisible(power.fieldPowerVisible());
}

void MainWindow::renderPortPanel() {
    const port::PortPanel& panel = logic_.portCommands.portPanel();
    // The whole window is off while the output pins are walked.
    setEnabled(!panel.walking());
    form_.cmdPoort->setText(panel.portButtonCaption());
    form_.cmdPoort->setEnabled(!panel.walking() && !logic_.modes.busyLock().isLocked());
    form_.cmdLptTest->setText(panel.lptTestCaption());
    form_.mnuLPT89->setChecked(panel.lpt89Checked());
    portStatus_->setText(panel.portStatusText());
}

void MainWindow::showBusyLock(bool locked) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.cmdPoort, form_.cmdLptTest, form_.cmdStepperStap, form_.cmdHoogste,
             form_.cmdLaagste, form_.cmdInputMax, form_.cmdInputMin, form_.cmdOverlayInput,
             form_.chkOverlay, form_.chkSpeedModulate, form_.cmdGotoStep, form_.cmdGotoDegrees})
        control->setEnabled(!locked);
    const bool overlaySteps = !locked && logic_.state.OverlayOn;
    for (QPushButton* button :
         {form_.cmdOverCW, form_.cmdOverCCW, form_.cmdOverCWs, form_.cmdOverCCWs})
        button->setEnabled(overlaySteps);
    if (!locked) {
        renderPortPanel(); // the port button stays off while the output pins are walked
        logic_.fields.setKeyPreview(true);
    }
}

void MainWindow::setStepperOptionsEnabled(bool enabled) {
    for (QRadioButton* option : form_.OptStepper)
        option->setEnabled(enabled);
}

void MainWindow::showTime(const QString& text) {
    form_.lblTime->setText(text);
}

void MainWindow::showJoystick(const QString& frameText) {
    form_.Frame10->setTitle(frameText);
}

void MainWindow::showFieldText(panel::EntryField which, const QString& text) {
    EntryField* entry = field(which);
    if (entry->text() == text)
        return;
    const int cursor = entry->cursorPosition();
    entry->setText(text);
    if (entry->hasFocus())
        entry->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
}

void MainWindow::showFieldLocked(panel::EntryField which, bool locked) {
    field(which)->setLocked(locked);
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

void MainWindow::setTurnButtonsEnabled(bool enabled) {
    form_.lblVscroll->setVisible(enabled);
    // The stop button stays usable: it is how an endless mode is ended by mouse.
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.VSlider1, form_.cmdGotoDegrees, form_.cmdGotoStep, form_.cmdCw, form_.cmdCcw,
             form_.cmdMinCcw, form_.cmdMaxCw, form_.cmdCalibreer})
        control->setEnabled(enabled);
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

void MainWindow::setCalibrationMenuCaption(const QString& text) {
    form_.mnuCalibraStaps->setText(text);
}

void MainWindow::setOverlayPanelsShown(bool shown) {
    form_.mnuOverlay->setChecked(shown);
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

void MainWindow::pelorusOff() {
    setPelorusShown(false, false);
}

void MainWindow::startDragTurn(core::Long selectionStart, core::Long selectionLength,
                               const QString& toolTip) {
    SelectionSlider* slider = form_.VSlider1;
    slider->setSelectedRange(selectionStart, selectionLength);
    putThumb(logic_.state.StepCounter);
    slider->setEnabled(false);
    slider->setToolTip(toolTip);
}

void MainWindow::endDragTurn() {
    form_.VSlider1->clearSelectedRange();
    form_.VSlider1->setEnabled(true);
}

void MainWindow::renderInputLabel() {
    const port::InputLabel& label = logic_.switches.label();
    form_.lblInputport->setText(label.text);
    SetTextColor(form_.lblInputport, display::ColorFromValue(label.color));
    form_.lblInputport->setVisible(label.visible);
}

void MainWindow::renderSwitchMenus() {
    const port::SwitchMenuChecks checks = logic_.switches.menuChecks();
    form_.mnuEndSwitchCenter->setChecked(checks.centerSwitch);
    form_.mnuEndSwitchCenter->setText(checks.centerCaption);
    form_.mnuEndSwitches->setChecked(checks.beginEndSwitches);
    form_.mnuEndSwitchesShow->setChecked(checks.showOnly);
    form_.mnuRemoteTurning->setChecked(checks.remoteTurning);
    form_.mnuSimulate->setChecked(checks.simulation);
}

void MainWindow::renderWheelDisplay() {
    const engine::WheelDisplay display = logic_.wheel.display();
    form_.cmdScroll->setText(display.scrollCaption);
    form_.cmdScroll->setEnabled(display.scrollEnabled);
    form_.cmdScroll->setToolTip(logic_.state.WheelToolTip);
    using engine::WheelFunction;
    form_.mnuWheelStepper->setChecked(display.checked == WheelFunction::Stepper);
    form_.mnuWheelTable->setChecked(display.checked == WheelFunction::Table);
    form_.mnuWheelFrequency->setChecked(display.checked == WheelFunction::Frequency);
    form_.mnuWheelSpeed->setChecked(display.checked == WheelFunction::Speed);
    form_.mnuWheelTable->setEnabled(display.tableEntryEnabled);
    form_.mnuWheelFrequency->setEnabled(display.frequencyEntryEnabled);
}

void MainWindow::renderFromState() {
    const core::ProgramState& s = logic_.state;
    form_.ProgressBar1->hide();
    form_.mnuTarvex->setChecked(s.BothSteppersPin6);
    form_.Image1->setVisible(s.BothSteppersPin6);
    form_.mnuJoyStick->setChecked(s.JoystickOn);
    form_.Frame10->setTitle(logic_.joystick.frameText());
    setWindowTitle(core::MainCaption(s));
    form_.OptStepper[s.SelectedStepper == 1 ? 1 : 0]->setChecked(true);
    form_.mnuStepper12->setText(s.SelectedStepper == 1 ? QStringLiteral("Stepper1")
                                                       : QStringLiteral("Stepper2"));
    form_.mnuCalibraStaps->setText(QStringLiteral("&Calibratie Stappen (") +
                                   QString::number(s.CalibrationSteps) + QLatin1Char(')'));
    applyDegreeColor();
    renderPortPanel();
}

void MainWindow::applyDegreeColor() {
    const QColor color = display::ColorFromValue(logic_.state.PelorusDegreeColor);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{form_.lblDegrees, form_.lblPulsShuttle, form_.Text7})
        SetTextColor(widget, color);
}

} // namespace mainwindow
