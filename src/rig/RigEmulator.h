#pragma once

#include "rig/RigCaps.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

namespace rig {

// A Yaesu transceiver as its CAT port behaves, written from each rig's own description of its
// frames (not from the program's command tables, so that a fault there shows): frames in,
// replies out with their real lengths and byte orders, acknowledgements where the rig sends
// them, and the front panel a user (or a test) works. Knows nothing of time but the pause it
// puts between reply bytes; SimulatedRig puts it on a line with wire times, and a test can serve
// a pseudo-terminal with it.
class RigEmulator {
public:
    explicit RigEmulator(Model model = Model::Ft817);

    // --- front panel ---
    // Changing the model keeps the panel (the dial is brought into the new rig's range).
    void setModel(Model model);
    Model model() const { return model_; }
    // The dial in kHz, to 10 Hz; held within the rig's dial range.
    void setFrequency(double kHz);
    double frequency() const { return units10Hz_ / 100.0; }
    // Turns the dial by deltaKHz, as a user would; stops at the ends of the range and does
    // nothing while the dial is locked.
    void turnDial(double deltaKHz);
    // The mode as the rig names it in its replies (the code of the set-mode frame).
    void setModeCode(std::uint8_t code) { modeCode_ = code; }
    std::uint8_t modeCode() const { return modeCode_; }
    // 0..15.
    void setSMeter(int value) { sMeter_ = value < 0 ? 0 : value > 15 ? 15 : value; }
    int sMeter() const { return sMeter_; }
    void setLocked(bool locked) { locked_ = locked; }
    bool locked() const { return locked_; }
    // The antenna shows a high SWR while transmitting.
    void setHighSwr(bool high) { highSwr_ = high; }
    // The rig refuses to transmit (out of band, or the transmitter switched off).
    void setTransmitInhibit(bool inhibit) { transmitInhibit_ = inhibit; }
    // The rig's own PTT (microphone or front panel), apart from any the computer keys.
    void setTransmit(bool on) { panelPtt_ = on; }
    bool transmitting() const;
    // The FT-817, FT-857 and FT-897 can be switched off by CAT; switched off they hear nothing
    // but "switch on".
    void setPowered(bool powered) { powered_ = powered; }
    bool powered() const { return powered_; }
    // The FT-847 obeys nothing but "CAT on" until it has had it.
    bool catOn() const { return catOn_; }
    // Pause in ms between the bytes of a reply (the FT-757GXII's, set by its delay frame).
    int replyPacingMs() const { return model_ == Model::Ft757GXII ? pacingMs_ : 0; }

    // --- the CAT port ---
    // Takes bytes from the line; returns what the rig sends back for every frame they complete
    // (usually nothing or one reply).
    QByteArray receive(const QByteArray& bytes);
    // The RS-232 control lines as the computer sets them (the FT-757GXII's interface transmits
    // on DTR and takes its supply from RTS).
    void setLines(bool rts, bool dtr);
    // Every complete frame received, in order.
    const std::vector<QByteArray>& framesReceived() const { return frames_; }

private:
    using Frame = std::array<std::uint8_t, 5>; // P1 P2 P3 P4 opcode
    QByteArray answer(const Frame& f);
    QByteArray answerFt817Family(const Frame& f);
    QByteArray answerFt847(const Frame& f);
    QByteArray answerFt840(const Frame& f);
    QByteArray answerFt757(const Frame& f);
    // The dial as four packed BCD bytes, 100 MHz digit first (FT-817, FT-847, FT-857, FT-897).
    QByteArray bcdFrequency() const;
    // The dial in 10 Hz units as three binary bytes, most significant first (FT-840, FT-757).
    QByteArray binaryFrequency() const;
    // Tunes to the eight BCD digits of P1..P4 (P1 the highest pair, or with lowFirst the
    // lowest); a frame with a non-decimal digit or outside the range is ignored.
    void tuneToBcd(const Frame& f, bool lowFirst);
    // PTT by CAT; the FT-817's acknowledgement: 0x00 done, 0xF0 already so or refused.
    char keyByCat(bool on);

    Model model_;
    std::int64_t units10Hz_ = 705000;
    std::uint8_t modeCode_ = 1;
    int sMeter_ = 5;
    bool locked_ = false;
    bool highSwr_ = false;
    bool transmitInhibit_ = false;
    bool panelPtt_ = false;
    bool catPtt_ = false;
    bool powered_ = true;
    bool catOn_ = false;
    bool rts_ = false;
    bool dtr_ = false;
    int pacingMs_ = 0;
    QByteArray partial_;
    std::vector<QByteArray> frames_;
};

} // namespace rig
