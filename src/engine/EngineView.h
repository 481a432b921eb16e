#pragma once

#include "core/ProgramState.h"

#include <QString>

namespace engine {

// Which value the main window's slider label (lblVscroll) shows.
enum class SliderLabelSource {
    Target = -1, // TargetPosition
    Counter = 0, // StepCounter
    Slider = 1,  // the slider's own value (while dragged, and after a slow step)
};

// The main window's overlay labels.
struct OverlayDisplay {
    QString stepsText;             // lblOverlaySteps: "3"; counts up to 0 ("-7") while OverlayState
    QString degreesText;           // lblOverlayDegrees: "5.4°"
    bool directionVisible = false; // lblOverlayDirection shown: the overlay is on
    QString directionText;         // ">>" after overlay steps up, "<<" after steps given back
    bool operator==(const OverlayDisplay&) const = default;
};

// What the engine tells the main window. The engine calls these on the GUI thread, also in the
// middle of a turn; an implementation only renders (it must not start or stop turns from
// inside these calls). Texts are final: the window shows them as given.
//
// Two styles:
// - per-step displays carry their value (showCounter, setSliderValue, showDegrees, ...);
// - panels whose state lives in a logic object of the engine are only told that it changed and
//   render it from there: speedChanged() -> Engine::speed(), powerChanged() -> Engine::power(),
//   modesChanged() -> Engine::modes(), portPanelChanged() -> Engine::portPanel().
//
// NullEngineView does nothing; the engine uses it while no window is set.
class EngineView {
public:
    virtual ~EngineView() = default;

    // --- position displays ---
    // lblTeller: the step counter, without leading blank.
    virtual void showCounter(const QString& text) = 0;
    // VSlider1's thumb; called only with values inside MinPosition..MaxPosition.
    virtual void setSliderValue(core::Long value) = 0;
    // Redraws lblVscroll from the given value (steps, or degrees with SliderShowsDegrees).
    virtual void refreshSliderLabel(SliderLabelSource source) = 0;
    // lblDegrees: " 12.6°".
    virtual void showDegrees(const QString& text) = 0;
    // lblDegrees hidden while StepsPer360 is 0.
    virtual void setDegreesVisible(bool visible) = 0;
    // The overlay labels.
    virtual void showOverlay(const OverlayDisplay& display) = 0;
    // The tooltips of the four overlay step buttons, after every overlay change.
    virtual void refreshOverlayTooltips() = 0;
    // lblPcspeed: "PCspeed=123456".
    virtual void showPcSpeed(const QString& text) = 0;

    // --- panels rendered from the engine's logic objects ---
    // Speed scroll bar (value, range, small change), "Fa&st"/"Cu&stom" caption, speed fields
    // and labels, "SpeedModulate" box (ticked, visible): Engine::speed().
    virtual void speedChanged() = 0;
    // "Autopower" box (ticked, caption) and "Fieldpower" box (ticked, visible): Engine::power().
    virtual void powerChanged() = 0;
    // Captions of the shuttle, pulse and calibration buttons: Engine::modes().
    virtual void modesChanged() = 0;
    // Port button caption, pin-test caption (port button disabled while walking), the check of
    // "&Offset Lpt 89 +5V": Engine::portPanel().
    virtual void portPanelChanged() = 0;

    // --- locks ---
    // The busy lock applied (true) or released (false); see BusyLock for what it covers.
    virtual void busyLockChanged(bool locked) = 0;
    // The two stepper option buttons ("Stepper1", "Stepper2"); a turn up or down disables them.
    virtual void setStepperOptionsEnabled(bool enabled) = 0;
    // The whole main window (disabled while the output pins are walked).
    virtual void setWindowEnabled(bool enabled) = 0;

    // --- the main window's one-second housekeeping timer (Timer1) ---
    virtual bool housekeepingRunning() const = 0;
    // Stopped while a turn or an overlay move runs, started again afterwards.
    virtual void setHousekeepingRunning(bool running) = 0;
    // Runs the housekeeping once now: called after every slow-timer step.
    virtual void runHousekeeping() = 0;
};

class NullEngineView : public EngineView {
public:
    void showCounter(const QString&) override {}
    void setSliderValue(core::Long) override {}
    void refreshSliderLabel(SliderLabelSource) override {}
    void showDegrees(const QString&) override {}
    void setDegreesVisible(bool) override {}
    void showOverlay(const OverlayDisplay&) override {}
    void refreshOverlayTooltips() override {}
    void showPcSpeed(const QString&) override {}
    void speedChanged() override {}
    void powerChanged() override {}
    void modesChanged() override {}
    void portPanelChanged() override {}
    void busyLockChanged(bool) override {}
    void setStepperOptionsEnabled(bool) override {}
    void setWindowEnabled(bool) override {}
    bool housekeepingRunning() const override { return false; }
    void setHousekeepingRunning(bool) override {}
    void runHousekeeping() override {}
};

} // namespace engine
