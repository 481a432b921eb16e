// Following the rig end to end: the real serial stack to a rig emulator on a pseudo-terminal,
// the real clock, the engine on the simulated parallel port.
#include "rig/PtyRig.h"
#include "support/QtPrinters.h"
#include "tuning/FollowingStation.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace rig;
using namespace tuning;

TEST(RigFollowPtyTest, theStepperFollowsAnFt817OnASerialPort_andClosingReleasesTheDevice) {
    PtyRig pty(Model::Ft817);
    ASSERT_FALSE(pty.slavePath.isEmpty());
    QTemporaryDir dir;
    FollowingStation station(
        dir.path(), "[serial]\nCOM2=" + pty.slavePath.toLocal8Bit() + "\n[rig]\nlink=serial\n",
        "3500,100,\"\"\r\n4000,200,\"\"\r\n", 2);
    auto [tuning, state, view, serial] =
        std::tie(station.tuning, station.state, station.view, station.serial);
    // A poll and its reading told over the line; the program's own polls and checks wait
    // meanwhile. The port's opening may still hold the line: the poll then goes out after it.
    const auto poll = [&] {
        const auto paused = tuning.pausePolls();
        tuning.PollRig();
        for (int i = 0; i < 500 && (station.cat.busy() || !station.cat.lineIdle()); ++i)
            station.platform.waitMs(5);
    };

    pty.panel([](RigEmulator& e) { e.setFrequency(3650); });
    tuning.Load();
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    poll(); // the first reading: the start-up row goes out
    poll();
    pty.panel([](RigEmulator& e) { EXPECT_EQ(e.frequency(), 3500.0); });
    EXPECT_EQ(state.StepCounter, 100);

    // A new dial is followed when the second reading agrees.
    pty.panel([](RigEmulator& e) { e.setFrequency(3750); });
    poll();
    EXPECT_EQ(state.StepCounter, 100);
    poll();
    EXPECT_EQ(state.StepCounter, 150);
    // The value label blinks while the turn runs; give it the time.
    for (int i = 0; i < 200 && view.view().InterpolValueText.startsWith('?'); ++i)
        station.platform.waitMs(10);
    EXPECT_EQ(view.view().InterpolValueText, "150");

    tuning.port().ComportClicked();
    EXPECT_FALSE(serial.isOpen());
}
