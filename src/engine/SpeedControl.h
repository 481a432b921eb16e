#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <functional>

namespace engine {

// The speed controls of the main window as state: the speed scroll bar (a step delay in ms),
// the "Fa&st"/"Cu&stom" button, the "SpeedModulate" box and the speed texts. Sets
// CustomDelayMs, StepDelayMs and SpeedModulate; the window renders what is here. Each command
// (not the scroll value's setter: SetSpeed takes it) tells its owner once that the speed or its
// texts may have changed.
class SpeedControl {
public:
    // HScroll1: value, range and the step of its arrows, in ms.
    struct ScrollBar {
        core::Long value = 15;
        core::Long minimum = 2;
        core::Long maximum = 1000;
        core::Long smallChange = 1;
        bool operator==(const ScrollBar&) const = default;
    };
    struct Texts {
        QString slowestField; // SlowestDelay field, in seconds: "1"
        QString fastestField; // FastestDelay field, in seconds: ".002"
        QString slowLabel;    // lblSlow: "1 Sec"
        QString fastLabel;    // lblFast: ".002 Sec"
        QString rpmLabel;     // lblRpm: "20.0 Rpm", "Slow" (1 rpm or less), "Fast" (delay 0)
        QString speedLabel;   // lblSnelHeid: "Stepspeed  .015 Sec"
    };

    explicit SpeedControl(core::ProgramState& state);
    // Told after each command; the engine, which turns at the speed set here.
    void onChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    const ScrollBar& scrollBar() const { return bar_; }
    const Texts& texts() const { return texts_; }
    bool fastMode() const { return fastMode_; }
    // The speed button's caption: "Fa&st" or "Cu&stom".
    QString speedButtonCaption() const;
    bool speedModulateTicked() const { return speedModulateTicked_; }
    bool speedModulateVisible() const { return speedModulateVisible_; }

    // The user moved the scroll bar (or a key or the wheel did): the value, held in the range.
    void setScrollValue(core::Long value);
    // The "SpeedModulate" box as ticked; SpeedModulate follows it while the box is shown.
    void setSpeedModulateTicked(bool ticked);

    // Start-up: "Cu&stom", the bar spanning FastestDelayMs..SlowestDelayMs at CustomDelayMs,
    // the box ticked as SpeedModulate, then SetSpeed().
    void InitSpeed();
    // Takes the scroll bar's value as the custom speed (unless "Fa&st" is at the fastest end),
    // then ShowSpeed() and UpdateSpeedModulateCheck().
    void SetSpeed();
    // The speed texts from StepDelayMs.
    void ShowSpeed();
    // The box is shown, and SpeedModulate follows it, only in "Cu&stom" mode at 1000 ms or
    // less; otherwise SpeedModulate is false.
    void UpdateSpeedModulateCheck();
    // The speed button: "Fa&st" (fastest delay) <-> "Cu&stom" (the custom delay, raised to the
    // fastest when below).
    void ToggleFastCustom();

private:
    void showTexts();
    void told() const {
        if (changed_)
            changed_();
    }
    void setRange(core::Long minimum, core::Long maximum);

    core::ProgramState& state_;
    ScrollBar bar_;
    Texts texts_;
    bool fastMode_ = false;
    bool speedModulateTicked_ = false;
    bool speedModulateVisible_ = true;
    std::function<void()> changed_;
};

} // namespace engine
