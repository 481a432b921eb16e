#pragma once

namespace engine {

// What the engine's transmit gate asks before every step: true while our own PTT is on or the
// rig reports transmit, and the user wants no turning then ([rig] holdWhileTransmitting).
class TransmitState {
public:
    virtual ~TransmitState() = default;
    virtual bool transmitting() const = 0;
    // The SWR tune keys the rig with its carrier: its own turns pass, and no other turn
    // does, whatever the user wants.
    virtual bool swrTuneKeyed() const { return false; }
};

} // namespace engine
