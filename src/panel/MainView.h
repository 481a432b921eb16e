#pragma once

#include "core/ProgramState.h"
#include "engine/SpeedControl.h"
#include "engine/TurningModes.h"
#include "panel/DisplayTexts.h"

#include <QString>

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
    bool operator==(const MainView&) const = default;
};

SpeedView SpeedViewOf(const engine::SpeedControl& speed);
// "PCspeed=123456".
QString PcSpeedText(core::Long pcSpeed);
// The view of the state as it stands, before the engine has told anything.
MainView MainViewOf(const core::ProgramState& state, const engine::SpeedControl& speed,
                    const engine::TurningModes& modes);

} // namespace panel
