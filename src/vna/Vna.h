#pragma once

#include "vna/Sweep.h"

#include <QString>

namespace vna {

// What the VNA says it is.
struct VnaIdentity {
    QString name;       // "NanoVNA-H 4 1.2.27", "NanoVNA V2 (hardware 2, firmware 1.3)"
    int maxPoints = 101; // the most points one sweep may have
};

// A vector network analyser measuring S11 at its port 1. Calls wait with the event loop
// running (a sweep takes a second or more). A device that is missing, silent, gone or
// garbling gives an error text, never a sweep.
class Vna {
public:
    virtual ~Vna() = default;

    // Connects and asks the device what it is.
    virtual Result<VnaIdentity> open() = 0;
    // One sweep; open() first.
    virtual Result<Sweep> sweep(const SweepRequest& request) = 0;
    // Gives the device back to its own screen and sweep, and lets go of the port.
    virtual void close() = 0;
    // From a handler while a call waits: the call ends at once with an error. open() forgets it.
    virtual void abort() = 0;
    // What the VNA is, for messages ("/dev/ttyACM0", "Simulated VNA").
    virtual QString description() const = 0;
};

} // namespace vna
