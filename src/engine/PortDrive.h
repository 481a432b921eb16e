#pragma once

#include "core/ProgramState.h"
#include "engine/TransmitInhibit.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/CoilOutput.h"
#include "port/PortPanel.h"
#include "port/PowerControl.h"

namespace engine {

// The port as the turns drive it: the coil output (the one writer of the data register), the
// transmit-inhibit line around the turns, the drivers' power and the port panel's state. Made
// beside the engine, which steps through it; whoever commands one of them (the power and port
// commands, the way out, the start) takes it from here, not from the engine. Each tells its own
// changes.
class PortDrive {
public:
    PortDrive(core::ProgramState& state, platform::Platform& platform, platform::LptPort& lpt)
        : coil_(state, lpt), inhibit_(platform, coil_), power_(state, coil_),
          portPanel_(state, coil_, power_, platform) {}
    PortDrive(const PortDrive&) = delete;
    PortDrive& operator=(const PortDrive&) = delete;

    port::CoilOutput& coil() { return coil_; }
    const port::CoilOutput& coil() const { return coil_; }
    TransmitInhibit& inhibit() { return inhibit_; }
    port::PowerControl& power() { return power_; }
    const port::PowerControl& power() const { return power_; }
    port::PortPanel& portPanel() { return portPanel_; }
    const port::PortPanel& portPanel() const { return portPanel_; }

private:
    port::CoilOutput coil_;
    TransmitInhibit inhibit_;
    port::PowerControl power_;
    port::PortPanel portPanel_;
};

} // namespace engine
