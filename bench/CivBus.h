#pragma once

#include "rig/CivTransceiver.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace bench {

// An IC-7300 with CI-V transceive on, on the master side of a pseudo-terminal; the program opens
// the slave device as its serial port. The rig answers from its dial (the tests' emulated
// transceiver) on a thread of its own. The bus is one wire at the rig's baud rate: every byte on
// it takes its time there, one after another, and comes back to its sender, so a reply arrives
// when its last byte would have.
class CivBus {
public:
    CivBus(int baud, std::int64_t dialHz);
    ~CivBus();
    CivBus(const CivBus&) = delete;
    CivBus& operator=(const CivBus&) = delete;

    // Empty when no pseudo-terminal could be had.
    const QString& slavePath() const { return slavePath_; }

    // At atMs on the monotonic clock (MonotonicMs) the dial goes to hz and the rig announces it at
    // once (command 00 to every station); replaces a change not yet made.
    void turnDialAt(double atMs, std::int64_t hz);
    // The most a change has been made after its moment, in ms: a lateness the latencies include.
    double worstLateMs() const;
    // The rig keyed or released by its own PTT, at once.
    void setTransmitting(bool on);

private:
    void serve();
    // The change due by now, if any, made.
    void turnDialIfDue();
    // Puts bytes on the wire after what is on it already; returns when the last has gone.
    void transmit(const QByteArray& bytes);

    const double byteMs_; // a start bit, eight data bits, a stop bit
    double wireFreeAtMs_ = 0;
    QByteArray received_; // from the program, not yet a whole frame

    mutable std::mutex mutex_; // the rig's panel and the change to come
    rig_test::CivTransceiver rig_;
    std::optional<std::pair<double, std::int64_t>> dueChange_;
    double worstLateMs_ = 0;

    QString slavePath_;
    int master_ = -1;
    int slave_ = -1;
    std::thread server_;
    std::atomic<bool> stopping_{false};
};

} // namespace bench
