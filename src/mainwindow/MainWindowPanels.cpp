// The main window's commands: every control forwards to the engine or to a panel object.
#include "core/TextRules.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace mainwindow {

void MainWindow::connectTurning() {
    engine::Engine& engine = parts_.engine;
    connect(form_.cmdCw, &QPushButton::clicked, this, [this, &engine] {
        engine.StepBy(-1, 0);
        setKeyPreview(true);
    });
    connect(form_.cmdCcw, &QPushButton::clicked, this, [this, &engine] {
        engine.StepBy(1, 0);
        setKeyPreview(true);
    });
    connect(form_.cmdMaxCw, &QPushButton::clicked, this, [this] { turnToLimit(true); });
    connect(form_.cmdMinCcw, &QPushButton::clicked, this, [this] { turnToLimit(false); });
    connect(form_.cmdGotoStep, &QPushButton::clicked, this, &MainWindow::gotoStep);
    connect(form_.cmdGotoDegrees, &QPushButton::clicked, this, &MainWindow::gotoDegrees);
    connect(form_.cmdStoppen, &PressButton::mousePressed, this, &MainWindow::stopPressed);
    // The keyboard's way to the button (Space with focus, its mnemonic) stops like a left press.
    connect(form_.cmdStoppen, &QPushButton::clicked, this, [this, &engine] {
        engine.StopTurning();
        setLoopKeysEnabled(true);
        setKeyPreview(true);
    });

    // The drag bar: the label follows the thumb; the release turns there.
    connect(form_.VSlider1, &QSlider::sliderMoved, this,
            [this] { refreshSliderLabel(engine::SliderLabelSource::Slider); });
    connect(form_.VSlider1, &QSlider::sliderReleased, this, &MainWindow::sliderReleased);
    connect(form_.lblVscroll, &ClickableLabel::clicked, this, [this](Qt::MouseButton) {
        parts_.state.SliderShowsDegrees = !parts_.state.SliderShowsDegrees;
        refreshSliderLabel(engine::SliderLabelSource::Counter);
    });

    connect(form_.lblPcspeed, &ClickableLabel::clicked, this, [&engine](Qt::MouseButton) {
        engine.StopTurning();
        engine.CalibratePcSpeed();
    });
    connect(form_.cmdScroll, &QPushButton::clicked, this,
            [this] { parts_.wheel.SelectWheelFunction(0); });
}

void MainWindow::turnToLimit(bool up) {
    engine::Engine& engine = parts_.engine;
    core::ProgramState& state = parts_.state;
    engine.StopTurning();
    const core::Long limit = up ? state.MaxPosition : state.MinPosition;
    QPushButton* button = up ? form_.cmdMaxCw : form_.cmdMinCcw;
    if (state.StepCounter == limit) {
        parts_.platform.beep();
        button->setToolTip(up ? QStringLiteral("I am at the max position now!")
                              : QStringLiteral("I am at minimum position now!"));
        return;
    }
    button->setToolTip((up ? QStringLiteral("Clock wise turning to")
                           : QStringLiteral("Counter clock wise turning to")) +
                       core::NumberText(limit) + QLatin1Char('.'));
    state.TargetPosition = limit;
    refreshSliderLabel(engine::SliderLabelSource::Counter);
    engine.TurnTo();
    setKeyPreview(true);
}

void MainWindow::gotoStep() {
    core::ProgramState& state = parts_.state;
    engine::Engine& engine = parts_.engine;
    if (form_.Text3->text().isEmpty()) {
        parts_.platform.beep();
        return;
    }
    engine.StopTurning();
    state.TargetPosition = core::RoundToLong(core::LeadingNumber(form_.Text3->text()));
    form_.Text3->setText(core::PlainNumberText(state.TargetPosition));
    const double degrees =
        core::RoundHalfEven(double{state.DegreesPerStep} * state.TargetPosition, 2);
    form_.Text7->setText(core::PlainNumberText(degrees));
    refreshSliderLabel(engine::SliderLabelSource::Counter);
    engine.busyLock().lock();
    engine.TurnTo();
    engine.busyLock().requestUnlock();
    setKeyPreview(true);
}

void MainWindow::gotoDegrees() {
    core::ProgramState& state = parts_.state;
    engine::Engine& engine = parts_.engine;
    if (form_.Text7->text().isEmpty()) {
        form_.Text7->setText(QStringLiteral("0°"));
        parts_.platform.beep();
        return;
    }
    engine.StopTurning();
    state.TargetPosition =
        core::RoundToLong(core::LeadingNumber(form_.Text7->text()) / double{state.DegreesPerStep});
    form_.Text3->setText(core::PlainNumberText(state.TargetPosition));
    refreshSliderLabel(engine::SliderLabelSource::Counter);
    engine.busyLock().lock();
    engine.TurnTo();
    engine.busyLock().requestUnlock();
    setKeyPreview(true);
}

void MainWindow::stopPressed(Qt::MouseButton button) {
    engine::Engine& engine = parts_.engine;
    if (button == Qt::LeftButton) {
        engine.StopTurning();
    } else if (button == Qt::RightButton) {
        engine.StopTurning();
        parts_.platform.beep();
        engine.CalibratePcSpeed();
    } else {
        return;
    }
    setLoopKeysEnabled(true);
    setKeyPreview(true);
}

