#include "rig/SimulatedRig.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using namespace rig;

TEST(SimulatedRig, repliesAfterTheWireTimes_discardDropsOnlyWhatHasArrived_badSettingsRefuse) {
    const QByteArray readFrequency = QByteArray::fromHex("0000000003");
    testing_support::FakePlatform platform;
    SimulatedRig rig(platform, Model::Ft817);
    EXPECT_FALSE(rig.open(1, "4800,N,8").ok);
    EXPECT_FALSE(rig.write(readFrequency));
    ASSERT_TRUE(rig.open(1, "4800,N,8,1").ok);
    rig.setLatencyMs(10);
    ASSERT_TRUE(rig.write(readFrequency));
    platform.advance(25); // ten bits a character at 4800 baud: 5 out, 10 ms, then 2 back
    EXPECT_EQ(rig.bytesWaiting(), 2);
    rig.discardInput();
    // The reply's last byte comes after the wire time of ten characters (five out, five back)
    // and the rig's 10 ms, not before.
    const double lastArrivesAtMs = 10 * 10 / 4.8 + 10;
    platform.advance(lastArrivesAtMs - platform.steadyMs() - 1e-6);
    EXPECT_EQ(rig.bytesWaiting(), 2);
    platform.advance(1e-6);
    EXPECT_EQ(rig.bytesWaiting(), 3);
    EXPECT_EQ(rig.readAll(), QByteArray::fromHex("500001"));

    // A dial turned at a moment is found by a frame that reaches the rig after it, though that
    // frame was written before.
    rig.rig().setFrequency(7050);
    const double frameEndsAt = platform.steadyMs() + 5 * 10 / 4.8;
    rig.turnDialAt(frameEndsAt + 1, 7100);
    ASSERT_TRUE(rig.write(readFrequency));
    platform.advance(100);
    ASSERT_EQ(rig.bytesWaiting(), 5);
    EXPECT_EQ(rig.readAll(), QByteArray::fromHex("0070500001"));
    rig.turnDialAt(platform.steadyMs() + 1, 7100);
    ASSERT_TRUE(rig.write(readFrequency));
    platform.advance(100);
    ASSERT_EQ(rig.bytesWaiting(), 5);
    EXPECT_EQ(rig.readAll(), QByteArray::fromHex("0071000001"));
}

TEST(SimulatedRig, eachOpeningTakesTheChosenModel) {
    testing_support::FakePlatform platform;
    SimulatedRig rig(platform);
    core::ProgramState state;
    state.RigModel = static_cast<core::Integer>(Model::Ft757GXII);
    rig.followModelOf(state);
    ASSERT_TRUE(rig.open(3, "4800,N,8,2").ok);
    EXPECT_EQ(rig.rig().model(), Model::Ft757GXII);
}
