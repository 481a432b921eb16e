#include "rig/RigEmulator.h"

#include <algorithm>
#include <cmath>

namespace rig {

namespace {

char Byte(int value) {
    return static_cast<char>(static_cast<std::uint8_t>(value));
}

// Two decimal digits as one packed BCD byte, and back (-1 for a nibble above 9).
char Bcd(int twoDigits) {
    return Byte((twoDigits / 10) << 4 | twoDigits % 10);
}
int FromBcd(std::uint8_t byte) {
    return (byte >> 4) > 9 || (byte & 0x0F) > 9 ? -1 : (byte >> 4) * 10 + (byte & 0x0F);
}

} // namespace

RigEmulator::RigEmulator(Model model) : model_(model) {}

void RigEmulator::setModel(Model model) {
    model_ = model;
    setFrequency(frequency());
}

void RigEmulator::setFrequency(double kHz) {
    const std::vector<Band>& bands = Caps(model_).bands;
    if (!bands.empty())
        kHz = std::clamp(kHz, bands.front().lowKHz, bands.back().highKHz);
    units10Hz_ = std::llround(std::max(kHz, 0.0) * 100);
}

void RigEmulator::turnDial(double deltaKHz) {
    if (!locked_)
        setFrequency(frequency() + deltaKHz);
}

bool RigEmulator::transmitting() const {
    if (transmitInhibit_)
        return false;
    if (panelPtt_)
        return true;
    return model_ == Model::Ft757GXII ? rts_ && dtr_ : catPtt_;
}

void RigEmulator::setLines(bool rts, bool dtr) {
    rts_ = rts;
    dtr_ = dtr;
}

QByteArray RigEmulator::receive(const QByteArray& bytes) {
    QByteArray replies;
    for (const char byte : bytes) {
        partial_.append(byte);
        if (partial_.size() < 5)
            continue;
        frames_.push_back(partial_);
        Frame f{};
        std::copy_n(reinterpret_cast<const std::uint8_t*>(partial_.constData()), 5, f.begin());
        partial_.clear();
        replies += answer(f);
    }
    return replies;
}

QByteArray RigEmulator::answer(const Frame& f) {
    switch (model_) {
    case Model::Ft757GXII:
        return answerFt757(f);
    case Model::Ft840:
        return answerFt840(f);
    case Model::Ft847:
        return answerFt847(f);
    default:
        return answerFt817Family(f);
    }
}

// FT-817 (the FT-857 and FT-897 speak the same): P1 carries the mode, lock and PTT are answered
// with one byte, the status requests with one byte each.
QByteArray RigEmulator::answerFt817Family(const Frame& f) {
    if (!powered_) {
        powered_ = f[4] == 0x0F;
        return {};
    }
    switch (f[4]) {
    case 0x00: // lock on
    case 0x80: {
        const bool lock = f[4] == 0x00;
        const bool was = locked_;
        locked_ = lock;
        return QByteArray(1, Byte(was == lock ? 0xF0 : 0x00));
    }
    case 0x01:
        tuneToBcd(f, false);
        return {};
    case 0x03:
        return bcdFrequency() + Byte(modeCode_);
    case 0x07:
        modeCode_ = f[0];
        return {};
    case 0x08:
        return QByteArray(1, keyByCat(true));
    case 0x88:
        return QByteArray(1, keyByCat(false));
    case 0xE7: // receive status: S-meter in bits 0..3
        return QByteArray(1, Byte(sMeter_));
    case 0xF7: // transmit status: bit 7 set while not transmitting, bit 6 high SWR, 0..3 power
        return QByteArray(1,
                          transmitting() ? Byte((highSwr_ ? 0x40 : 0) | 0x20 | 0x08) : Byte(0xFF));
    case 0x8F:
        powered_ = false;
        catPtt_ = false;
        return {};
    case 0xBB: // memory read, left out of the manuals but answered and used by controllers:
               // the bytes at P1 P2 and the next address; here a fresh memory (VFO A, no split)
        return QByteArray(2, Byte(0x00));
    default:
        return {};
    }
}

// FT-847: 00 and 80 switch CAT on and off, and nothing else is obeyed while it is off; no
// acknowledgements, one byte for each status request.
QByteArray RigEmulator::answerFt847(const Frame& f) {
    if (f[4] == 0x00 || f[4] == 0x80) {
        catOn_ = f[4] == 0x00;
        return {};
    }
    if (!catOn_)
        return {};
    switch (f[4]) {
    case 0x01:
        tuneToBcd(f, false);
        return {};
    case 0x03:
        return bcdFrequency() + Byte(modeCode_);
    case 0x07:
        modeCode_ = f[0];
        return {};
    case 0x08:
    case 0x88:
        (void)keyByCat(f[4] == 0x08);
        return {};
    case 0xE7:
        return QByteArray(1, Byte(sMeter_));
    case 0xF7:
        return QByteArray(1, transmitting() ? Byte((highSwr_ ? 0x40 : 0) | 0x08) : Byte(0xFF));
    default:
        return {};
    }
}

// FT-840: the parameter in P4, no acknowledgements; a 19-byte block with the frequency in bytes
// 3..5, five-byte flags and meter replies.
QByteArray RigEmulator::answerFt840(const Frame& f) {
    switch (f[4]) {
    case 0x04:
        locked_ = f[3] != 0;
        return {};
    case 0x0A:
        tuneToBcd(f, true);
        return {};
    case 0x0C:
        modeCode_ = f[3];
        return {};
    case 0x0F:
        (void)keyByCat(f[3] != 0);
        return {};
    case 0x10: {
        QByteArray block(19, '\0');
        block.replace(2, 3, binaryFrequency());
        block[6] = Byte(modeCode_);
        return block;
    }
    case 0xF7:
        return QByteArray(4, Byte(sMeter_)) + Byte(0xF7);
    case 0xFA: {
        QByteArray flags(5, '\0');
        flags[0] = Byte(locked_ ? 0x01 : 0x00);
        flags[1] = Byte((transmitting() ? 0x01 : 0) | (transmitting() && highSwr_ ? 0x40 : 0));
        flags[2] = Byte(transmitting() ? 0x80 : 0);
        return flags;
    }
    default:
        return {};
    }
}

// FT-757GXII: the parameter in P4, no acknowledgements; status update 10 gives the 75-byte
// block (flags in byte 1, frequency in bytes 7..9) or, with P4 = 1, the meter byte; 0E sets the
// pause between reply bytes.
QByteArray RigEmulator::answerFt757(const Frame& f) {
    switch (f[4]) {
    case 0x04:
        locked_ = f[3] != 0;
        return {};
    case 0x0A:
        tuneToBcd(f, true);
        return {};
    case 0x0C:
        modeCode_ = f[3];
        return {};
    case 0x0E:
        pacingMs_ = f[3];
        return {};
    case 0x10: {
        if (f[3] == 0x01)
            return QByteArray(1, Byte(sMeter_));
        QByteArray block(75, '\0');
        block[0] = Byte(locked_ ? 0x01 : 0x00);
        block.replace(6, 3, binaryFrequency());
        block[9] = Byte(modeCode_);
        return block;
    }
    default:
        return {};
    }
}

QByteArray RigEmulator::bcdFrequency() const {
    const std::int64_t u = units10Hz_;
    return QByteArray() + Bcd(int(u / 1000000 % 100)) + Bcd(int(u / 10000 % 100)) +
           Bcd(int(u / 100 % 100)) + Bcd(int(u % 100));
}

QByteArray RigEmulator::binaryFrequency() const {
    const std::int64_t u = units10Hz_;
    return QByteArray() + Byte(int(u >> 16 & 0xFF)) + Byte(int(u >> 8 & 0xFF)) +
           Byte(int(u & 0xFF));
}

void RigEmulator::tuneToBcd(const Frame& f, bool lowFirst) {
    std::int64_t units = 0;
    for (int i = 0; i < 4; ++i) {
        const int pair = FromBcd(f[lowFirst ? 3 - i : i]);
        if (pair < 0)
            return;
        units = units * 100 + pair;
    }
    if (Caps(model_).withinDialRange(units / 100.0))
        units10Hz_ = units;
}

char RigEmulator::keyByCat(bool on) {
    if (on && transmitInhibit_)
        return Byte(0xF0);
    const bool was = catPtt_;
    catPtt_ = on;
    return Byte(was == on ? 0xF0 : 0x00);
}

} // namespace rig
