#pragma once

#include "platform/LptPort.h"
#include "port/GpioCalls.h"
#include "port/GpioPinMap.h"

#include <atomic>
#include <functional>
#include <memory>

namespace port {

// The parallel port on GPIO lines (a Raspberry Pi's header), as [gpio] of Ventrolo.ini maps
// them: the data register drives the D lines, the status register reads the S lines. The
// header is the machine's one port, so it answers at each standard address (888, 956, 632 and
// their status registers); other addresses read 0 and ignore writes.
//
// The status register reads as a PC port's would for the same pin levels: a high pin gives a
// 1 bit, except pin 11 (S7, Busy), which the PC's hardware inverts; a bit no line carries
// reads as an open input (S3..S6 1, S7 0), so an unwired header reads 120, as an unconnected
// PC port does. Bits 0..2 read 0. The data register reads back what was last written.
class GpioLpt final : public platform::LptPort {
public:
    struct OpenResult {
        std::unique_ptr<GpioLpt> port; // null when the lines could not be had
        QString failure;               // then why, and what to do, for the user
    };
    // Requests the lines of map (outputs low); a map with a problem is not opened.
    static OpenResult open(const GpioPinMap& map, GpioCalls& calls = SystemGpioCalls());
    ~GpioLpt() override;

    void Out32(std::uint16_t address, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t address) override;
    // "GPIO gpiochip0".
    QString backendName() const override;

    // Told once, with a text for the user, when the lines stop working; they are then given
    // back and no longer driven.
    std::function<void(const QString&)> onDeviceFailure;
    bool driven() const override { return !failed_.load(); }
    // False for a D line set to none.
    bool drivesDataBit(int bit) const override {
        return bit >= 0 && bit < 8 && map_.data[static_cast<std::size_t>(bit)] != GpioNotConnected;
    }

private:
    GpioLpt(const GpioPinMap& map, std::unique_ptr<GpioLines> lines);
    void failed(const char* what);

    GpioPinMap map_;
    std::unique_ptr<GpioLines> lines_; // null after a failure
    std::uint8_t data_ = 0;
    std::atomic<bool> failed_{false};
};

// The text for the user when the chip or its lines cannot be used: what failed, the system's
// reason and what to do about it.
QString GpioFailureText(const GpioFailure& failure, const QString& chip);

} // namespace port
