#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"

#include <QString>
#include <array>
#include <vector>

namespace display {

// The LPT input test: the five input pins 15, 13, 12, 10 and 11 of a port's status register,
// read on every tick of the window's half-second timer.
class LptInputTest {
public:
    static constexpr int IntervalMs = 500;
    // The status registers of the three standard ports, in the order of the options.
    static constexpr std::array<core::Long, 3> StatusAddresses{889, 957, 633};

    struct Reading {
        QString frameCaption;            // "LPT(889) pins (\)"
        QString valueText;               // "b10000000D=1"
        std::array<QString, 5> pinTexts; // "Pin 15=1"
    };

    explicit LptInputTest(platform::LptPort& lpt);

    // An option, or the opening with LptStatusAddress: 889, 957 or 633 becomes InPort. False
    // for any other address, which selects no option and leaves InPort as it was.
    bool SetLptPort(core::Long statusAddress);
    core::Long inPort() const { return inPort_; }
    // "LPT(889) pins ", the frame caption before the spinner.
    QString framePrefix() const;
    // Every caption the frame can show, of each port with each spinner sign.
    static std::vector<QString> FrameCaptions();
    // The pin labels before the first reading ("Pin 15=0") and their tooltips.
    static std::array<QString, 5> PinLabels();
    static std::array<QString, 5> PinToolTips();

    // One tick: the spinner moves on and the status register of InPort is read.
    Reading GetLptInp();

private:
    platform::LptPort& lpt_;
    core::Long inPort_ = StatusAddresses[0];
    int spinnerStep_ = 0;
};

} // namespace display
