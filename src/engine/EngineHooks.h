#pragma once

#include <QString>
#include <functional>

namespace engine {

// What the engine needs of the subsystems beyond the main window. Each hook is filled by the
// subsystem that owns it; an empty hook does nothing (a query gives the default named).
struct EngineHooks {
    // The begin/end/centre switch check of the LPT inputs: true when a switch has just set the
    // counter and the turn must end. Called by every turning loop while EndSwitches is set.
    // Empty: false.
    std::function<bool()> checkSwitches;

    // The table window's counter label, while TableWindowShown.
    std::function<void(const QString& counterText)> showTableCounter;
    // Pause (true) and resume (false) the table window's rig polling around a turn; called
    // while TableWindowShown. Only a link that is open polls.
    std::function<void(bool paused)> pauseRigPolling;
    // StopTurning with TableWindowShown and ComPort >= 1: the table window's lock button shows
    // "&Unlocked" and is disabled.
    std::function<void()> releaseRigLock;
    // StopTurning: a running direct-table program stops ("&Start", status "Stopped").
    std::function<void()> stopDirectTable;
    // StopTurning while LptOutTestOpen or LptInTestOpen: the LPT test windows close.
    std::function<void()> closeLptTestWindows;
    // Redraw of the pelorus windows that are shown (after every step with degrees, and when a
    // turn stops); PelorusRedraw says whether a full redraw is due.
    std::function<void(bool pelorus, bool smallPelorus)> redrawPelorus;
    // TurnStepperTo: the timer window's run control disabled (false) during the turn.
    std::function<void(bool enabled)> enableTimerRunControl;

    // The main window's "Goto" step field, stored with the profile when the stepper changes.
    // Empty: GotoStepValue as text.
    std::function<QString()> gotoFieldText;
    // The main-window initialisation after the selected stepper changed. Empty: the engine
    // loads the working profile and derives StepperBits, TargetPosition and DegreesPerStep.
    std::function<void(bool quiet)> initMain;
};

} // namespace engine
