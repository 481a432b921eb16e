#pragma once

#include <QStringList>

namespace rig {

// What a link can do, in one record: what the program offers for the rig (the PTT, the lock
// and power buttons, the SWR tune, the mode buttons) follows from it. A link tells it whole;
// one that learns more while it talks (which modes a daemon names, that a rig cannot read its
// PTT) tells capabilitiesChanged() and gives the new record.
struct LinkCapabilities {
    // Readings tell the rig's transmit state (the FT-757GXII's do not).
    bool reportsTransmit = true;
    // Frequency, mode and PTT can be set (a link that only listens to another program cannot).
    bool canSetRig = true;
    // The rig's dial lock can be set by the program.
    bool dialLock = false;
    // A power switch the program works (the FT-817's).
    bool powerSwitch = false;
    // The link reads the rig's SWR (RigConnection::swrMeter()).
    bool swrMeter = false;
    // The mode buttons' names in order; empty where the link has none.
    QStringList modeNames;
};

} // namespace rig
