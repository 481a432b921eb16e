#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

namespace rig_test {

// A transceiver with a frame-at-a-time `QByteArray answer(const QByteArray&)` on the master side
// of a pseudo-terminal. Bytes are gathered until the frame's last byte (';' on Kenwood-style
// ASCII, FD on CI-V) and the frame answered; with echo every byte is given back first, as the
// one-wire CI-V bus does.
template <typename Transceiver> class PtyPeer {
public:
    PtyPeer(char frameEnd, bool echo) : frameEnd_(frameEnd), echo_(echo) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        slavePath = QString::fromLocal8Bit(::ptsname(master_));
        slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY); // no hang-up between openings
        server_ = std::thread([this] { serve(); });
    }
    ~PtyPeer() {
        stopping_ = true;
        if (server_.joinable())
            server_.join();
        ::close(slave_);
        ::close(master_);
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    template <typename Fn> auto panel(Fn fn) {
        const std::lock_guard lock(mutex_);
        return fn(rig_);
    }

    // What the rig sends unasked.
    void send(const QByteArray& bytes) {
        const std::lock_guard lock(mutex_);
        put(bytes);
    }

    // Every frame heard, in order.
    QList<QByteArray> framesHeard() {
        const std::lock_guard lock(mutex_);
        return heard_;
    }

    QString slavePath;

private:
    void serve() {
        QByteArray pending;
        while (!stopping_) {
            pollfd request{master_, POLLIN, 0};
            if (::poll(&request, 1, 5) <= 0)
                continue;
            char buffer[256];
            const ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count <= 0)
                continue;
            const std::lock_guard lock(mutex_);
            if (echo_)
                put(QByteArray(buffer, count));
            pending += QByteArray(buffer, count);
            for (qsizetype end; (end = pending.indexOf(frameEnd_)) >= 0;) {
                heard_ += pending.left(end + 1);
                put(rig_.answer(heard_.last()));
                pending.remove(0, end + 1);
            }
        }
    }
    void put(const QByteArray& bytes) {
        if (!bytes.isEmpty() && ::write(master_, bytes.constData(), bytes.size()) < 0)
            return;
    }

    const char frameEnd_;
    const bool echo_;
    std::mutex mutex_;
    Transceiver rig_;
    QList<QByteArray> heard_;
    int master_ = -1;
    int slave_ = -1;
    std::thread server_;
    std::atomic<bool> stopping_{false};
};

} // namespace rig_test
