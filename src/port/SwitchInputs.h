#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/InputSimulation.h"

#include <QObject>
#include <QString>
#include <optional>

namespace port {

// A switch that has just closed: the counter becomes position with overlayPosition overlay
// steps taken. beyond: the counter lay past the switch, so whatever turns there must stop.
struct SwitchHit {
    core::Long position = 0;
    core::Long overlayPosition = 0;
    bool beyond = false;
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

// The check marks of the switch entries of the main window's "&Edit" menu, and the caption of
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
// Only reads and shows: the engine applies a switch to the counter (Engine::CheckSwitches)
// and turns for a remote button (Housekeeping).
//
// The switch menu entries call the ...Clicked() functions; the window renders label() and
// menuChecks() when labelChanged() and menusChanged() say so, and shows the input-simulation
// window while simulation().isOpen().
class SwitchInputs : public QObject {
    Q_OBJECT

public:
    SwitchInputs(core::ProgramState& state, platform::Platform& platform, platform::LptPort& lpt,
                 QObject* parent = nullptr);

    // Reads the switches (or the simulated input) and shows them: the switch that has just
    // closed, once per closing, unless the counter already stands at its position or
    // SwitchesShowOnly is set. Reading an open switch clears the latch that makes a switch
    // act once.
    std::optional<SwitchHit> CheckSwitches();
    // Reads the remote buttons and shows them: -1 while the CCW button is held, +1 for CW, 0
    // for none. A simulated press counts once.
    int ReadRemote();
    // The label is shown while RemoteTurning or EndSwitches is set.
    void UpdateLabelVisibility();
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
    void askCenterPosition();

    core::ProgramState& state_;
    platform::Platform& platform_;
    platform::LptPort& lpt_;
    InputSimulation simulation_;
    InputLabel label_;
    // Set by a switch that acted (or found the counter already at its position), cleared by a
    // reading without a closed switch: a switch acts once per closing.
    bool switchHandled_ = false;
};

} // namespace port
