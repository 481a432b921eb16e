// The main window's controls, each forwarded to the logic that owns its command.
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace mainwindow {

void MainWindow::connectTurning() {
    panel::TurnCommands& turns = logic_.turns;
    engine::Engine& engine = logic_.engine;
    connect(form_.cmdCw, &QPushButton::clicked, &turns, &panel::TurnCommands::StepUpClicked);
    connect(form_.cmdCcw, &QPushButton::clicked, &turns, &panel::TurnCommands::StepDownClicked);
    connect(form_.cmdMaxCw, &QPushButton::clicked, &turns, &panel::TurnCommands::MaxTurnClicked);
    connect(form_.cmdMinCcw, &QPushButton::clicked, &turns, &panel::TurnCommands::MinTurnClicked);
    connect(form_.cmdGotoStep, &QPushButton::clicked, &turns,
            &panel::TurnCommands::GotoStepClicked);
    connect(form_.cmdGotoDegrees, &QPushButton::clicked, &turns,
            &panel::TurnCommands::GotoDegreesClicked);
    // Its keyboard and screen reader presses come as a left press.
    connect(form_.cmdStoppen, &PressButton::mousePressed, &turns,
            &panel::TurnCommands::StopPressed);

    // The drag bar: the label follows the thumb; once the bar is let go (after a drag, a click
    // on its track or a key, or a screen reader set it) it turns to where the thumb stands (see
    // eventFilter). Values the program sets itself are set with the bar's signals blocked.
    connect(form_.VSlider1, &QSlider::sliderMoved, this, &MainWindow::sliderThumbMoved);
    connect(form_.VSlider1, &SelectionSlider::valueSetWithoutHand, this,
            [this](int value) { logic_.turns.DragBarReleased(value); });
    connect(form_.lblVscroll, &ClickableLabel::clicked, this, &MainWindow::sliderLabelClicked);
    panel::SpeedPanel& speed = logic_.speed;
    connect(form_.lblPcspeed, &ClickableLabel::clicked, this, [&engine, &speed] {
        engine.StopTurningAndFollowing();
        speed.CalibratePcSpeed();
    });
    connect(form_.cmdScroll, &QPushButton::clicked, this,
            [this] { logic_.wheel.SelectWheelFunction(0); });
}

void MainWindow::connectSpeedAndStepper() {
    engine::Engine& engine = logic_.engine;
    panel::SpeedPanel& speed = logic_.speed;
    connect(form_.cmdFast, &QPushButton::clicked, &speed, &panel::SpeedPanel::ToggleFastCustom);
    connect(form_.HScroll1, &QScrollBar::valueChanged, &speed, &panel::SpeedPanel::SpeedScrolled);
    panel::PortCommands& port = logic_.portCommands;
    connect(form_.chkAuto, &QCheckBox::clicked, &port, &panel::PortCommands::AutoPowerClicked);
    connect(form_.chkFieldPower, &QCheckBox::clicked, &port,
            &panel::PortCommands::FieldPowerClicked);
    connect(form_.chkSpeedModulate, &QCheckBox::clicked, this, [this, &speed](bool ticked) {
        speed.SpeedModulateClicked(ticked);
        // The focus moves two controls on, off the box.
        focusNextChild();
        focusNextChild();
    });
    for (std::size_t i = 0; i < form_.OptStepper.size(); ++i) {
        connect(form_.OptStepper[i], &QRadioButton::clicked, this, [this, &engine, i] {
            logic_.presenter.EnableStepperOptions();
            engine.SwitchStepper(static_cast<core::Long>(i));
        });
    }
    connect(form_.cmdPoort, &QPushButton::clicked, this, [this, &port] {
        port.CycleLptPort();
        logic_.fields.setKeyPreview(true);
    });
    connect(form_.cmdLptTest, &QPushButton::clicked, &engine, &engine::Engine::WalkOutputPins);
}

void MainWindow::connectPanels() {
    panel::StepperParams& params = logic_.params;
    connect(form_.cmdHoogste, &QPushButton::clicked, &params,
            &panel::StepperParams::LowSpeedClicked);
    connect(form_.cmdLaagste, &QPushButton::clicked, &params,
            &panel::StepperParams::HighSpeedClicked);
    connect(form_.cmdInputMax, &QPushButton::clicked, &params, &panel::StepperParams::MaxClicked);
    connect(form_.cmdInputMin, &QPushButton::clicked, &params, &panel::StepperParams::MinClicked);
    connect(form_.cmdStepperStap, &QPushButton::clicked, &params,
            &panel::StepperParams::StepsClicked);

    connect(form_.cmdShuttle, &QPushButton::clicked, &logic_.shuttlePuls,
            &panel::ShuttlePuls::ShuttleClicked);
    connect(form_.cmdPulsloop, &QPushButton::clicked, &logic_.shuttlePuls,
            &panel::ShuttlePuls::PulsClicked);
    connect(form_.cmdCalibreer, &PressButton::mousePressed, &logic_.calibration,
            &panel::CalibrationRun::Pressed);

    panel::OverlayPanel& overlay = logic_.overlay;
    connect(form_.chkOverlay, &QCheckBox::clicked, &overlay, &panel::OverlayPanel::OverlayChecked);
    connect(form_.cmdOverlayInput, &QPushButton::clicked, &overlay,
            &panel::OverlayPanel::OverlayInputClicked);
    connect(form_.cmdOverCW, &QPushButton::clicked, &overlay, &panel::OverlayPanel::StepUpClicked);
    connect(form_.cmdOverCCW, &QPushButton::clicked, &overlay,
            &panel::OverlayPanel::StepDownClicked);
    connect(form_.cmdOverCWs, &QPushButton::clicked, &overlay, &panel::OverlayPanel::AllUpClicked);
    connect(form_.cmdOverCCWs, &QPushButton::clicked, &overlay,
            &panel::OverlayPanel::AllDownClicked);
}

// The entry fields: every change of a field's text goes to MainFields, which keeps the field's
// rule, whether typed or set without keys (a screen reader, an on-screen keyboard), so a field's
// value is what it shows; entering a field takes the keys from the window's commands; a double
// click acts like the button beside the field.
void MainWindow::connectFields() {
    for (int i = 1; i <= 12; ++i) {
        const auto which = static_cast<panel::EntryField>(i);
        EntryField* entry = field(which);
        connect(entry, &QLineEdit::textChanged, this, [this, which, entry](const QString& text) {
            // The fields' own text shown back is no edit.
            if (text == logic_.fields.text(which))
                return;
            // A locked field keeps its text also against a screen reader, whose text is set
            // past the read-only state.
            if (logic_.fields.locked(which)) {
                entry->setText(logic_.fields.text(which));
                return;
            }
            logic_.fields.Edited(which, text);
        });
        connect(entry, &EntryField::entered, this, [this, entry] {
            logic_.fields.setKeyPreview(false);
            // After the mouse press that gave the focus, which would place the cursor.
            QTimer::singleShot(0, entry, &QLineEdit::selectAll);
        });
    }
    using Field = panel::EntryField;
    const std::initializer_list<std::pair<Field, QPushButton*>> buttons{
        {Field::MaxPosition, form_.cmdInputMax},   {Field::MinPosition, form_.cmdInputMin},
        {Field::GotoStep, form_.cmdGotoStep},      {Field::StepsPer360, form_.cmdStepperStap},
        {Field::SlowestDelay, form_.cmdHoogste},   {Field::FastestDelay, form_.cmdLaagste},
        {Field::GotoDegrees, form_.cmdGotoDegrees}};
    for (const auto& [which, button] : buttons)
        connect(field(which), &EntryField::doubleClicked, button, &QPushButton::click);
}

} // namespace mainwindow
