#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "panel/CalibrationRun.h"
#include "panel/Housekeeping.h"
#include "panel/MainFields.h"
#include "panel/MainInit.h"
#include "panel/MainView.h"
#include "panel/OverlayPanel.h"
#include "panel/PortCommands.h"
#include "panel/ShuttlePuls.h"
#include "panel/SpeedPanel.h"
#include "panel/StepperParams.h"
#include "panel/TurnCommands.h"
#include "panel/WindowModes.h"
#include "port/JoystickStatus.h"
#include "port/SwitchInputs.h"

#include <QObject>
#include <QString>
#include <initializer_list>
#include <optional>

namespace panel {

// The main window's shown state as one value (MainView): told the engine's values (the
// counter, the drag bar, the degrees, the overlay, the speed) and the news of the panels'
// logic, it makes their texts and colours and tells changed() whenever the value changes, and
// at every telling of a check mark or a field's text, so that a click or key the logic refused
// is put back.
class MainPresenter : public QObject {
    Q_OBJECT

public:
    // engine, speed and modes must outlive the presenter.
    MainPresenter(core::ProgramState& state, engine::Engine& engine, SpeedPanel& speed,
                  WindowModes& modes, QObject* parent = nullptr);

    // The logic of the panels around the position, whose news the view shows from now on; all
    // of it must outlive the presenter.
    struct Panels {
        MainFields& fields;
        Housekeeping& housekeeping;
        TurnCommands& turns;
        StepperParams& params;
        ShuttlePuls& shuttlePuls;
        CalibrationRun& calibration;
        OverlayPanel& overlay;
        MainInit& mainInit;
        const PortCommands& portCommands;
        const port::SwitchInputs& switches;
        const port::JoystickStatus& joystick;
        const engine::WheelControl& wheel;
    };
    void Follow(const Panels& panels);

    const MainView& view() const { return view_; }

    // The drag bar's label clicked: steps <-> degrees.
    void SliderLabelClicked();
    // The drag bar's label for a position: the thumb while it is dragged, the counter when the
    // label's colour changed.
    void ShowSliderLabel(core::Long value);
    // The overlay's display from the state.
    void ShowOverlay();
    // The settings or the stepper's profile were replaced: PcSpeed, the status frame's title,
    // the calibration entry and the port panel shown from the state.
    void StateReplaced();
    // The user let the stepper options be chosen again (their frame clicked, one of them
    // chosen, the stepper switched from the menu).
    void EnableStepperOptions();
    // The port's line changed behind the panel (the extra bits set in the output test).
    void ShowPortPanel();
    // The joystick's state changed (its menu entry).
    void ShowJoystick();
    // The switch entries' check marks, told again (the simulation window opened or closed).
    void ShowSwitchMenus();

signals:
    void changed(const panel::MainView& view);

private:
    void connectPanels(const Panels& panels);
    void connectControls(const Panels& panels);
    // The drag bar spans the limits; its thumb follows the counter only within them.
    void dragBarAt(MainView& v, core::Long counter) const;
    // Applies change to a copy of the view and tells it when it differs.
    template <typename Change> void update(Change&& change);
    // Applies change and tells the view even when it is the same: the news of a part's check
    // marks or field texts, which the user may have changed meanwhile.
    template <typename Change> void retell(Told part, Change&& change);
    static void enable(PanelView& panel, std::initializer_list<Control> controls, bool enabled);
    // The busy lock and the pin walk both hold the port button.
    void holdPortButton(PanelView& panel) const;

    core::ProgramState& state_;
    const SpeedPanel& speed_;
    WindowModes& modes_;
    std::optional<Panels> panels_;
    MainView view_;
};

} // namespace panel
