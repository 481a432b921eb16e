#pragma once

#include "rig/RigEmulator.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace rig {

// A transceiver on the master side of a pseudo-terminal; the program opens the slave device as
// its serial port. The emulator answers on its own thread, as a rig would, pacing its reply
// bytes as the rig asks; the test works its panel through panel().
class PtyRig {
public:
    explicit PtyRig(Model model) : emulator_(model) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        slavePath = QString::fromLocal8Bit(::ptsname(master_));
        // Held open so that the master never sees a hang-up between the program's openings.
        slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
        server_ = std::thread([this] { serve(); });
    }
    ~PtyRig() {
        stopping_ = true;
        if (server_.joinable())
            server_.join();
        ::close(slave_);
        ::close(master_);
    }
    template <typename Fn> void panel(Fn fn) {
        const std::lock_guard lock(mutex_);
        fn(emulator_);
    }
    // The next reply (to a frame with this opcode) is these bytes instead.
    void replaceNextReply(const QByteArray& bytes, std::optional<std::uint8_t> opcode = {}) {
        const std::lock_guard lock(mutex_);
        replacement_ = bytes;
        replacementOpcode_ = opcode;
    }

    QString slavePath;
    std::atomic<bool> answering{true};
    std::atomic<bool> echo{false}; // a level converter giving every byte back

private:
    void serve() {
        while (!stopping_) {
            pollfd request{master_, POLLIN, 0};
            if (::poll(&request, 1, 5) <= 0)
                continue;
            char buffer[256];
            const ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count <= 0)
                continue;
            if (echo)
                put(QByteArray(buffer, count), 0);
            QByteArray reply;
            int paceMs = 0;
            {
                const std::lock_guard lock(mutex_);
                reply = emulator_.receive(QByteArray(buffer, count));
                paceMs = emulator_.replyPacingMs();
                if (replacement_ && !reply.isEmpty() &&
                    (!replacementOpcode_ ||
                     std::uint8_t(emulator_.framesReceived().back().at(4)) == *replacementOpcode_))
                    reply = *std::exchange(replacement_, std::nullopt);
            }
            if (answering)
                put(reply, paceMs);
        }
    }
    // Paced on deadlines from the first byte, so late wake-ups do not add up.
    void put(const QByteArray& bytes, int paceMs) {
        auto at = std::chrono::steady_clock::now();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (i > 0 && paceMs > 0)
                std::this_thread::sleep_until(at += std::chrono::milliseconds(paceMs));
            if (::write(master_, bytes.constData() + i, 1) != 1)
                return;
        }
    }

    std::mutex mutex_;
    RigEmulator emulator_;
    std::optional<QByteArray> replacement_;
    std::optional<std::uint8_t> replacementOpcode_;
    int master_ = -1;
    int slave_ = -1;
    std::thread server_;
    std::atomic<bool> stopping_{false};
};

} // namespace rig
