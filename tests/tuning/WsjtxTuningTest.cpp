// The WSJT-X link under the tuning: a link that only listens sets nothing.
#include "rig/WsjtxDatagrams.h"
#include "rig/WsjtxRig.h"
#include "support/TestFiles.h"
#include "tuning/RigControlView.h"
#include "tuning/RigTuningFixture.h"

#include <gtest/gtest.h>

using namespace rig;
using namespace tuning;
using namespace tuning_test;
using rig_test::FreeUdpPort;

// A link that only listens: the table window's commands that would set the rig say so and
// neither the rig nor the stepper is moved.
struct WsjtxTuningTest : RigTuningFixture {
    WsjtxRig wsjtx{platform};
    // The tuning, which outlives this link, lets go of it first.
    ~WsjtxTuningTest() override {
        tuning.port().ComPortOpen(0);
        (void)tuning.setConnection(rig);
    }
};

TEST_F(WsjtxTuningTest, commandsThatSetTheRigSayTheLinkCannot) {
    const quint16 port = FreeUdpPort();
    test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                            "[rig]\nlink=wsjtx\n[wsjtx]\nport=" + QByteArray::number(port) + "\n");
    links.Load();
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Wsjtx, wsjtx);
    loadTable("3500,100,\"80m\"\r\n4000,200,\"\"\r\n");
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    EXPECT_EQ(tuning::PortCaptionOf(tuning, state), "&Comport on");
    EXPECT_EQ(wsjtx.address().port, port);

    const core::Long before = state.StepCounter;
    tuning.tableCommands().FrequencyUp(1);
    tuning.rigCommands().ModeClicked(1);
    tuning.rigCommands().PttToggle(false);
    for (const auto& message : platform.messages)
        EXPECT_EQ(message.text, "This link cannot set the rig.");
    EXPECT_EQ(platform.messages.size(), 3u);
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_EQ(state.StepCounter, before);
    // The wheel's frequency steps beep.
    const std::size_t beeps = platform.beeps.size();
    tuning.tableCommands().jumpFrequency(true);
    EXPECT_EQ(platform.beeps.size(), beeps + 1);
    EXPECT_EQ(tuning.follower().CatFrequency(), 0.0f);
}
