// The real serial stack against the rig emulator on the other side of a pseudo-terminal.
#include "rig/QtSerialLink.h"

#include "platform/QtPlatform.h"
#include "rig/AwaitReading.h"
#include "rig/CatControl.h"
#include "rig/CatRig.h"
#include "rig/PtyRig.h"
#include "support/FakePlatform.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"
#include "tuning/RigState.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <stdlib.h>
#include <unistd.h>

using namespace rig;

namespace {

class QtSerialLinkTest : public ::testing::Test {
protected:
    void mapCom2(const QString& device) {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                                "[serial]\nCOM2=" + device.toLocal8Bit() + "\n");
    }
    // COM2 is the pseudo-terminal's slave device; the CAT controller works the model on it.
    CatControl& attach(PtyRig& rig, Model model) {
        mapCom2(rig.slavePath);
        state.RigModel = static_cast<core::Integer>(model);
        connection.reset();
        cat.emplace(state, platform, log, link);
        connection.emplace(*cat);
        shown.follow(&*connection);
        return *cat;
    }
    // A reading asked for and given its time on the real clock.
    RigReading read(CatControl& control) {
        return rig_test::AwaitReading(platform, control, &CatControl::ReadRigFrequency);
    }

    QTemporaryDir dir;
    core::ProgramState state;
    platform::QtPlatform platform;
    CatLog log{state, platform, dir.path()};
    QtSerialLink link{dir.path()};
    std::optional<CatControl> cat;
    std::optional<CatRig> connection;
    // What the rig shows, as the link tells it.
    tuning::RigState shown;
};

} // namespace

TEST_F(QtSerialLinkTest, everyModel_readsAndSetsTheDialOverTheRealSerialStack) {
    log.setTerminalShown(true);
    for (const Model model : {Model::Ft757GXII, Model::Ft817, Model::Ft840, Model::Ft847}) {
        SCOPED_TRACE(Caps(model).name.toStdString());
        PtyRig rig(model);
        ASSERT_FALSE(rig.slavePath.isEmpty());
        // 855309 x 10 Hz is 0D 0D 0D in binary: the line must be raw.
        rig.panel([](RigEmulator& e) { e.setFrequency(8553.09); });
        CatControl& control = attach(rig, model);
        ASSERT_TRUE(control.OpenPort(2).ok);
        EXPECT_EQ(read(control).kHz, 8553.0f);
        if (model != Model::Ft817) { // switched off in the program's view: nothing is sent
            // The older rigs' frame ends in 0A: no line-end translation either.
            EXPECT_EQ(control.SetRigFrequency(7050), CatResult::Sent);
            EXPECT_EQ(read(control).kHz, 7050.0f);
        }
        EXPECT_TRUE(control.ClosePort());
    }
    // A pseudo-terminal has no modem lines: said once per opening, and the link goes on.
    EXPECT_EQ(log.TerminalBuffer().count("has no RTS/DTR lines"), 4);
}

TEST_F(QtSerialLinkTest, aPortThatVanishesAndComesBack_isReopenedByItself_andReadAgain) {
    // The port is named by a link that stays while the device behind it comes and goes, as a
    // USB adapter's stable name does.
    const QString port = dir.filePath("ttyRig");
    std::optional<PtyRig> rig(std::in_place, Model::Ft857);
    rig->panel([](RigEmulator& e) { e.setFrequency(7050); });
    CatControl& control = attach(*rig, Model::Ft857);
    ASSERT_TRUE(QFile::link(rig->slavePath, port));
    mapCom2(port);
    ASSERT_TRUE(control.OpenPort(2).ok);
    ASSERT_EQ(read(control).kHz, 7050.0f);

    // Pulled out: the next reading cannot write, finds nothing, and the line waits to be reopened.
    rig.reset();
    ASSERT_TRUE(QFile::remove(port));
    EXPECT_FALSE(read(control).kHz);
    EXPECT_TRUE(control.lineLost());
    EXPECT_TRUE(control.linkKept());
    platform.waitUntil(platform.steadyMs() + 1.5 * SerialExchanges::ReopenMs, true);
    EXPECT_TRUE(control.lineLost()); // still gone: tried again, ever less often

    // Plugged in again, a new device behind the same name: back by itself, and read again.
    rig.emplace(Model::Ft857);
    rig->panel([](RigEmulator& e) { e.setFrequency(14200); });
    ASSERT_TRUE(QFile::link(rig->slavePath, port));
    const double giveUpAt = platform.steadyMs() + 2 * SerialExchanges::LongestReopenMs;
    while (control.lineLost() && platform.steadyMs() < giveUpAt)
        platform.waitUntil(platform.steadyMs() + 10, true);
    ASSERT_FALSE(control.lineLost());
    EXPECT_TRUE(control.portOpen());
    EXPECT_EQ(read(control).kHz, 14200.0f);
    EXPECT_TRUE(control.ClosePort());
    EXPECT_FALSE(control.linkKept());
}

