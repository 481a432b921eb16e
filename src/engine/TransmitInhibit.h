#pragma once

#include "platform/Platform.h"
#include "port/CoilOutput.h"

#include <memory>

namespace engine {

// The transmit-inhibit line around the turns (port::InhibitSettings): set before a turn's first
// step, held while any turn holds it (a turn started inside another, a turn the transmit gate
// holds mid-way, a slow turn between its ticks) and released tailMs after the last hold ends, so
// the rig never transmits into a capacitor that moves. A crash leaves it where it is: the port
// keeps its value. Without a line every call does nothing.
class TransmitInhibit {
public:
    TransmitInhibit(platform::Platform& platform, port::CoilOutput& coil);
    ~TransmitInhibit();

    // A turn is about to step: the line is set unless it is already.
    void Hold();
    // A hold ends: the last one releases the line tailMs from now, unless a turn holds it again
    // meanwhile.
    void Let();
    // How much longer a first step must wait for the line's lead: 0 once leadMs have passed
    // since it was set, and without a line.
    double leadLeftMs() const;
    // The clean way out: the last turn's tail waited out, then the line released.
    void ReleaseAtExit();

private:
    void release();

    platform::Platform& platform_;
    port::CoilOutput& coil_;
    std::unique_ptr<platform::Timer> tail_;
    int holds_ = 0;
    double setAtMs_ = 0;
    double releaseAtMs_ = 0;
};

} // namespace engine
