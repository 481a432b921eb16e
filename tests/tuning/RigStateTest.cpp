// What the rig shows, kept from the news of the link followed.
#include "tuning/RigState.h"

#include "rig/RigctldRig.h"
#include "rig/WsjtxRig.h"
#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

using rig::RigConnection;

namespace {

struct RigStateTest : ::testing::Test {
    testing_support::FakePlatform platform;
    rig::RigctldRig rigctld{platform};
    rig::WsjtxRig wsjtx{platform};
    tuning::RigState shown;
};

} // namespace

TEST_F(RigStateTest, takesTheNewsOfTheLinkFollowed_andClosingEndsPttPowerAndFrequency) {
    shown.follow(&rigctld);
    QSignalSpy changed(&shown, &tuning::RigState::changed);
    emit rigctld.pttSwitched(true);
    emit rigctld.modeSelected(3);
    emit rigctld.dialLockSwitched(true);
    emit rigctld.powerSwitched(true);
    emit rigctld.swrStateRead(1);
    emit rigctld.sMeterRead(7);
    emit rigctld.frequencyShown(7009.36f);
    EXPECT_TRUE(shown.pttOn());
    EXPECT_EQ(shown.modeIndex(), 3);
    EXPECT_TRUE(shown.dialLocked());
    EXPECT_EQ(shown.swrState(), 1);
    EXPECT_EQ(shown.sMeter(), 7.0f);
    EXPECT_EQ(shown.frequencyText(), "7009.36 kHz");
    EXPECT_EQ(changed.count(), 7);
    // The same news again changes nothing shown; an S-meter request's empty answer neither.
    changed.clear();
    emit rigctld.pttSwitched(true);
    emit rigctld.sMeterArrived(std::nullopt);
    EXPECT_EQ(changed.count(), 0);
    emit rigctld.sMeterArrived(4.0f);
    EXPECT_EQ(shown.sMeter(), 4.0f);

    emit rigctld.closed();
    EXPECT_FALSE(shown.pttOn());
    EXPECT_EQ(shown.frequencyText(), "-----.- kHz");
    EXPECT_EQ(shown.modeIndex(), 3); // the selection stays while the link is closed
    // The resets the tuning makes at closing and at a new table.
    shown.resetSMeter();
    shown.resetSwrState();
    EXPECT_EQ(shown.sMeter(), 0.0f);
    EXPECT_EQ(shown.swrState(), -1);
}

TEST_F(RigStateTest, eachLinkKeepsWhatItTold_whileAnotherIsFollowed) {
    shown.follow(&rigctld);
    emit rigctld.modeSelected(2);
    emit rigctld.pttSwitched(true);
    shown.follow(&wsjtx);
    EXPECT_EQ(shown.modeIndex(), 0);
    EXPECT_FALSE(shown.pttOn());
    // A link no longer followed is not heard.
    emit rigctld.modeSelected(5);
    EXPECT_EQ(shown.modeIndex(), 0);
    emit wsjtx.modeSelected(1);
    shown.follow(&rigctld);
    EXPECT_EQ(shown.modeIndex(), 2);
    EXPECT_TRUE(shown.pttOn());
    shown.follow(&wsjtx);
    EXPECT_EQ(shown.modeIndex(), 1);
}

TEST_F(RigStateTest, aLinkGone_leavesNothingForTheNextAtItsPlace) {
    auto gone = std::make_unique<rig::RigctldRig>(platform);
    shown.follow(gone.get());
    emit gone->modeSelected(4);
    shown.follow(&wsjtx);
    gone.reset();
    // A link made later may sit where the gone one was: it starts with nothing selected.
    auto next = std::make_unique<rig::RigctldRig>(platform);
    shown.follow(next.get());
    EXPECT_EQ(shown.modeIndex(), 0);
    // Also the link followed may go: the state lets it go and follows the next.
    emit next->modeSelected(2);
    next.reset();
    shown.follow(&wsjtx);
    EXPECT_EQ(shown.modeIndex(), 0);
    EXPECT_TRUE(shown.powerOn());
}

TEST_F(RigStateTest, aModeBeyondTheLinksModes_isNoLongerSelected) {
    shown.follow(&rigctld);
    const int modes = int(rigctld.capabilities().modeNames.size());
    emit rigctld.modeSelected(modes);
    emit rigctld.capabilitiesChanged();
    EXPECT_EQ(shown.modeIndex(), modes);
    emit rigctld.modeSelected(modes + 1);
    emit rigctld.capabilitiesChanged();
    EXPECT_EQ(shown.modeIndex(), 0);
}

TEST_F(RigStateTest, aRigWithoutAPowerSwitchCountsAsOn) {
    shown.follow(&rigctld);
    EXPECT_FALSE(rigctld.capabilities().powerSwitch);
    EXPECT_TRUE(shown.powerOn());
    emit rigctld.closed();
    EXPECT_TRUE(shown.powerOn());
}