void MainWindow::sliderReleased() {
    core::ProgramState& state = parts_.state;
    engine::Engine& engine = parts_.engine;
    SelectionSlider* slider = form_.VSlider1;
    const core::Long target = slider->value();
    if (target == state.StepCounter)
        return;
    engine.StopTurning();
    state.TargetPosition = target;
    slider->setSelectedRange(std::min(state.StepCounter, target),
                             std::abs(target - state.StepCounter));
    setSliderValue(state.StepCounter);
    slider->setEnabled(false);
    const double degrees =
        state.StepsPer360 != 0 ? core::RoundHalfEven(360.0 / state.StepsPer360 * target, 1) : 0.0;
    slider->setToolTip(QStringLiteral("Drag slider (") + core::PlainNumberText(target) +
                       QStringLiteral(")") + core::NumberText(degrees) + QStringLiteral("°"));
    engine.TurnTo();
    slider->clearSelectedRange();
    slider->setEnabled(true);
}

void MainWindow::connectSpeedAndStepper() {
    engine::Engine& engine = parts_.engine;
    connect(form_.cmdFast, &QPushButton::clicked, this, [&engine] { engine.ToggleFastCustom(); });
    connect(form_.HScroll1, &QScrollBar::valueChanged, this,
            [&engine](int value) { engine.SpeedScrolled(value); });

    connect(form_.chkAuto, &QCheckBox::clicked, this,
            [&engine](bool ticked) { engine.AutoPowerClicked(ticked); });
    connect(form_.chkFieldPower, &QCheckBox::clicked, this,
            [&engine](bool ticked) { engine.FieldPowerClicked(ticked); });
    connect(form_.chkSpeedModulate, &QCheckBox::clicked, this, [this, &engine](bool ticked) {
        engine.SpeedModulateClicked(ticked);
        // The focus moves two controls on, off the box.
        focusNextChild();
        focusNextChild();
    });
    for (std::size_t i = 0; i < form_.OptStepper.size(); ++i) {
        connect(form_.OptStepper[i], &QRadioButton::clicked, this, [this, i] {
            setStepperOptionsEnabled(true);
            if (onStepperOptionClicked)
                onStepperOptionClicked(static_cast<core::Long>(i));
        });
    }

    connect(form_.cmdPoort, &QPushButton::clicked, this, [this, &engine] {
        engine.CycleLptPort();
        setKeyPreview(true);
    });
    connect(form_.cmdLptTest, &QPushButton::clicked, this, [&engine] { engine.WalkOutputPins(); });
}

void MainWindow::connectPanels() {
    // The panel objects arrive after construction; a control does nothing until then.
    const auto params = [this](void (engine::StepperParams::*call)()) {
        return [this, call] {
            if (params_)
                (params_->*call)();
        };
    };
    connect(form_.cmdHoogste, &QPushButton::clicked, this,
            params(&engine::StepperParams::LowSpeedClicked));
    connect(form_.cmdLaagste, &QPushButton::clicked, this,
            params(&engine::StepperParams::HighSpeedClicked));
    connect(form_.cmdInputMax, &QPushButton::clicked, this,
            params(&engine::StepperParams::MaxClicked));
    connect(form_.cmdInputMin, &QPushButton::clicked, this,
            params(&engine::StepperParams::MinClicked));
    connect(form_.cmdStepperStap, &QPushButton::clicked, this,
            params(&engine::StepperParams::StepsClicked));

    connect(form_.cmdShuttle, &QPushButton::clicked, this, [this] {
        if (shuttlePuls_)
            shuttlePuls_->ShuttleClicked();
    });
    connect(form_.cmdPulsloop, &QPushButton::clicked, this, [this] {
        if (shuttlePuls_)
            shuttlePuls_->PulsClicked();
    });
    connect(form_.cmdCalibreer, &PressButton::mousePressed, this, [this](Qt::MouseButton button) {
        if (calibration_)
            calibration_->Pressed(button);
    });

    const auto overlay = [this](void (engine::OverlayPanel::*call)()) {
        return [this, call] {
            if (overlay_)
                (overlay_->*call)();
        };
    };
    connect(form_.chkOverlay, &QCheckBox::clicked, this, [this](bool ticked) {
        if (overlay_)
            overlay_->OverlayChecked(ticked);
    });
    connect(form_.cmdOverlayInput, &QPushButton::clicked, this,
            overlay(&engine::OverlayPanel::OverlayInputClicked));
    connect(form_.cmdOverCW, &QPushButton::clicked, this,
            overlay(&engine::OverlayPanel::StepUpClicked));
    connect(form_.cmdOverCCW, &QPushButton::clicked, this,
            overlay(&engine::OverlayPanel::StepDownClicked));
    connect(form_.cmdOverCWs, &QPushButton::clicked, this,
            overlay(&engine::OverlayPanel::AllUpClicked));
    connect(form_.cmdOverCCWs, &QPushButton::clicked, this,
            overlay(&engine::OverlayPanel::AllDownClicked));
}

} // namespace mainwindow
