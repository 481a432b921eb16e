#pragma once

#include "NanoVnaEmulator.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace vna_test {

// An emulated VNA on the master side of a pseudo-terminal, in real time: the program opens
// slavePath with its own serial port. unplug() closes the line as a USB device that is pulled
// out does.
class PtyDevice {
public:
    explicit PtyDevice(EmulatedDevice& device) : device_(device) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        slavePath = QString::fromLocal8Bit(::ptsname(master_));
        keeper_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY); // no hang-up between openings
        // Raw from the start: the serial port puts back what it found when it closes, and a
        // line that echoes would hand the device its own output.
        termios settings{};
        if (keeper_ >= 0 && ::tcgetattr(keeper_, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(keeper_, TCSANOW, &settings);
        }
        server_ = std::thread([this] { serve(); });
    }
    ~PtyDevice() {
        stopping_ = true;
        if (server_.joinable())
            server_.join();
        unplug();
    }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    void unplug() {
        const std::lock_guard lock(mutex_);
        if (keeper_ >= 0)
            ::close(keeper_);
        if (master_ >= 0)
            ::close(master_);
        keeper_ = master_ = -1;
    }
    // Runs fn on the device with the line's thread held off.
    template <typename Fn> void with(Fn fn) {
        const std::lock_guard lock(mutex_);
        fn();
    }

    QString slavePath;

private:
    void serve() {
        while (!stopping_) {
            int master;
            {
                const std::lock_guard lock(mutex_);
                master = master_;
            }
            if (master < 0)
                return;
            pollfd request{master, POLLIN, 0};
            if (::poll(&request, 1, 5) <= 0 || !(request.revents & POLLIN))
                continue;
            char buffer[256];
            const ssize_t count = ::read(master, buffer, sizeof buffer);
            if (count <= 0)
                continue;
            std::vector<Burst> bursts;
            {
                const std::lock_guard lock(mutex_);
                bursts = device_.receive(QByteArray(buffer, int(count)));
            }
            for (const Burst& burst : bursts) {
                std::this_thread::sleep_for(std::chrono::microseconds(long(burst.delayMs * 1000)));
                const std::lock_guard lock(mutex_);
                if (master_ < 0 || (!burst.bytes.isEmpty() &&
                                    ::write(master_, burst.bytes.constData(), size_t(burst.bytes.size())) < 0))
                    return;
            }
        }
    }

    EmulatedDevice& device_;
    std::mutex mutex_;
    int master_ = -1;
    int keeper_ = -1;
    std::thread server_;
    std::atomic<bool> stopping_{false};
};

} // namespace vna_test
