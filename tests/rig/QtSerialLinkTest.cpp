// The real serial stack against a transceiver emulator on the other side of a pseudo-terminal.
#include "rig/QtSerialLink.h"

#include "platform/QtPlatform.h"
#include "rig/CatControl.h"
#include "rig/RigEmulator.h"
#include "support/FakePlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

using namespace rig;

namespace {

// A transceiver on the master side of a pseudo-terminal; the program opens the slave device as
// its serial port. The emulator answers on its own thread, as a rig would, and is read by the
// test only after stop().
class PtyRig {
public:
    explicit PtyRig(Model model) : emulator(model) {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0)
            slavePath = QString::fromLocal8Bit(name);
    }
    ~PtyRig() {
        stop();
        ::close(master_);
        ::close(slave_);
    }
    void start(bool answering = true) {
        answering_ = answering;
        server_ = std::thread([this] { serve(); });
    }
    void stop() {
        stopping_ = true;
        if (server_.joinable())
            server_.join();
    }

    QString slavePath;
    RigEmulator emulator;

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
            const QByteArray reply = emulator.receive(QByteArray(buffer, count));
            if (answering_ && !reply.isEmpty() && ::write(master_, reply.data(), reply.size()) < 0)
                return;
        }
    }

    int master_ = -1;
    int slave_ = -1; // kept open so the master never sees a hang-up
    std::thread server_;
    std::atomic<bool> stopping_{false};
    bool answering_ = true;
};

class QtSerialLinkTest : public ::testing::Test {
protected:
    // COM2 is the pseudo-terminal's slave device.
    void mapCom2(const QString& device) {
        QFile ini(dir.filePath("Ventrolo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[serial]\nCOM2=" + device.toLocal8Bit() + "\n");
    }

    QTemporaryDir dir;
    core::ProgramState state;
    QtSerialLink link{dir.path()};
};

} // namespace

TEST_F(QtSerialLinkTest, pseudoTerminal_readsAndSetsTheFrequencyOverTheRealSerialStack) {
    PtyRig rig(Model::Ft840);
    ASSERT_FALSE(rig.slavePath.isEmpty());
    rig.emulator.setFrequency(8553.09); // reply bytes 0D 0D 0D: the line must be raw
    rig.start();
    mapCom2(rig.slavePath);
    state.RigModel = static_cast<core::Integer>(Model::Ft840);
    state.BaudRate = 4800;
    platform::QtPlatform platform;
    CatLog log(state, platform, dir.path());
    log.setTerminalShown(true);
    CatControl cat(state, platform, log, link);

    ASSERT_TRUE(cat.OpenPort(2));
    EXPECT_EQ(link.description(), rig.slavePath);
    // A pseudo-terminal has no modem lines: said once, and the link goes on.
    EXPECT_EQ(log.TerminalBuffer().count("has no RTS/DTR lines"), 1);

    EXPECT_EQ(cat.ReadRigFrequency(), 8553.0f);
    EXPECT_EQ(cat.frequencyText(), "8553.09 kHz");
    EXPECT_EQ(cat.SMeterValue(), 5.0f);
    EXPECT_TRUE(cat.SetRigFrequency(7050)); // the frame ends in 0A: no line-end translation
    cat.RigLock(true);
    EXPECT_EQ(cat.ReadRigFrequency(), 7050.0f);
    EXPECT_TRUE(cat.lockChecked());
    cat.ClosePort();
    EXPECT_FALSE(link.isOpen());
    rig.stop();
    EXPECT_DOUBLE_EQ(rig.emulator.frequency(), 7050);
}

TEST_F(QtSerialLinkTest, silentRigOnAPseudoTerminal_givesNoReplyWithinTheBound) {
    PtyRig rig(Model::Ft817);
    ASSERT_FALSE(rig.slavePath.isEmpty());
    rig.start(false);
    mapCom2(rig.slavePath);
    state.RigModel = static_cast<core::Integer>(Model::Ft817);
    state.BaudRate = 38400;
    platform::QtPlatform platform;
    CatLog log(state, platform, dir.path());
    CatControl cat(state, platform, log, link);
    ASSERT_TRUE(cat.OpenPort(2));
    EXPECT_EQ(cat.ReadRigFrequency(), 0.0f);
    EXPECT_EQ(cat.frequencyText(), "-----.- kHz");
    rig.stop();
    EXPECT_EQ(rig.emulator.framesReceived().size(), 2u); // frequency and status asked once each
}

TEST_F(QtSerialLinkTest, missingDevice_comPortOpenMessageWithTheSystemsReason) {
    mapCom2(dir.filePath("no-such-tty"));
    testing_support::FakePlatform platform;
    CatLog log(state, platform, dir.path());
    CatControl cat(state, platform, log, link);
    EXPECT_FALSE(cat.OpenPort(2));
    EXPECT_FALSE(link.isOpen());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("Function ComPortOpen\r\n" +
                                                     dir.filePath("no-such-tty") + ": "));
    EXPECT_FALSE(cat.OpenPort(7));
    EXPECT_TRUE(platform.messages[1].text.contains("COM7"));
}

TEST(OpenErrorText, permissionErrorTellsHowToGetAccess) {
    EXPECT_EQ(OpenErrorText("/dev/ttyUSB0", "No such file or directory", false),
              "/dev/ttyUSB0: No such file or directory");
    EXPECT_TRUE(OpenErrorText("/dev/ttyUSB0", "Permission denied", true).contains("dialout"));
}
