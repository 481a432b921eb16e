#include "panel/MainPresenter.h"

namespace panel {

using core::Long;
using engine::Engine;

namespace {

PowerView PowerViewOf(const port::PowerControl& power) {
    return {power.autoPowerTicked(), power.autoPowerCaption(), power.fieldPowerTicked(),
            power.fieldPowerVisible()};
}

PortView PortViewOf(const port::PortPanel& panel) {
    return {panel.walking(), panel.portButtonCaption(), panel.lptTestCaption(),
            panel.lpt89Checked(), panel.portStatusText()};
}

} // namespace

MainPresenter::MainPresenter(core::ProgramState& state, Engine& engine, SpeedPanel& speed,
                             WindowModes& modes, QObject* parent)
    : QObject(parent), state_(state), speed_(speed), modes_(modes),
      view_(MainViewOf(state, speed.control(), modes.modes())) {
    connect(&engine, &Engine::counterChanged, this, [this](Long counter) {
        update([&](MainView& v) {
            v.counterText = CounterText(counter);
            dragBarAt(v, counter);
        });
    });
    connect(&engine, &Engine::sliderLabelChanged, this, &MainPresenter::ShowSliderLabel);
    // The degrees are told again whenever the limits or the steps per turn change; none (0)
    // hides them.
    connect(&engine, &Engine::degreesChanged, this, [this](core::Single degrees) {
        update([&](MainView& v) {
            v.degreesText = DegreesLabelText(degrees);
            v.degreesVisible = state_.StepsPer360 > 0;
            dragBarAt(v, state_.StepCounter);
        });
    });
    connect(&engine, &Engine::overlayChanged, this, &MainPresenter::ShowOverlay);
    connect(&engine, &Engine::speedChanged, this,
            [this] { update([this](MainView& v) { v.speed = SpeedViewOf(speed_.control()); }); });
    connect(&speed, &SpeedPanel::pcSpeedChanged, this, [this](Long pcSpeed) {
        update([&](MainView& v) { v.pcSpeedText = PcSpeedText(pcSpeed); });
    });
    connect(&modes, &WindowModes::modesChanged, this, [this] {
        update([this](MainView& v) {
            const engine::TurningModes& modes = modes_.modes();
            v.shuttleCaption = modes.shuttleCaption();
            v.pulsCaption = modes.pulsCaption();
            v.calibrationCaption = modes.calibrationCaption();
        });
    });
    connect(&modes.busyLock(), &engine::BusyLock::changed, this, [this](bool locked) {
        update([&](MainView& v) {
            enable(v.panel,
                   {Control::LptTest, Control::SetStepsPer360, Control::SetSlowestDelay,
                    Control::SetFastestDelay, Control::SetMaximum, Control::SetMinimum,
                    Control::SetOverlaySteps, Control::OverlayCheck, Control::SpeedRamp,
                    Control::GotoStep, Control::GotoDegrees},
                   !locked);
            enable(v.panel,
                   {Control::OverlayStepUp, Control::OverlayStepDown, Control::OverlayAllUp,
                    Control::OverlayAllDown},
                   !locked && state_.OverlayOn);
            holdPortButton(v.panel);
        });
    });
    connect(&engine, &Engine::counterTurnSetOut, this, [this] {
        update([](MainView& v) { enable(v.panel, {Control::StepperOptions}, false); });
    });
}

void MainPresenter::Follow(const Panels& panels) {
    panels_.emplace(panels);
    PanelView& panel = view_.panel;
    panel.fieldTexts = panels.fields.texts();
    panel.fieldLocked = panels.fields.lockedFields();
    panel.statusTitle = panels.joystick.frameText();
    panel.power = PowerViewOf(panels.portCommands.power());
    panel.port = PortViewOf(panels.portCommands.portPanel());
    holdPortButton(panel);
    panel.inputLabel = panels.switches.label();
    panel.switchMenus = panels.switches.menuChecks();
    panel.wheel = panels.wheel.display();
    panel.wheelToolTip = state_.WheelToolTip;
    connectPanels(panels);
    connectControls(panels);
    emit changed(view_);
}

// The texts, fields and check marks of the panels.
void MainPresenter::connectPanels(const Panels& panels) {
    const auto showTime = [this](const QString& text) {
        update([&](MainView& v) { v.panel.timeText = text; });
    };
    connect(&panels.housekeeping, &Housekeeping::timeChanged, this, showTime);
    connect(&panels.shuttlePuls, &ShuttlePuls::timeChanged, this, showTime);
    connect(&panels.calibration, &CalibrationRun::timeChanged, this, showTime);
    connect(
        &panels.housekeeping, &Housekeeping::joystickChanged, this,
        [this](const QString& text) { update([&](MainView& v) { v.panel.statusTitle = text; }); });
    const auto showPulsShuttle = [this](const QString& text) {
        update([&](MainView& v) { v.panel.pulsShuttleText = text; });
    };
    connect(&panels.params, &StepperParams::pulsShuttleTextChanged, this, showPulsShuttle);
    connect(&panels.shuttlePuls, &ShuttlePuls::pulsShuttleTextChanged, this, showPulsShuttle);
    connect(&panels.mainInit, &MainInit::pulsShuttleTextChanged, this, showPulsShuttle);
    connect(&panels.turns, &TurnCommands::maxToolTipChanged, this, [this](const QString& text) {
        update([&](MainView& v) { v.panel.turnToMaxToolTip = text; });
    });
    connect(&panels.turns, &TurnCommands::minToolTipChanged, this, [this](const QString& text) {
        update([&](MainView& v) { v.panel.turnToMinToolTip = text; });
    });
    connect(&panels.calibration, &CalibrationRun::menuCaptionChanged, this,
            [this](const QString& text) {
                update([&](MainView& v) { v.panel.calibrationMenuCaption = text; });
            });
    connect(&panels.mainInit, &MainInit::mainWindowChanged, this, &MainPresenter::StateReplaced);
    connect(&panels.overlay, &OverlayPanel::displayChanged, this, &MainPresenter::ShowOverlay);

    // The fields' own texts, a typed one corrected by their rule too, are told again; what the
    // user typed is what the field holds.
    const MainFields& fields = panels.fields;
    connect(&fields, &MainFields::textChanged, this, [this, &fields] {
        retell(Told::Fields, [&](MainView& v) { v.panel.fieldTexts = fields.texts(); });
    });
    connect(&fields, &MainFields::edited, this,
            [this, &fields] { update([&](MainView& v) { v.panel.fieldTexts = fields.texts(); }); });
    connect(&fields, &MainFields::lockedChanged, this, [this, &fields] {
        update([&](MainView& v) { v.panel.fieldLocked = fields.lockedFields(); });
    });

    connect(&panels.overlay, &OverlayPanel::panelsShown, this, [this](bool shown) {
        update([&](MainView& v) {
            v.panel.overlayPanels.shown = shown;
            ++v.panel.overlayPanels.told;
        });
    });
    const port::PowerControl& power = panels.portCommands.power();
    connect(&power, &port::PowerControl::changed, this, [this, &power] {
        retell(Told::Power, [&](MainView& v) { v.panel.power = PowerViewOf(power); });
    });
    connect(&panels.portCommands.portPanel(), &port::PortPanel::changed, this,
            &MainPresenter::ShowPortPanel);
    connect(&panels.switches, &port::SwitchInputs::labelChanged, this,
            [this, &switches = panels.switches] {
                update([&](MainView& v) { v.panel.inputLabel = switches.label(); });
            });
    connect(&panels.switches, &port::SwitchInputs::menusChanged, this,
            &MainPresenter::ShowSwitchMenus);
    connect(&panels.wheel, &engine::WheelControl::displayChanged, this,
            [this, &wheel = panels.wheel] {
                retell(Told::Wheel, [&](MainView& v) {
                    v.panel.wheel = wheel.display();
                    v.panel.wheelToolTip = state_.WheelToolTip;
                });
            });
}

// What the controls allow: whoever told a control last holds it.
void MainPresenter::connectControls(const Panels& panels) {
    // The stop button stays usable: it is how an endless mode is ended by mouse.
    connect(&panels.shuttlePuls, &ShuttlePuls::turnButtonsEnabled, this, [this](bool enabled) {
        update([&](MainView& v) {
            v.panel.dragBarLabelShown = enabled;
            enable(v.panel,
                   {Control::DragBar, Control::GotoDegrees, Control::GotoStep, Control::StepUp,
                    Control::StepDown, Control::TurnToMin, Control::TurnToMax, Control::Calibrate},
                   enabled);
        });
    });
    const auto enableLoopKeys = [this](bool enabled) {
        update([&](MainView& v) {
            v.panel.dragBarLabelShown = enabled;
            enable(v.panel,
                   {Control::DragBar, Control::StepUp, Control::StepDown, Control::TurnToMin,
                    Control::TurnToMax, Control::Shuttle, Control::Puls, Control::GotoStep,
                    Control::GotoDegrees},
                   enabled);
        });
    };
    connect(&panels.turns, &TurnCommands::loopKeysEnabled, this, enableLoopKeys);
    connect(&panels.calibration, &CalibrationRun::loopKeysEnabled, this, enableLoopKeys);
    connect(&panels.shuttlePuls, &ShuttlePuls::modeButtonsEnabled, this,
            [this](bool shuttle, bool puls) {
                update([&](MainView& v) {
                    enable(v.panel, {Control::Shuttle}, shuttle);
                    enable(v.panel, {Control::Puls}, puls);
                });
            });
    connect(&panels.overlay, &OverlayPanel::checkShown, this, [this](bool ticked, bool enabled) {
        retell(Told::OverlayCheck, [&](MainView& v) {
            v.panel.overlayTicked = ticked;
            enable(v.panel, {Control::OverlayCheck}, enabled);
        });
    });
    connect(&panels.overlay, &OverlayPanel::controlsEnabled, this, [this](bool enabled) {
        update([&](MainView& v) {
            enable(v.panel,
                   {Control::OverlayStepUp, Control::OverlayStepDown, Control::OverlayAllUp,
                    Control::OverlayAllDown, Control::OverlayStepsLabel,
                    Control::OverlayDegreesLabel},
                   enabled);
        });
    });
    // A drag turn marks its span on the bar, which rests until the turn ends.
    connect(&panels.turns, &TurnCommands::dragTurnStarted, this,
            [this](Long selectionStart, Long selectionLength, const QString& toolTip) {
                update([&](MainView& v) {
                    v.panel.dragTurn = {true, selectionStart, selectionLength, state_.StepCounter};
                    v.panel.dragBarToolTip = toolTip;
                    enable(v.panel, {Control::DragBar}, false);
                });
            });
    connect(&panels.turns, &TurnCommands::dragTurnEnded, this, [this] {
        update([&](MainView& v) {
            v.panel.dragTurn.running = false;
            enable(v.panel, {Control::DragBar}, true);
        });
    });
}

void MainPresenter::enable(PanelView& panel, std::initializer_list<Control> controls,
                           bool enabled) {
    for (const Control control : controls)
        panel.enabled[static_cast<std::size_t>(control)] = enabled;
}

void MainPresenter::holdPortButton(PanelView& panel) const {
    enable(panel, {Control::PortButton}, !panel.port.walking && !modes_.busyLock().isLocked());
}

void MainPresenter::dragBarAt(MainView& v, Long counter) const {
    v.sliderMinimum = state_.MinPosition;
    v.sliderMaximum = state_.MaxPosition;
    if (state_.MinPosition <= counter && counter <= state_.MaxPosition)
        v.sliderValue = counter;
}

template <typename Change> void MainPresenter::update(Change&& change) {
    MainView next = view_;
    change(next);
    if (next == view_)
        return;
    view_ = std::move(next);
    emit changed(view_);
}

template <typename Change> void MainPresenter::retell(Told part, Change&& change) {
    change(view_);
    ++view_.panel.toldAgain[static_cast<std::size_t>(part)];
    emit changed(view_);
}

void MainPresenter::SliderLabelClicked() {
    state_.SliderShowsDegrees = !state_.SliderShowsDegrees;
    ShowSliderLabel(state_.StepCounter);
}

void MainPresenter::ShowSliderLabel(Long value) {
    QString text = SliderLabelText(state_, value);
    const Long color = state_.SliderShowsDegrees ? state_.PelorusDegreeColor : 0;
    if (text == view_.sliderLabelText && color == view_.sliderLabelColor)
        return;
    view_.sliderLabelText = std::move(text);
    view_.sliderLabelColor = color;
    emit changed(view_);
}

void MainPresenter::ShowOverlay() {
    update([this](MainView& v) { v.overlay = OverlayDisplayFor(state_); });
}

void MainPresenter::StateReplaced() {
    if (!panels_) {
        update([this](MainView& v) { v.pcSpeedText = PcSpeedText(state_.PcSpeed); });
        return;
    }
    retell(Told::Port, [this](MainView& v) {
        v.pcSpeedText = PcSpeedText(state_.PcSpeed);
        v.panel.statusTitle = panels_->joystick.frameText();
        v.panel.calibrationMenuCaption = QStringLiteral("&Calibratie Stappen (") +
                                         QString::number(state_.CalibrationSteps) +
                                         QLatin1Char(')');
        v.panel.port = PortViewOf(panels_->portCommands.portPanel());
        holdPortButton(v.panel);
    });
}

void MainPresenter::EnableStepperOptions() {
    update([](MainView& v) { enable(v.panel, {Control::StepperOptions}, true); });
}

void MainPresenter::ShowPortPanel() {
    retell(Told::Port, [this](MainView& v) {
        v.panel.port = PortViewOf(panels_->portCommands.portPanel());
        holdPortButton(v.panel);
    });
}

void MainPresenter::ShowJoystick() {
    update([this](MainView& v) { v.panel.statusTitle = panels_->joystick.frameText(); });
}

void MainPresenter::ShowSwitchMenus() {
    retell(Told::SwitchMenus,
           [this](MainView& v) { v.panel.switchMenus = panels_->switches.menuChecks(); });
}

} // namespace panel
