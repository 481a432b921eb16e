#pragma once

#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace core {

using Long = std::int32_t;
using Integer = std::int16_t;
using Single = float;

// A position or count worked out in 64 bits, held within a Long.
inline Long ClampToLong(std::int64_t value) {
    return static_cast<Long>(std::clamp<std::int64_t>(value, std::numeric_limits<Long>::min(),
                                                      std::numeric_limits<Long>::max()));
}

// Everything stored for one stepper. The working copy of the selected stepper is the
// ProgramState itself (it derives from this); the two stored copies live in StoredProfiles.
struct StepperProfile {
    Long StepCounter = 0;      // position in steps, the only position the program knows
    Long MinPosition = 0;      // lowest allowed position
    Long MaxPosition = 500;    // highest allowed position
    Long CenterPosition = 250; // counter value when the centre switch closes
    Long AutoPower = 1;        // 1: driver enable off after 20 idle seconds, 0: manual power
    Single StepsPer360 = 200;  // steps for 360 degrees; 0: no degree display
    Long CustomDelayMs = 15;   // step delay in ms chosen with the speed scroll bar
    Long FastestDelayMs = 2;   // fastest step delay in ms
    Long SlowestDelayMs = 1000;
    Long OverlayPosition = 0; // overlay steps taken, 0..OverlaySteps
    // 0..3: how far the coil code's place in its cycle lies ahead of the position, since the
    // counter was set while the motor stood (kept in Ventrolo.ini, not Ventrolo.cfg).
    Long PhaseOffset = 0;
    Long OverlaySteps = 10;
    Long ShuttleMin = 0;
    Long ShuttleMax = 50;
    Long PulsSteps = 15;
    Single PulsTime = 4; // seconds between pulses
    Long CalibrationSteps = 10;
    Long GotoStepValue = 100; // last value typed into the "Goto" step field
    Long ComPort = 1;
    Long BaudRate = 4800;
    bool MainShown = true;
    bool PelorusShown = false;
    bool SmallPelorusShown = false;
    bool TableWindowShown = false;
    bool TimerWindowShown = false;
    bool OverlayMenu = false;
    bool OverlayOn = false;
    bool OverlayState = false; // the overlay display counts down from a full overlay
    bool CircleRefLines = true;
    bool RemoteTurning = false;
    bool EndSwitches = false;
    bool SwitchesShowOnly = false;
    bool CenterSwitch = false;
    bool SpeedModulate = false;

    // The motor's place in the four-step coil cycle: the counter, the overlay steps taken and
    // PhaseOffset.
    std::int64_t PhasePosition() const {
        return std::int64_t{StepCounter} + OverlayPosition + PhaseOffset;
    }
    // The counter and the overlay position set while the motor stands: PhaseOffset takes up
    // the difference, so the place in the cycle stays. True when PhaseOffset changed.
    bool Relabel(Long counter, Long overlayPosition);

    bool operator==(const StepperProfile&) const = default;
};

// The defaults of a profile: stepper 2 differs from stepper 1 in its pulse time and
// calibration steps.
StepperProfile DefaultStepperProfile(int stepper);

// Limits and steps per 360 taken from a frequency table's header.
struct TableLimits {
    Long MinPosition = 0;
    Long MaxPosition = 0;
    Single StepsPer360 = 0;
};

// The program-wide settings and run-time variables, with the working profile of the selected
// stepper as its base. One instance is owned by the application and passed by reference.
struct ProgramState : StepperProfile {
    ProgramState();

    // Stored settings.
    Long SelectedStepper = 0; // 0: stepper 1, 1: stepper 2
    Long LptAddress = 888;
    Long LptExtraBits = 0; // data bits held high on every write
    Long PcSpeed = 0;      // loop passes counted in one second
    QString TableFileName = QStringLiteral("\\Table.cat");
    QString FrequencyUnit = QStringLiteral("kHz");
    QString TimerFileName = QStringLiteral("\\Timer1.tbl");
    Long ComPollMs = 1000;
    Integer RigModel = 2;
    Integer CatScrollSetting = 9;
    Integer RigModeCode = 1;
    Long PelorusBackColor = static_cast<Long>(0x80000011u); // system colour for grey text
    Long PelorusRimColor = 0xFF0000;
    Long PelorusMiddleColor = 0;
    Long PelorusDegreeColor = 255;
    Single SmallPelorusHeight = 1575; // twips
    Single SmallPelorusWidth = 1575;
    bool BothSteppersPin6 = false;
    bool JoystickOn = false;
    QString ConfigReserved; // the reserved text field of the configuration, kept as read
    std::array<StepperProfile, 2> StoredProfiles;

    // Run-time state, not stored.
    Long StepDelayMs = 15;
    Long TargetPosition = 0;
    Long StepperBits = 4;
    std::array<Long, 4> PhaseSeq{1, 3, 2, 0};
    Long LptStatusAddress = 889;
    Single DegreesPerStep = 1.8f;
    Single CurrentDegrees = 0;
    bool StopRequest = false;
    bool StepActivity = false;
    bool NoYield = false;
    bool PelorusRedraw = true;
    bool OverlayPending = false;
    bool RigFollowHalted = false;
    bool WebcamWindowOpen = false;
    bool LptOutTestOpen = false;
    bool LptInTestOpen = false;
    Long SimulatedInput = 0;
    bool SliderShowsDegrees = false;
    std::array<QString, 6> WheelFunctionNames{
        QStringLiteral("Stepper"),   QStringLiteral("Stepper"), QStringLiteral("Table"),
        QStringLiteral("Frequency"), QStringLiteral("Speed"),   QString()};
    QString WheelToolTip;
    QString DateText;
    // The frequency table's limits while they stand in for the working ones (chkMinMax). They
    // are never stored as the stepper's own; loading a profile ends them.
    std::optional<TableLimits> AppliedTableLimits;

    StepperProfile& working() { return *this; }
    const StepperProfile& working() const { return *this; }
    StepperProfile& selectedProfile() { return StoredProfiles[SelectedStepper == 1 ? 1 : 0]; }
    const StepperProfile& selectedProfile() const {
        return StoredProfiles[SelectedStepper == 1 ? 1 : 0];
    }
    const StepperProfile& otherProfile() const {
        return StoredProfiles[SelectedStepper == 1 ? 0 : 1];
    }

    // Copies the stored profile of SelectedStepper into the working variables; applied table
    // limits end.
    void LoadStepperProfile();
    // Copies the working variables into the stored profile of SelectedStepper (GotoStepValue
    // follows the "Goto" field as it is typed). A limit that still holds the applied table's
    // value keeps the stepper's own.
    void StoreStepperProfile();
};

} // namespace core
