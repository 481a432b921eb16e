#include "CivBus.h"

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace bench {

namespace {

constexpr char EndOfFrame = char(0xFD);
// The longest the bus's thread sleeps before it looks for a change of the dial to come: a change
// set for sooner is made up to this late.
constexpr double LookEveryMs = 1;

timespec Timespec(double ms) {
    const auto ns = static_cast<long long>(std::max(0.0, ms) * 1.0e6);
    return {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

} // namespace

CivBus::CivBus(int baud, std::int64_t dialHz) : byteMs_(10000.0 / baud) {
    rig_.dialHz = dialHz;
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return;
    // Held open so that the master never sees a hang-up between the program's openings; raw
    // from the start, so the line never echoes what the rig sends before the program opens it.
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    termios raw{};
    if (slave_ < 0 || ::tcgetattr(slave_, &raw) != 0)
        return;
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
    server_ = std::thread([this] { serve(); });
}

CivBus::~CivBus() {
    stopping_ = true;
    if (server_.joinable())
        server_.join();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

void CivBus::turnDialAt(double atMs, std::int64_t hz) {
    const std::lock_guard lock(mutex_);
    dueChange_ = {atMs, hz};
}

double CivBus::worstLateMs() const {
    const std::lock_guard lock(mutex_);
    return worstLateMs_;
}

void CivBus::setTransmitting(bool on) {
    const std::lock_guard lock(mutex_);
    rig_.transmitting = on;
}

void CivBus::serve() {
    while (!stopping_) {
        turnDialIfDue();
        double sleepMs = LookEveryMs;
        {
            const std::lock_guard lock(mutex_);
            if (dueChange_)
                sleepMs = std::clamp(dueChange_->first - MonotonicMs(), 0.0, LookEveryMs);
        }
        pollfd request{master_, POLLIN, 0};
        const timespec timeout = Timespec(sleepMs);
        if (::ppoll(&request, 1, &timeout, nullptr) <= 0)
            continue;
        char buffer[256];
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count <= 0)
            continue;
        const QByteArray bytes(buffer, count);
        transmit(bytes); // the program's frame on the wire, and back to the program
        received_ += bytes;
        for (qsizetype end; (end = received_.indexOf(EndOfFrame)) >= 0;) {
            turnDialIfDue(); // a change made meanwhile is in the reply
            QByteArray reply;
            {
                const std::lock_guard lock(mutex_);
                reply = rig_.answer(received_.left(end + 1));
            }
            received_.remove(0, end + 1);
            transmit(reply);
        }
    }
}

void CivBus::turnDialIfDue() {
    std::int64_t hz = 0;
    {
        const std::lock_guard lock(mutex_);
        const double nowMs = MonotonicMs();
        if (!dueChange_ || dueChange_->first > nowMs)
            return;
        hz = dueChange_->second;
        rig_.dialHz = hz;
        worstLateMs_ = std::max(worstLateMs_, nowMs - dueChange_->first);
        dueChange_.reset();
    }
    // Transceive: the rig (94) tells every station (00) its new frequency (00).
    transmit(QByteArray::fromHex("fefe009400") + rig_test::CivTransceiver::Frequency(hz) +
             EndOfFrame);
}

void CivBus::transmit(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    wireFreeAtMs_ = std::max(MonotonicMs(), wireFreeAtMs_) + double(bytes.size()) * byteMs_;
    for (double restMs; (restMs = wireFreeAtMs_ - MonotonicMs()) > 0;)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(restMs));
    if (::write(master_, bytes.constData(), size_t(bytes.size())) < 0)
        return; // lost: the benchmark sees a change without a turn
}

} // namespace bench
