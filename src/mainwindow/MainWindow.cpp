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
    const std::array<EntryField*, panel::EntryFieldCount> fields{
        form_.Text1, form_.Text2, form_.Text3, form_.Text4,  form_.Text5,  form_.Text6,
        form_.Text7, form_.Text8, form_.Text9, form_.Text10, form_.Text11, form_.Text12};
    return fields[static_cast<std::size_t>(static_cast<int>(which) - 1)];
}

void MainWindow::render(const panel::MainView& v) {
    // Only what differs from the view rendered last is set: a turn changes the counter and the
    // degrees 20 times a second, and nothing else need be touched then.
    const Differs differs{!rendered_};
    rendered_ = true;
    panel::MainView& was = shown_;
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
    renderPanel(v.panel, differs);
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

void MainWindow::renderPanel(const panel::PanelView& v, const Differs& differs) {
    panel::PanelView& was = shown_.panel;
    // A check mark or a field's text is put where the view has it when it changed or its part
    // was told again: the user changed it before the logic answered, and a refused click or key
    // is put back. Another part's news leave it alone: its own command may still be running.
    std::array<bool, panel::ToldCount> retold{};
    for (std::size_t i = 0; i < panel::ToldCount; ++i)
        retold[i] = differs(v.toldAgain[i], was.toldAgain[i]);
    const auto told = [&retold](panel::Told part) {
        return retold[static_cast<std::size_t>(part)];
    };
    const auto check = [](auto* box, bool checked, bool put) {
        if (put && box->isChecked() != checked)
            box->setChecked(checked);
    };
    for (std::size_t i = 0; i < panel::ControlCount; ++i) {
        if (differs(v.enabled[i], was.enabled[i]))
            for (QWidget* widget : controlWidgets(static_cast<panel::Control>(i)))
                widget->setEnabled(v.enabled[i]);
    }
    if (differs(v.dragBarLabelShown, was.dragBarLabelShown))
        form_.lblVscroll->setVisible(v.dragBarLabelShown);
    if (differs(v.dragBarToolTip, was.dragBarToolTip))
        form_.VSlider1->setToolTip(v.dragBarToolTip);
    if (differs(v.dragTurn, was.dragTurn)) {
        if (v.dragTurn.running) {
            form_.VSlider1->setSelectedRange(v.dragTurn.selectionStart, v.dragTurn.selectionLength);
            putThumb(v.dragTurn.thumb);
        } else {
            form_.VSlider1->clearSelectedRange();
        }
    }
    for (std::size_t i = 0; i < v.fieldTexts.size(); ++i) {
        const auto which = static_cast<panel::EntryField>(i + 1);
        if (differs(v.fieldTexts[i], was.fieldTexts[i]) || told(panel::Told::Fields))
            showFieldText(which, v.fieldTexts[i]);
        if (differs(v.fieldLocked[i], was.fieldLocked[i]))
            field(which)->setLocked(v.fieldLocked[i]);
    }
    if (differs(v.timeText, was.timeText))
        form_.lblTime->setText(v.timeText);
    if (differs(v.statusTitle, was.statusTitle))
        form_.Frame10->setTitle(v.statusTitle);
    if (differs(v.pulsShuttleText, was.pulsShuttleText))
        form_.lblPulsShuttle->setText(v.pulsShuttleText);
    if (differs(v.turnToMaxToolTip, was.turnToMaxToolTip))
        form_.cmdMaxCw->setToolTip(v.turnToMaxToolTip);
    if (differs(v.turnToMinToolTip, was.turnToMinToolTip))
        form_.cmdMinCcw->setToolTip(v.turnToMinToolTip);
    if (differs(v.calibrationMenuCaption, was.calibrationMenuCaption))
        form_.mnuCalibraStaps->setText(v.calibrationMenuCaption);
    const bool overlayPanels = differs(v.overlayPanels, was.overlayPanels);
    if (overlayPanels)
        form_.setOverlayPanelsShown(v.overlayPanels.shown);
    check(form_.mnuOverlay, v.overlayPanels.shown, overlayPanels);
    check(form_.chkOverlay, v.overlayTicked,
          differs(v.overlayTicked, was.overlayTicked) || told(panel::Told::OverlayCheck));
    const bool power = differs(v.power, was.power) || told(panel::Told::Power);
    if (power) {
        form_.chkAuto->setText(v.power.autoCaption);
        form_.chkFieldPower->setVisible(v.power.fieldVisible);
    }
    check(form_.chkAuto, v.power.autoTicked, power);
    check(form_.chkFieldPower, v.power.fieldTicked, power);
    const bool port = differs(v.port, was.port) || told(panel::Told::Port);
    if (port) {
        // The whole window rests while the output pins are walked.
        setEnabled(!v.port.walking);
        form_.cmdPoort->setText(v.port.buttonCaption);
        form_.cmdLptTest->setText(v.port.lptTestCaption);
        portStatus_->setText(v.port.statusText);
    }
    check(form_.mnuLPT89, v.port.lpt89Checked, port);
    if (differs(v.inputLabel, was.inputLabel)) {
        form_.lblInputport->setText(v.inputLabel.text);
        SetTextColor(form_.lblInputport, display::ColorFromValue(v.inputLabel.color));
        form_.lblInputport->setVisible(v.inputLabel.visible);
    }
    const port::SwitchMenuChecks& switches = v.switchMenus;
    const bool menus = differs(switches, was.switchMenus) || told(panel::Told::SwitchMenus);
    if (menus)
        form_.mnuEndSwitchCenter->setText(switches.centerCaption);
    check(form_.mnuEndSwitchCenter, switches.centerSwitch, menus);
    check(form_.mnuEndSwitches, switches.beginEndSwitches, menus);
    check(form_.mnuEndSwitchesShow, switches.showOnly, menus);
    check(form_.mnuRemoteTurning, switches.remoteTurning, menus);
    check(form_.mnuSimulate, switches.simulation, menus);
    const bool wheel = differs(v.wheel, was.wheel) | differs(v.wheelToolTip, was.wheelToolTip) ||
                       told(panel::Told::Wheel);
    if (wheel) {
        form_.cmdScroll->setText(v.wheel.scrollCaption);
        form_.cmdScroll->setEnabled(v.wheel.scrollEnabled);
        form_.cmdScroll->setToolTip(v.wheelToolTip);
        form_.mnuWheelTable->setEnabled(v.wheel.tableEntryEnabled);
        form_.mnuWheelFrequency->setEnabled(v.wheel.frequencyEntryEnabled);
    }
    using engine::WheelFunction;
    const auto wheelEntry = [&](QAction* entry, WheelFunction function) {
        check(entry, v.wheel.checked == function, wheel);
    };
    wheelEntry(form_.mnuWheelStepper, WheelFunction::Stepper);
    wheelEntry(form_.mnuWheelTable, WheelFunction::Table);
    wheelEntry(form_.mnuWheelFrequency, WheelFunction::Frequency);
    wheelEntry(form_.mnuWheelSpeed, WheelFunction::Speed);
}

std::vector<QWidget*> MainWindow::controlWidgets(panel::Control control) const {
    using panel::Control;
    if (control == Control::StepperOptions)
        return {form_.OptStepper[0], form_.OptStepper[1]};
    // In the order of panel::Control, the stepper options last.
    QWidget* const widgets[]{
        form_.VSlider1,        form_.cmdGotoStep,      form_.cmdGotoDegrees, form_.cmdCw,
        form_.cmdCcw,          form_.cmdMinCcw,        form_.cmdMaxCw,       form_.cmdCalibreer,
        form_.cmdShuttle,      form_.cmdPulsloop,      form_.cmdPoort,       form_.cmdLptTest,
        form_.cmdStepperStap,  form_.cmdHoogste,       form_.cmdLaagste,     form_.cmdInputMax,
        form_.cmdInputMin,     form_.cmdOverlayInput,  form_.chkOverlay,     form_.chkSpeedModulate,
        form_.cmdOverCW,       form_.cmdOverCCW,       form_.cmdOverCWs,     form_.cmdOverCCWs,
        form_.lblOverlaySteps, form_.lblOverlayDegrees};
    static_assert(std::size(widgets) == static_cast<std::size_t>(Control::StepperOptions));
    return {widgets[static_cast<std::size_t>(control)]};
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

void MainWindow::pelorusOff() {
    setPelorusShown(false, false);
}

void MainWindow::renderFromState() {
    const core::ProgramState& s = logic_.state;
    form_.ProgressBar1->hide();
    form_.mnuTarvex->setChecked(s.BothSteppersPin6);
    form_.Image1->setVisible(s.BothSteppersPin6);
    form_.mnuJoyStick->setChecked(s.JoystickOn);
    setWindowTitle(core::MainCaption(s));
    form_.OptStepper[s.SelectedStepper == 1 ? 1 : 0]->setChecked(true);
    form_.mnuStepper12->setText(s.SelectedStepper == 1 ? QStringLiteral("Stepper1")
                                                       : QStringLiteral("Stepper2"));
    applyDegreeColor();
}

void MainWindow::applyDegreeColor() {
    const QColor color = display::ColorFromValue(logic_.state.PelorusDegreeColor);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{form_.lblDegrees, form_.lblPulsShuttle, form_.Text7})
        SetTextColor(widget, color);
}

} // namespace mainwindow
