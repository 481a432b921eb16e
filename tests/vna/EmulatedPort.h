#pragma once

#include "NanoVnaEmulator.h"
#include "platform/Platform.h"
#include "vna/VnaPort.h"

#include <deque>

namespace vna_test {

// The VNA's port wired to an emulated device on the platform's clock: what the device sends
// becomes readable when its time has come. Controls for tests: a missing device, unplugging.
class EmulatedPort final : public vna::VnaPort {
public:
    EmulatedPort(platform::Platform& clock, EmulatedDevice& device) : clock_(clock), device_(device) {}

    QString open(const QString& device) override {
        if (missing)
            return device + QStringLiteral(": No such file or directory");
        open_ = true;
        name_ = device;
        schedule({{0, device_.greeting()}});
        return {};
    }
    void close() override {
        open_ = false;
        incoming_.clear();
    }
    bool isOpen() const override { return open_; }
    QString device() const override { return name_; }
    bool write(const QByteArray& bytes) override {
        if (!present())
            return false;
        written += bytes;
        schedule(device_.receive(bytes));
        return true;
    }
    QByteArray read() override {
        QByteArray bytes;
        while (present() && !incoming_.empty() && incoming_.front().delayMs <= clock_.steadyMs()) {
            bytes += incoming_.front().bytes;
            incoming_.pop_front();
        }
        return bytes;
    }
    bool present() const override { return open_ && !unplugged; }

    bool missing = false;
    bool unplugged = false;
    QByteArray written;

private:
    // Bursts at absolute times (delayMs holds the time they are due).
    void schedule(const std::vector<Burst>& bursts) {
        double at = std::max(clock_.steadyMs(), incoming_.empty() ? 0.0 : incoming_.back().delayMs);
        for (const Burst& burst : bursts) {
            at += burst.delayMs;
            if (!burst.bytes.isEmpty())
                incoming_.push_back({at, burst.bytes});
        }
    }

    platform::Platform& clock_;
    EmulatedDevice& device_;
    std::deque<Burst> incoming_;
    bool open_ = false;
    QString name_;
};

} // namespace vna_test
