// Following an IC-7300 end to end: the real serial stack to the transceiver's CI-V bus on a
// pseudo-terminal (every byte echoed, as the one wire does), the real clock, the engine on the
// simulated parallel port.
#include "rig/CivRig.h"
#include "rig/CivTransceiver.h"
#include "rig/PtyPeer.h"
#include "support/QtPrinters.h"
#include "support/RigTestHelpers.h"
#include "tuning/FollowingStation.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace rig;
using namespace tuning;

using test_support::WaitFor;

TEST(CivFollowPtyTest, theStepperFollowsTheRigsTransceiveOnASerialPort_andClosingReleasesIt) {
    // The one-wire bus gives every byte back.
    rig_test::PtyPeer<rig_test::CivTransceiver> bus(char(0xFD), true);
    ASSERT_FALSE(bus.slavePath.isEmpty());
    QTemporaryDir dir;
    FollowingStation station(
        dir.path(), "[serial]\nCOM2=" + bus.slavePath.toLocal8Bit() + "\n[rig]\nlink=civ\n",
        "7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n", 2);
    CivRig civ{station.platform, station.serial, station.log};
    auto& tuning = station.tuning;
    auto& state = station.state;
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Civ, civ);

    tuning.Load();
    ASSERT_TRUE(tuning.port().link() == tuning::RigLinkChoice::Link::Civ);
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    // The start-up row goes out at the first reading; the stepper is brought there.
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 100; }));
    EXPECT_EQ(bus.panel([](auto& rig) { return rig.dialHz; }), 7000000);

    // The dial turned to 7.100 MHz and announced: followed.
    bus.panel([](auto& rig) { rig.dialHz = 7100000; });
    bus.send(QByteArray::fromHex("fefe0094000000100700fd"));
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 150; }));

    tuning.port().ComportClicked();
    EXPECT_FALSE(station.serial.isOpen());
    tuning.port().SelectComPort(2); // the tuning outlives the CI-V link
}
