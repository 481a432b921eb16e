#pragma once

// NanoVNA devices for tests, written from the firmwares' published descriptions (the shell's
// commands and prompt; the V2's command parser, register map and FIFO records), apart from the
// program's codecs: a codec that misreads the devices disagrees with these.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <complex>
#include <functional>
#include <set>
#include <vector>

namespace vna_test {

// What the device's port 1 sees: S11 at a frequency.
using Antenna = std::function<std::complex<double>(double hz)>;

// A burst of bytes the device sends delayMs after the bytes it answers (measured from the
// previous burst).
struct Burst {
    double delayMs = 0;
    QByteArray bytes;
};

// A device on the other end of a serial line: bytes in, bursts out.
class EmulatedDevice {
public:
    virtual ~EmulatedDevice() = default;
    virtual std::vector<Burst> receive(const QByteArray& bytes) = 0;
    // What the device sends when the line is opened (a greeting); nothing by default.
    virtual QByteArray greeting() { return {}; }
};

// The text shell of the NanoVNA family.
struct ShellFirmware {
    QString board;
    QString version;
    int maxPoints = 101;
    bool infoNamesPoints = true; // the -H/-H4 firmwares' "p:401" in their version line
    bool scanBin = true;         // scan_bin (and the binary output mask bit)
    bool outputMask = true;      // scan's fourth argument; the oldest firmwares print nothing
    bool decimalComma = false;
    bool versionCommand = true; // the oldest firmwares have none
    double msPerPoint = 5.4;

    static ShellFirmware H4();       // NanoVNA-H4, current firmware: scan_bin, 401 points
    static ShellFirmware Original(); // NanoVNA, 0.4.x: text scan with mask, 101 points
    static ShellFirmware Oldest();   // NanoVNA, 0.2.x: scan prints nothing
};

class ShellEmulator final : public EmulatedDevice {
public:
    ShellEmulator(ShellFirmware firmware, Antenna antenna);

    std::vector<Burst> receive(const QByteArray& bytes) override;
    QByteArray greeting() override { return "\r\nNanoVNA Shell\r\nch> "; }

    // Faults: points printed as the firmware's sentinel for a value it cannot print, garbled
    // scans, a device that says nothing at all.
    std::set<int> failedPoints;
    int garbledScans = 0; // scans whose output is garbled, from the next on
    bool silent = false;

    QStringList commandsHeard;
    bool paused = false;
    QString ownSweep = QStringLiteral("50000 900000000 201"); // the device's range and points

private:
    std::vector<Burst> execute(const QString& line);
    QString number(double value) const;

    ShellFirmware firmware_;
    Antenna antenna_;
    QByteArray line_;
    std::vector<double> lastFrequencies_;
    std::vector<std::complex<double>> lastData_;
};

// The NanoVNA V2's binary protocol.
class V2Emulator final : public EmulatedDevice {
public:
    explicit V2Emulator(Antenna antenna, bool checksums = true);

    std::vector<Burst> receive(const QByteArray& bytes) override;

    // Faults and state for tests: the FIFO's first record after a clear may come from the
    // middle of the sweep; one record's bytes garbled.
    int firstIndexAfterClear = 0;
    bool garbleNextRead = false;
    bool silent = false;
    bool usbDataMode = false;
    double msPerPoint = 10;

private:
    std::vector<Burst> command(quint8 opcode, const QByteArray& arguments);
    QByteArray record(int index) const;
    quint64 registerValue(int address, int size) const;

    Antenna antenna_;
    bool checksums_;
    QByteArray pending_;
    quint8 registers_[256] = {};
    int nextIndex_ = 0;
};

} // namespace vna_test
