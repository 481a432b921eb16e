#pragma once

#include "rig/CatCommandTable.h"
#include "rig/RigModel.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace rig {

// A Yaesu transceiver as its CAT port behaves: frames in, replies out, and the front panel a
// user (or a test) works. Knows nothing of time; SimulatedRig puts it on a line with wire
// times, an integration test can serve a pseudo-terminal with it.
class RigEmulator {
public:
    explicit RigEmulator(Model model = Model::Ft817);

    // --- front panel ---
    // Changing the model keeps the frequency and the rest of the panel.
    void setModel(Model model);
    Model model() const { return model_; }
    // kHz, to 10 Hz; held within the rig's range.
    void setFrequency(double kHz);
    double frequency() const { return units10Hz_ / 100.0; }
    // Turns the tuning knob by deltaKHz, as a user would; stops at the ends of the range and
    // does nothing while the dial is locked.
    void turnKnob(double deltaKHz) {
        if (!locked_)
            setFrequency(frequency() + deltaKHz);
    }
    // The mode as the rig names it in its replies (the code of the set-mode frame).
    void setModeCode(std::uint8_t code) { modeCode_ = code; }
    std::uint8_t modeCode() const { return modeCode_; }
    void setSMeter(int value) { sMeter_ = value < 0 ? 0 : value > 15 ? 15 : value; }
    int sMeter() const { return sMeter_; }
    void setLocked(bool locked) { locked_ = locked; }
    bool locked() const { return locked_; }
    // The antenna shows a high SWR while transmitting.
    void setHighSwr(bool high) { highSwr_ = high; }
    // The rig refuses to transmit (out of band, or the transmitter switched off).
    void setTransmitInhibit(bool inhibit);
    // The FT-817 can be switched off by CAT; switched off it hears nothing but "switch on".
    void setPowered(bool powered) { powered_ = powered; }
    bool powered() const { return powered_; }
    bool transmitting() const;
    // Pause in ms between the bytes of the FT-757GXII's replies, set by its delay frame.
    int replyPacingMs() const { return model_ == Model::Ft757GXII ? pacingMs_ : 0; }

    // --- the CAT port ---
    // Takes bytes from the line; returns the reply to every frame they complete (usually none
    // or one).
    QByteArray receive(const QByteArray& bytes);
    // The RS-232 control lines as the computer sets them (the FT-757GXII transmits on DTR,
    // with RTS powering its interface).
    void setLines(bool rts, bool dtr);
    // Every complete frame received, in order.
    const std::vector<Frame>& framesReceived() const { return frames_; }

private:
    QByteArray answer(const Frame& frame);
    QByteArray answerFt817(const Frame& frame);
    QByteArray answerFt847(const Frame& frame);
    QByteArray answerFt840(const Frame& frame);
    QByteArray answerFt757(const Frame& frame);
    QByteArray bcdFrequency() const;
    QByteArray binaryFrequency() const;
    // Sets the frequency from four BCD bytes (high first or low first); ignores bad digits.
    void setFromBcd(const Frame& frame, bool lowFirst);
    // PTT by CAT; the one-byte answer of the FT-817: 0x00 done, 0xF0 already so or refused.
    std::uint8_t keyTransmitter(bool on);

    Model model_;
    std::int64_t units10Hz_ = 705000;
    std::uint8_t modeCode_ = 1;
    int sMeter_ = 5;
    bool locked_ = false;
    bool highSwr_ = false;
    bool transmitInhibit_ = false;
    bool powered_ = true;
    bool pttByCat_ = false;
    bool rts_ = false;
    bool dtr_ = false;
    int pacingMs_ = 0;
    QByteArray partial_;
    std::vector<Frame> frames_;
};

} // namespace rig
