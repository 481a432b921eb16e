#include "rig/SimulatedRig.h"

#include "rig/CatCodec.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using namespace rig;
using testing_support::FakePlatform;

namespace {

const QByteArray ReadFrequency = QByteArray::fromHex("0000000003");

class SimulatedRigTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.open(1, "4800,N,8,1").ok); }

    FakePlatform platform;
    SimulatedRig rig{platform, Model::Ft817};
};

} // namespace

TEST_F(SimulatedRigTest, reply_arrivesAfterRequestWireTimeLatencyAndItsOwnWireTime) {
    rig.setLatencyMs(10);
    ASSERT_TRUE(rig.write(ReadFrequency));
    EXPECT_EQ(rig.bytesWaiting(), 0);
    ASSERT_TRUE(rig.waitForBytes(5, 1000));
    // Ten bits per character at 4800 baud: 5 out, 10 ms, 5 back.
    EXPECT_NEAR(platform.steadyMs(), 10 * 10 / 4.8 + 10, 1e-9);
    EXPECT_EQ(rig.readAll(), QByteArray::fromHex("0070500001"));
}

TEST_F(SimulatedRigTest, waitForBytes_endsAtItsBoundWhenNothingComes) {
    rig.setSilent(true);
    ASSERT_TRUE(rig.write(ReadFrequency));
    EXPECT_FALSE(rig.waitForBytes(1, 40));
    EXPECT_DOUBLE_EQ(platform.steadyMs(), 40);
    EXPECT_TRUE(rig.readAll().isEmpty());
}

TEST_F(SimulatedRigTest, discard_dropsWhatArrivedNotWhatIsStillOnTheLine) {
    ASSERT_TRUE(rig.write(ReadFrequency));
    platform.advance(25); // two reply bytes have arrived
    EXPECT_EQ(rig.bytesWaiting(), 2);
    rig.discardInput();
    EXPECT_EQ(rig.bytesWaiting(), 0);
    ASSERT_TRUE(rig.waitForBytes(3, 100));
    EXPECT_EQ(rig.readAll(), QByteArray::fromHex("500001"));
}

TEST_F(SimulatedRigTest, frontPanel_knobFollowsTheLockAndStopsAtTheRangeEnd) {
    rig.rig().turnKnob(1.25);
    EXPECT_DOUBLE_EQ(rig.rig().frequency(), 7051.25);
    rig.rig().setLocked(true);
    rig.rig().turnKnob(10);
    EXPECT_DOUBLE_EQ(rig.rig().frequency(), 7051.25);
    rig.rig().setLocked(false);
    rig.rig().turnKnob(-1e6);
    EXPECT_DOUBLE_EQ(rig.rig().frequency(), 100);
    rig.rig().setModel(Model::Ft840);
    rig.rig().setFrequency(144300);
    EXPECT_DOUBLE_EQ(rig.rig().frequency(), 30000);
}

TEST_F(SimulatedRigTest, followingTheProgram_eachOpeningTakesTheChosenModel) {
    core::ProgramState state;
    state.RigModel = static_cast<core::Integer>(Model::Ft757GXII);
    rig.followModelOf(state);
    ASSERT_TRUE(rig.open(3, "4800,N,8,2").ok);
    EXPECT_EQ(rig.rig().model(), Model::Ft757GXII);
    EXPECT_EQ(rig.description(), "Simulated rig (FT757GXII)");
}

TEST_F(SimulatedRigTest, closedOrBadlySet_theLinkRefuses) {
    EXPECT_FALSE(rig.open(1, "4800,N,8").ok);
    EXPECT_FALSE(rig.isOpen());
    EXPECT_FALSE(rig.write(ReadFrequency));
    EXPECT_FALSE(rig.waitForBytes(1, 10));
    EXPECT_FALSE(rig.setRts(true));
    EXPECT_TRUE(rig.written().isEmpty());
}
