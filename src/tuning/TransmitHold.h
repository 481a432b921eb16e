#pragma once

#include <QString>

namespace tuning {

// Why no turn may start now (the engine's transmit gate is shut), or None.
enum class TransmitHold {
    None,
    SwrTune,      // the SWR tune's carrier: only its own turns move
    OurPtt,       // our PTT is on
    RigTransmits, // the rig reports transmit, whatever keyed it
    RigSilent,    // the rig went silent while it transmitted (or during a turn)
};

// In words, for --status and the web page: "the rig transmits"; empty for None.
QString TransmitHoldText(TransmitHold hold);

} // namespace tuning