TEST_F(QtSerialLinkTest, strayBytesGarbageAndSilence_overTheRealSerialStack) {
    PtyRig rig(Model::Ft817);
    ASSERT_FALSE(rig.slavePath.isEmpty());
    CatControl& control = attach(rig, Model::Ft817);
    ASSERT_TRUE(control.OpenPort(2).ok);
    rig.echo = true;
    EXPECT_EQ(read(control).kHz, 7050.0f);
    EXPECT_EQ(read(control).sMeter, 5.0f);
    rig.echo = false;
    rig.replaceNextReply(QByteArray::fromHex("FFFFFF"), 0x03);
    EXPECT_FALSE(read(control).kHz);
    EXPECT_EQ(read(control).kHz, 7050.0f);
    rig.answering = false;
    const RigReading silent = read(control);
    EXPECT_FALSE(silent.kHz);
    EXPECT_FALSE(silent.sMeter);
    EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
}

TEST_F(QtSerialLinkTest, ft757PacedRead_theWindowStaysLiveAndASecondPollIsRefused) {
    PtyRig rig(Model::Ft757GXII);
    ASSERT_FALSE(rig.slavePath.isEmpty());
    rig.panel([](RigEmulator& e) { e.setFrequency(14112.8); });
    CatControl& control = attach(rig, Model::Ft757GXII);
    ASSERT_TRUE(control.OpenPort(2).ok);
    ASSERT_EQ(control.SendCatDelay(), CatResult::Sent); // about 4 s for the 75 bytes
    int ticks = 0;
    int refused = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // A tick that comes after the long reading ended, before the poll is stopped, is the
        // next poll, not one during the reading.
        if (!control.busy())
            return;
        ++ticks;
        control.ReadRigFrequency([&](const RigReading& r) { refused += r.busy ? 1 : 0; });
    });
    poll.start(200);
    QElapsedTimer took;
    took.start();
    const RigReading reading = read(control);
    poll.stop();
    // Should a loaded machine cut the reading short, what it saw.
    const std::string seen = QStringLiteral("reading after %1 ms, ticks %2, refused %3")
                                 .arg(took.elapsed())
                                 .arg(ticks)
                                 .arg(refused)
                                 .toStdString();
    EXPECT_EQ(reading.kHz, 14113.0f) << seen;
    EXPECT_GT(ticks, 1) << seen;
    EXPECT_EQ(refused, ticks) << seen;
}

TEST_F(QtSerialLinkTest, missingDevice_comPortOpenMessageWithTheSystemsReason) {
    mapCom2(dir.filePath("no-such-tty"));
    testing_support::FakePlatform fake;
    CatControl control(state, fake, log, link);
    EXPECT_FALSE(control.OpenPort(2).ok);
    EXPECT_FALSE(link.isOpen());
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_TRUE(fake.messages[0].text.startsWith("Function ComPortOpen\r\n" +
                                                 dir.filePath("no-such-tty") + ": "));
    EXPECT_FALSE(control.OpenPort(7).ok);
    EXPECT_TRUE(fake.messages[1].text.contains("COM7"));
    EXPECT_TRUE(OpenErrorText("/dev/ttyUSB0", "Permission denied", true).contains("dialout"));
}

TEST_F(QtSerialLinkTest, aDeviceThatStaysMissing_isLoggedOnceNotAtEveryTry_andAgainAfterItOpened) {
    const QString missing = dir.filePath("no-such-tty");
    test_support::LogCapture logged;
    for (int attempt = 0; attempt < 5; ++attempt)
        EXPECT_FALSE(link.openDevice(missing, "9600,N,8,2").ok);
    EXPECT_EQ(logged.with("cannot open").size(), 1) << logged.text().toStdString();

    PtyRig rig(Model::Ft817);
    ASSERT_TRUE(link.openDevice(rig.slavePath, "9600,N,8,2").ok);
    link.close();
    EXPECT_FALSE(link.openDevice(missing, "9600,N,8,2").ok);
    EXPECT_EQ(logged.with("cannot open").size(), 2);
}

TEST_F(QtSerialLinkTest, aDeviceThatHangsUp_isLoggedWithWhatHappened_notALeftoverError) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    ASSERT_TRUE(link.openDevice(QString::fromLocal8Bit(::ptsname(master)), "19200,N,8,1").ok);
    ::close(master); // the adapter is pulled out
    test_support::LogCapture logged;
    errno = EEXIST; // what failed last elsewhere in the program
    EXPECT_FALSE(link.write(QByteArray::fromHex("fefe94e003fd")));
    const QStringList failed = logged.with("failed");
    ASSERT_EQ(failed.size(), 1) << logged.text().toStdString();
    EXPECT_FALSE(failed[0].contains(QString::fromLocal8Bit(std::strerror(EEXIST))));
    EXPECT_TRUE(failed[0].contains("the device is gone") || failed[0].contains("hung up"))
        << failed[0].toStdString();
}
