// The rig emulators the tests talk to, read and set by an independent controller of the same
// published protocols: Debian's rigctl, on a pseudo-terminal, must see and change what the
// emulator's panel shows. Where the two disagree, the emulator has misread its rig.
#include "rig/CivTransceiver.h"
#include "rig/KenwoodTransceiver.h"
#include "rig/PtyPeer.h"
#include "rig/PtyRig.h"
#include "support/QtPrinters.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

using namespace rig;
using rig_test::CivTransceiver;
using rig_test::KenwoodTransceiver;
using rig_test::PtyPeer;

namespace {

struct Rigctl {
    const char* model; // rigctl -l
    int baud;
    QStringList conf; // -C key=value
};

// rigctl's answer lines; fails the test when rigctl cannot be run, times out or reports an error.
QStringList RunRigctl(const Rigctl& rig, const QString& device, const QStringList& commands) {
    QStringList args{"-m", rig.model, "-r", device, "-s", QString::number(rig.baud)};
    // A shared, loaded machine can hold the emulator's thread off longer than a rig would take.
    args << "-C"
         << "timeout=2000";
    for (const QString& setting : rig.conf)
        args << "-C" << setting;
    args << commands;
    QProcess rigctl;
    rigctl.start("rigctl", args);
    if (!rigctl.waitForStarted(5000)) {
        ADD_FAILURE() << "rigctl cannot be run (" << rigctl.errorString().toStdString()
                      << "); run scripts/install-deps";
        return {};
    }
    if (!rigctl.waitForFinished(15000)) {
        rigctl.kill();
        rigctl.waitForFinished(1000);
        ADD_FAILURE() << "rigctl " << args.join(' ').toStdString() << " timed out";
        return {};
    }
    EXPECT_EQ(rigctl.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(rigctl.exitCode(), 0)
        << QString::fromLocal8Bit(rigctl.readAllStandardError()).toStdString();
    return QString::fromLocal8Bit(rigctl.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// Reads the dial, mode and PTT, then tunes to 7123.45 kHz, sets CW and keys the transmitter.
const QStringList ReadThenSet{"f", "m", "t", "F", "7123450", "M", "CW", "0", "T", "1", "t"};

// rigctl's lines for ReadThenSet on a rig showing 14074.5 kHz USB, receiving; any error message
// in between breaks the shape.
void ExpectReadAsShown(const QStringList& lines) {
    ASSERT_EQ(lines.size(), 5) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], "14074500");
    EXPECT_EQ(lines[1], "USB");
    EXPECT_EQ(lines[3], "0");
    EXPECT_EQ(lines[4], "1");
}

// A fresh rigctl, with nothing cached, reading back what ReadThenSet left.
const QStringList ReadBack{"f", "m", "t"};
void ExpectReadBackAsSet(const QStringList& lines) {
    ASSERT_EQ(lines.size(), 4) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], "7123450");
    EXPECT_EQ(lines[1], "CW");
    EXPECT_EQ(lines[3], "1");
}

} // namespace

TEST(EmulatorCrossCheckTest, rigctlReadsAndSetsTheFiveByteYaesus) {
    for (const auto& [model, rigctl] : {std::pair{Model::Ft817, Rigctl{"1020", 38400, {}}},
                                        std::pair{Model::Ft857, Rigctl{"1022", 38400, {}}},
                                        std::pair{Model::Ft897, Rigctl{"1023", 38400, {}}}}) {
        SCOPED_TRACE(rigctl.model);
        PtyRig pty(model);
        ASSERT_FALSE(pty.slavePath.isEmpty());
        pty.panel([](RigEmulator& e) {
            e.setFrequency(14074.5);
            e.setModeCode(0x01); // USB
        });
        ExpectReadAsShown(RunRigctl(rigctl, pty.slavePath, ReadThenSet));
        ExpectReadBackAsSet(RunRigctl(rigctl, pty.slavePath, ReadBack));
        pty.panel([](RigEmulator& e) {
            EXPECT_EQ(e.frequency(), 7123.45);
            EXPECT_EQ(e.modeCode(), 0x02); // CW
            EXPECT_TRUE(e.transmitting());
        });
    }
}

TEST(EmulatorCrossCheckTest, rigctlReadsAndSetsTheIc7300OnItsEchoingBus) {
    PtyPeer<CivTransceiver> bus(char(0xFD), true);
    ASSERT_FALSE(bus.slavePath.isEmpty());
    bus.panel([](CivTransceiver& rig) { rig.dialHz = 14074500; });
    const Rigctl rigctl{"3073", 19200, {"civaddr=0x94"}};
    ExpectReadAsShown(RunRigctl(rigctl, bus.slavePath, ReadThenSet));
    ExpectReadBackAsSet(RunRigctl(rigctl, bus.slavePath, ReadBack));
    bus.panel([](CivTransceiver& rig) {
        EXPECT_EQ(rig.dialHz, 7123450);
        EXPECT_EQ(rig.mode, 0x03); // CW
        EXPECT_TRUE(rig.transmitting);
    });
}

TEST(EmulatorCrossCheckTest, rigctlReadsAndSetsTheTs590AndTheFt991a) {
    for (const auto& [yaesu, rigctl] :
         {std::pair{false, Rigctl{"2031", 115200, {"serial_handshake=None"}}},
          std::pair{true, Rigctl{"1035", 38400, {"serial_handshake=None"}}}}) {
        SCOPED_TRACE(rigctl.model);
        PtyPeer<KenwoodTransceiver> pty(';', false);
        ASSERT_FALSE(pty.slavePath.isEmpty());
        pty.panel([&](KenwoodTransceiver& rig) {
            rig.yaesu = yaesu;
            rig.dialHz = 14074500;
        });
        ExpectReadAsShown(RunRigctl(rigctl, pty.slavePath, ReadThenSet));
        ExpectReadBackAsSet(RunRigctl(rigctl, pty.slavePath, ReadBack));
        pty.panel([](KenwoodTransceiver& rig) {
            EXPECT_EQ(rig.dialHz, 7123450);
            EXPECT_EQ(rig.mode, '3'); // CW
            EXPECT_TRUE(rig.transmitting);
        });
    }
}
