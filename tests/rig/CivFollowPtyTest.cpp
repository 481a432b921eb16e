// Following an IC-7300 end to end: the real serial stack to the transceiver's CI-V bus on a
// pseudo-terminal (every byte echoed, as the one wire does), the real clock, the engine on the
// simulated parallel port.
#include "rig/CivRig.h"
#include "rig/CivTransceiver.h"
#include "rig/FollowingStation.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

using namespace rig;

namespace {

// The transceiver on the master side of a pseudo-terminal, answering frame by frame on its own
// thread; the program opens the slave device as its serial port.
class PtyBus {
public:
    PtyBus() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        slavePath = QString::fromLocal8Bit(::ptsname(master_));
        slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY); // no hang-up between openings
        server_ = std::thread([this] { serve(); });
    }
    ~PtyBus() {
        stopping_ = true;
        if (server_.joinable())
            server_.join();
        ::close(slave_);
        ::close(master_);
    }
    template <typename Fn> auto panel(Fn fn) {
        const std::lock_guard lock(mutex_);
        return fn(rig_);
    }
    // What the rig sends unasked.
    void send(const QByteArray& bytes) {
        const std::lock_guard lock(mutex_);
        put(bytes);
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
            put(QByteArray(buffer, count)); // the bus gives every byte back
            pending += QByteArray(buffer, count);
            for (qsizetype end; (end = pending.indexOf(char(0xFD))) >= 0;) {
                put(rig_.answer(pending.left(end + 1)));
                pending.remove(0, end + 1);
            }
        }
    }
    void put(const QByteArray& bytes) {
        if (!bytes.isEmpty() && ::write(master_, bytes.constData(), bytes.size()) < 0)
            return;
    }

    std::mutex mutex_;
    rig_test::CivTransceiver rig_;
    int master_ = -1;
    int slave_ = -1;
    std::thread server_;
    std::atomic<bool> stopping_{false};
};

bool WaitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 10000);
}

} // namespace

TEST(CivFollowPtyTest, theStepperFollowsTheRigsTransceiveOnASerialPort_andClosingReleasesIt) {
    PtyBus bus;
    ASSERT_FALSE(bus.slavePath.isEmpty());
    QTemporaryDir dir;
    FollowingStation station(
        dir.path(), "[serial]\nCOM2=" + bus.slavePath.toLocal8Bit() + "\n[rig]\nlink=civ\n",
        "7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n", 2);
    CivRig civ{station.platform, station.serial, station.log};
    auto& tuning = station.tuning;
    auto& state = station.state;
    tuning.setCivRig(civ);

    tuning.Load();
    ASSERT_TRUE(tuning.civLink());
    tuning.ComportClicked();
    ASSERT_TRUE(tuning.portOpen());
    // The start-up row goes out at the first reading; the stepper is brought there.
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 100; }));
    EXPECT_EQ(bus.panel([](auto& rig) { return rig.dialHz; }), 7000000);

    // The dial turned to 7.100 MHz and announced: followed well within one poll interval.
    bus.panel([](auto& rig) { rig.dialHz = 7100000; });
    bus.send(QByteArray::fromHex("fefe0094000000100700fd"));
    QElapsedTimer took;
    took.start();
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 150; }));
    EXPECT_LT(took.elapsed(), state.ComPollMs + 500);

    tuning.ComportClicked();
    EXPECT_FALSE(station.serial.isOpen());
    tuning.SelectComPort(2); // the tuning outlives the CI-V link
}
