#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/InputSimulation.h"

#include <QObject>
#include <QString>

namespace port {

// What the LPT inputs need of the stepping engine.
class SwitchTurning {
public:
    virtual ~SwitchTurning() = default;
    virtual void StopTurning() = 0;
    // Turns to TargetPosition within the limits; returns when the turn has ended.
    virtual void TurnTo() = 0;
    // The overlay, counter, slider and degree displays after the counter was set.
    virtual void ShowPosition() = 0;
    // Ends a turn that runs on the slow-turn timers (delays above 1000 ms).
    virtual void StopSlowTimers() = 0;
};

// Colours of the input label, 0x00BBGGRR.
inline constexpr core::Long InputLabelBlack = 0x000000;
inline constexpr core::Long InputLabelRed = 0x0000FF;     // end switch
inline constexpr core::Long InputLabelBlue = 0xFF0000;    // begin or centre switch
inline constexpr core::Long InputLabelMagenta = 0xFF00FF; // remote button

// The main window's input label (lblInputport).
struct InputLabel {
    QString text = QStringLiteral("Input"); // "Inp(889)=0", or the name of the active input
    core::Long color = InputLabelBlack;
    bool visible = false; // shown while RemoteTurning or EndSwitches
    bool operator==(const InputLabel&) const = default;
};

// The check marks of the switch entries of the main window's "E&dit" menu, and the caption of
// the centre-switch entry.
struct SwitchMenuChecks {
    bool centerSwitch = false;     // "&Center switch..."
    bool beginEndSwitches = false; // "&Begin and  End switch"
    bool showOnly = false;         // "S&how switches only"
    bool remoteTurning = false;    // "&Remote controlled turning"
    bool simulation = false;       // "Si&mulation LptInput"
    QString centerCaption;         // "Center switch(250)..."
    bool operator==(const SwitchMenuChecks&) const = default;
};

// The remote buttons and position switches on the LPT status inputs, and their menu modes.
//
// - Every turning loop calls CheckSwitches() while EndSwitches is set (engine::LptInputs fills
//   the engine's hook with it): a switch that closes sets StepCounter to its limit (or to
//   CenterPosition) once per closing and ends the turn.
// - The main window's one-second timer calls HousekeepingTick().
// - The switch menu entries call the ...Clicked() functions; the window renders label() and
//   menuChecks() when labelChanged() and menusChanged() say so, and shows the input-simulation
//   window while simulation().isOpen().
//
// Turns and displays go through SwitchTurning; waits inside TurnTo() let events run, so any
// of these may be re-entered from a handler meanwhile.
class SwitchInputs : public QObject {
    Q_OBJECT

public:
    SwitchInputs(core::ProgramState& state, platform::Platform& platform, platform::LptPort& lpt,
                 SwitchTurning& turning, QObject* parent = nullptr);

    // Reads the switches (or the simulated input): true when a begin, end or centre switch has
    // just set the counter, and the caller must end its turn. With SwitchesShowOnly the switch
    // is only shown. Reading an open switch clears the latch that makes a switch act once.
    bool CheckSwitches();
    // A remote button held: one step towards it at the fastest delay (the delay in force is
    // restored afterwards).
    void InputRemote();
    // The main window's one-second tick: the remote inputs while RemoteTurning, the switches
    // while EndSwitches (a switch ends a slow turn), and the label's visibility.
    void HousekeepingTick();
    // Start-up: the label shows the raw status register, "Inp(889)=120".
    void ShowStatusRegister();

    // Applies a switch menu choice: 0 refresh only, 1 centre switch (asks for the centre
    // position), 2 begin and end switches, 3 show only on, 4 all switches off, 5 show only off.
    // Every choice closes the input-simulation window first.
    void SwitchMenus(int choice);
    // The menu entries.
    void CenterSwitchClicked();     // SwitchMenus(1) unless already checked
    void BeginEndSwitchesClicked(); // SwitchMenus(2) unless already checked
    void ShowOnlyClicked();         // flips SwitchesShowOnly: SwitchMenus(3) or (5)
    void AllSwitchesOffClicked();   // SwitchMenus(4)
    void RemoteTurningClicked();    // flips RemoteTurning, SwitchMenus(0)

    const InputLabel& label() const { return label_; }
    SwitchMenuChecks menuChecks() const;
    InputSimulation& simulation() { return simulation_; }

signals:
    void labelChanged();
    // The check marks or the centre-switch caption changed (also when the simulation window
    // opens or closes).
    void menusChanged();

private:
    void setLabel(const QString& text, core::Long color);
    void showInputValue(core::Long value);
    void updateLabelVisibility();
    // False when the question was cancelled.
    bool askCenterPosition();

    core::ProgramState& state_;
    platform::Platform& platform_;
    platform::LptPort& lpt_;
    SwitchTurning& turning_;
    InputSimulation simulation_;
    InputLabel label_;
    // Set by a switch that acted (or found the counter already at its position), cleared by a
    // reading without a closed switch: a switch acts once per closing.
    bool switchHandled_ = false;
};

} // namespace port
