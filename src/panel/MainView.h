#pragma once

#include "core/ProgramState.h"
#include "engine/SpeedControl.h"
#include "engine/TurningModes.h"
#include "engine/WheelControl.h"
#include "panel/DisplayTexts.h"
#include "panel/MainFields.h"
#include "port/SwitchInputs.h"

#include <QString>
#include <array>
#include <cstddef>

namespace panel {

// The speed panel as the main window shows it.
struct SpeedView {
    engine::SpeedControl::ScrollBar bar; // HScroll1
    QString buttonCaption;               // cmdFast: "Fa&st" or "Cu&stom"
    QString slowLabel;                   // lblSlow
    QString fastLabel;                   // lblFast
    QString rpmLabel;                    // lblRpm
    QString speedLabel;                  // lblSnelHeid
    bool rampTicked = false;             // chkSpeedModulate
    bool rampVisible = true;
    bool operator==(const SpeedView&) const = default;
};

// The main window's controls the panel's logic allows or forbids. Several tellers speak of the
// same control (the busy lock, the endless modes, the calibration run): the last one told holds.
enum class Control : std::size_t {
    DragBar,             // VSlider1
    GotoStep,            // cmdGotoStep
    GotoDegrees,         // cmdGotoDegrees
    StepUp,              // cmdCw
    StepDown,            // cmdCcw
    TurnToMin,           // cmdMinCcw
    TurnToMax,           // cmdMaxCw
    Calibrate,           // cmdCalibreer
    Shuttle,             // cmdShuttle
    Puls,                // cmdPulsloop
    PortButton,          // cmdPoort: off while the pins are walked or the busy lock holds
    LptTest,             // cmdLptTest
    SetStepsPer360,      // cmdStepperStap
    SetSlowestDelay,     // cmdHoogste
    SetFastestDelay,     // cmdLaagste
    SetMaximum,          // cmdInputMax
    SetMinimum,          // cmdInputMin
    SetOverlaySteps,     // cmdOverlayInput
    OverlayCheck,        // chkOverlay
    SpeedRamp,           // chkSpeedModulate
    OverlayStepUp,       // cmdOverCW
    OverlayStepDown,     // cmdOverCCW
    OverlayAllUp,        // cmdOverCWs
    OverlayAllDown,      // cmdOverCCWs
    OverlayStepsLabel,   // lblOverlaySteps
    OverlayDegreesLabel, // lblOverlayDegrees
    StepperOptions,      // OptStepper(0) and (1), the last
    Count
};
inline constexpr std::size_t ControlCount = static_cast<std::size_t>(Control::Count);

// A turn by the drag bar: the span it turns over, marked on the bar while it runs.
struct DragTurnView {
    bool running = false;
    core::Long selectionStart = 0;
    core::Long selectionLength = 0;
    core::Long thumb = 0; // the counter when it began: the thumb goes back to it
    bool operator==(const DragTurnView&) const = default;
};

// The power boxes (chkAuto, chkFieldPower).
struct PowerView {
    bool autoTicked = false;
    QString autoCaption;
    bool fieldTicked = false;
    bool fieldVisible = true;
    bool operator==(const PowerView&) const = default;
};

// The port button, the pin walk and the port's line in the status bar.
struct PortView {
    bool walking = false;      // the whole window rests while the output pins are walked
    QString buttonCaption;     // cmdPoort
    QString lptTestCaption;    // cmdLptTest
    bool lpt89Checked = false; // mnuLPT89
    QString statusText;
    bool operator==(const PortView&) const = default;
};

// The overlay's panels; each telling lays the window out again at its standard size.
struct OverlayPanelsView {
    bool shown = false; // mnuOverlay and the panels
    unsigned told = 0;
    bool operator==(const OverlayPanelsView&) const = default;
};

// The parts whose check marks or texts the user changes himself before their logic has answered
// (the overlay panels' entry counts in OverlayPanelsView::told).
enum class Told : std::size_t { Fields, OverlayCheck, Power, Port, SwitchMenus, Wheel, Count };
inline constexpr std::size_t ToldCount = static_cast<std::size_t>(Told::Count);

// The panels around the position: what the controls allow, the fields, the captions, tooltips
// and check marks the panel's logic tells. Each telling of a part's marks or texts counts in
// toldAgain, and the window then puts that part where the view has it, a refused click's or
// key's too; a part whose command still runs keeps what the user left it at meanwhile.
struct PanelView {
    std::array<bool, ControlCount> enabled = [] {
        std::array<bool, ControlCount> all{};
        all.fill(true);
        return all;
    }();
    bool dragBarLabelShown = true;                          // lblVscroll
    QString dragBarToolTip = QStringLiteral("Drag Slider"); // then the last drag turn's
    DragTurnView dragTurn;
    std::array<QString, EntryFieldCount> fieldTexts; // Text1..Text12, in the order of EntryField
    std::array<bool, EntryFieldCount> fieldLocked{};
    QString timeText = QStringLiteral("00:00:00");  // lblTime
    QString statusTitle = QStringLiteral("Status"); // Frame10: the joystick's state
    QString pulsShuttleText;                        // lblPulsShuttle
    QString turnToMaxToolTip;                       // cmdMaxCw
    QString turnToMinToolTip;                       // cmdMinCcw
    QString calibrationMenuCaption = QStringLiteral("&Calibration steps..."); // mnuCalibraStaps
    OverlayPanelsView overlayPanels;
    bool overlayTicked = false; // chkOverlay
    PowerView power;
    PortView port;
    port::InputLabel inputLabel; // lblInputport
    port::SwitchMenuChecks switchMenus;
    engine::WheelDisplay wheel; // cmdScroll and the wheel entries
    QString wheelToolTip;
    std::array<unsigned, ToldCount> toldAgain{}; // in the order of Told
    bool operator==(const PanelView&) const = default;
};

// What the main window shows of the position, the speed and the modes, as one value: the
// presenter keeps it, the window renders what differs from the last one it rendered.
struct MainView {
    QString counterText;          // lblTeller
    core::Long sliderValue = 0;   // VSlider1's thumb: the counter, while within the limits
    core::Long sliderMinimum = 0; // VSlider1's range, lblMin and lblMax
    core::Long sliderMaximum = 0;
    QString sliderLabelText;         // lblVscroll
    core::Long sliderLabelColor = 0; // 0x00BBGGRR
    QString degreesText;             // lblDegrees
    bool degreesVisible = true;
    OverlayDisplay overlay;
    QString pcSpeedText; // lblPcspeed
    SpeedView speed;
    QString shuttleCaption;     // cmdShuttle
    QString pulsCaption;        // cmdPulsloop
    QString calibrationCaption; // cmdCalibreer
    PanelView panel;
    bool operator==(const MainView&) const = default;
};

SpeedView SpeedViewOf(const engine::SpeedControl& speed);
// "PCspeed=123456".
QString PcSpeedText(core::Long pcSpeed);
// The view of the state as it stands, before the engine has told anything.
MainView MainViewOf(const core::ProgramState& state, const engine::SpeedControl& speed,
                    const engine::TurningModes& modes);

} // namespace panel
