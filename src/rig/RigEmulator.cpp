#include "rig/RigEmulator.h"

#include <algorithm>
#include <cmath>

namespace rig {

namespace {

struct Range {
    std::int64_t low;  // 10 Hz
    std::int64_t high; // 10 Hz
};

// What the rig can be tuned to.
Range TuningRange(Model model) {
    switch (model) {
    case Model::Ft757GXII:
        return {15000, 3000000};
    case Model::Ft840:
        return {10000, 3000000};
    case Model::Ft847:
        return {10000, 51200000};
    default:
        return {10000, 47000000};
    }
}

char Byte(int value) {
    return static_cast<char>(static_cast<std::uint8_t>(value));
}

} // namespace

RigEmulator::RigEmulator(Model model) : model_(model) {}

void RigEmulator::setModel(Model model) {
    model_ = model;
    setFrequency(frequency());
}

void RigEmulator::setFrequency(double kHz) {
    const Range range = TuningRange(model_);
    units10Hz_ = std::clamp(std::llround(kHz * 100.0), static_cast<long long>(range.low),
                            static_cast<long long>(range.high));
}

void RigEmulator::setTransmitInhibit(bool inhibit) {
    transmitInhibit_ = inhibit;
    if (inhibit)
        pttByCat_ = false;
}

bool RigEmulator::transmitting() const {
    if (transmitInhibit_)
        return false;
    if (model_ == Model::Ft757GXII)
        return rts_ && dtr_;
    return pttByCat_;
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
        Frame frame{};
        std::copy_n(reinterpret_cast<const std::uint8_t*>(partial_.constData()), 5, frame.begin());
        partial_.clear();
        frames_.push_back(frame);
        replies += answer(frame);
    }
    return replies;
}

QByteArray RigEmulator::answer(const Frame& frame) {
    switch (model_) {
    case Model::Ft757GXII:
        return answerFt757(frame);
    case Model::Ft817:
        return answerFt817(frame);
    case Model::Ft840:
        return answerFt840(frame);
    case Model::Ft847:
        return answerFt847(frame);
    default:
        return {}; // a model whose CAT port this emulator does not speak
    }
}

QByteArray RigEmulator::answerFt817(const Frame& frame) {
    if (!powered_) {
        if (frame[4] == 0x0F)
            powered_ = true;
        return {};
    }
    switch (frame[4]) {
    case 0x01:
        setFromBcd(frame, false);
        return {};
    case 0x03:
        return bcdFrequency() + Byte(modeCode_);
    case 0x07:
        modeCode_ = frame[0];
        return {};
    case 0xE7:
        return QByteArray(1, Byte(sMeter_));
    case 0xF7: {
        const bool on = transmitting();
        return QByteArray(1, Byte((on ? 0 : 0x80) | (on && highSwr_ ? 0x40 : 0) | (on ? 8 : 0)));
    }
    case 0x08:
        return QByteArray(1, Byte(keyTransmitter(true)));
    case 0x88:
        return QByteArray(1, Byte(keyTransmitter(false)));
    case 0x00:
    case 0x80: {
        const bool lock = frame[4] == 0x00;
        const bool changed = locked_ != lock;
        locked_ = lock;
        return QByteArray(1, Byte(changed ? 0x00 : 0xF0));
    }
    case 0x8F:
        powered_ = false;
        return {};
    default:
        return {};
    }
}

QByteArray RigEmulator::answerFt847(const Frame& frame) {
    switch (frame[4]) {
    case 0x01:
        setFromBcd(frame, false);
        return {};
    case 0x03:
        return bcdFrequency() + Byte(modeCode_);
    case 0x07:
        modeCode_ = frame[0];
        return {};
    case 0xE7:
        return QByteArray(1, Byte(sMeter_)) + QByteArray(4, '\0');
    case 0x7F: {
        const bool on = transmitting();
        const int status = (on ? 0 : 0x80) | (on && highSwr_ ? 0x40 : 0) | (on ? 8 : 0);
        return QByteArray(1, Byte(status)) + QByteArray(4, '\0');
    }
    case 0x08:
        keyTransmitter(true);
        return {};
    case 0x88:
        keyTransmitter(false);
        return {};
    case 0x00:
        locked_ = true;
        return {};
    case 0x80:
        locked_ = false;
        return {};
    default:
        return {};
    }
}

QByteArray RigEmulator::answerFt840(const Frame& frame) {
    switch (frame[4]) {
    case 0x0A:
        setFromBcd(frame, true);
        return {};
    case 0x10: {
        QByteArray block(19, '\0');
        block.replace(2, 3, binaryFrequency());
        block[6] = Byte(modeCode_);
        return block;
    }
    case 0xFA: {
        const bool on = transmitting();
        QByteArray status(5, '\0');
        status[0] = Byte(locked_ ? 0x01 : 0);
        status[1] = Byte((on ? 0x01 : 0) | (on && highSwr_ ? 0x40 : 0));
        return status;
    }
    case 0xF7:
        return QByteArray(4, Byte(sMeter_)) + Byte(0xF7);
    case 0x0C:
        modeCode_ = frame[3];
        return {};
    case 0x0F:
        keyTransmitter(frame[3] == 1);
        return {};
    case 0x04:
        locked_ = frame[3] == 1;
        return {};
    default:
        return {};
    }
}

QByteArray RigEmulator::answerFt757(const Frame& frame) {
    switch (frame[4]) {
    case 0x0A:
        setFromBcd(frame, true);
        return {};
    case 0x10:
        if (frame[3] == 0x01)
            return QByteArray(1, Byte(sMeter_));
        else {
            QByteArray block(75, '\0');
            block[0] = Byte(locked_ ? 0x01 : 0);
            block.replace(6, 3, binaryFrequency());
            block[9] = Byte(modeCode_);
            return block;
        }
    case 0x0C:
        modeCode_ = frame[3];
        return {};
    case 0x04:
        locked_ = frame[3] == 1;
        return {};
    case 0x0E:
        pacingMs_ = frame[3];
        return {};
    default:
        return {};
    }
}

QByteArray RigEmulator::bcdFrequency() const {
    QByteArray bytes(4, '\0');
    std::int64_t units = units10Hz_;
    for (int i = 3; i >= 0; --i) {
        const int pair = static_cast<int>(units % 100);
        units /= 100;
        bytes[i] = Byte((pair / 10) << 4 | pair % 10);
    }
    return bytes;
}

QByteArray RigEmulator::binaryFrequency() const {
    const auto units = static_cast<std::uint32_t>(units10Hz_);
    return QByteArray() + Byte(units >> 16 & 0xFF) + Byte(units >> 8 & 0xFF) + Byte(units & 0xFF);
}

void RigEmulator::setFromBcd(const Frame& frame, bool lowFirst) {
    std::int64_t units = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t byte = frame[lowFirst ? 3 - i : i];
        if ((byte >> 4) > 9 || (byte & 0x0F) > 9)
            return;
        units = units * 100 + (byte >> 4) * 10 + (byte & 0x0F);
    }
    const Range range = TuningRange(model_);
    if (units >= range.low && units <= range.high)
        units10Hz_ = units;
}

std::uint8_t RigEmulator::keyTransmitter(bool on) {
    if (on && transmitInhibit_)
        return 0xF0;
    const bool changed = pttByCat_ != on;
    pttByCat_ = on;
    return changed ? 0x00 : 0xF0;
}

} // namespace rig
