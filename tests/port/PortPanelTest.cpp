#include "port/PortPanel.h"

#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace port;
using testing_support::FakePlatform;

struct PortPanelTest : ::testing::Test {
    core::ProgramState state;
    FakePlatform platform;
    SimulatedLpt lpt;
    CoilOutput coil{state, lpt};
    PowerControl power{state, coil};
    PortPanel panel{state, coil, power, platform};
};

TEST_F(PortPanelTest, cyclingThePortClearsAllAndSelects888Then956Then632) {
    lpt.Out32(888, 7);
    std::vector<QString> captions;
    for (int i = 0; i < 4; ++i) {
        panel.CycleLptPort();
        captions.push_back(panel.portButtonCaption());
    }
    EXPECT_EQ(captions, (std::vector<QString>{"Lpt = 888", "Lpt = 956", "Lpt = 632", "Lpt = 888"}));
    EXPECT_EQ(panel.portStatusText(), "Lpt = 888 (simulated)");
    EXPECT_EQ(state.LptStatusAddress, 889);
    EXPECT_EQ(lpt.data(888), 0);
}

TEST_F(PortPanelTest, walkingThePinsRaisesEachForASecondAndEndsWithTheDriverOnlyWithAutopower) {
    state.AutoPower = 1;
    state.LptExtraBits = 192;
    lpt.traceWrites([this] { return platform.steadyMs(); });
    std::vector<QString> captions;
    EXPECT_TRUE(panel.WalkOutputPins([&] { captions.push_back(panel.lptTestCaption()); }));

    EXPECT_EQ(lpt.valuesWritten(888),
              (std::vector<std::uint8_t>{0, 1, 2, 4, 8, 16, 32, 64, 128, 255, 0, 192 + 4}));
    EXPECT_EQ(lpt.writes()[2].atMs, 1000); // pin 3 a second after pin 2
    EXPECT_EQ(captions.front(), "Works now !");
    EXPECT_EQ(captions[1], "Pin  2");
    EXPECT_EQ(captions[8], "Pin  9");
    EXPECT_EQ(captions[9], "All");
    EXPECT_EQ(panel.lptTestCaption(), "LptTest");
    EXPECT_EQ(platform.beeps.size(), 8u + 2u + 1u);
    EXPECT_FALSE(panel.walking());

    power.SetAutoPower(false); // manual power with "Fieldpower" ticked
    power.SetFieldPower(true);
    EXPECT_TRUE(panel.WalkOutputPins({}));
    EXPECT_EQ(lpt.data(888), 192);
    EXPECT_FALSE(power.fieldPowerTicked()) << "the box shows that the drivers are off";
}

TEST_F(PortPanelTest, everyCommandAndEveryCaptionOfTheWalkIsToldWithTheWalkEndedLast) {
    std::vector<bool> walkingWhenTold;
    QObject::connect(&panel, &PortPanel::changed,
                     [&] { walkingWhenTold.push_back(panel.walking()); });
    panel.CycleLptPort();
    panel.ToggleLpt89();
    EXPECT_EQ(walkingWhenTold, (std::vector<bool>{false, false}));

    walkingWhenTold.clear();
    EXPECT_TRUE(panel.WalkOutputPins({}));
    // "Works now !", eight pins, "All", then "LptTest" with the port button usable again.
    ASSERT_EQ(walkingWhenTold.size(), 11u);
    EXPECT_TRUE(walkingWhenTold.front());
    EXPECT_FALSE(walkingWhenTold.back());

    walkingWhenTold.clear();
    platform.scheduleAfter(1500, [this] { panel.AbortWalk(); });
    EXPECT_FALSE(panel.WalkOutputPins({}));
    ASSERT_FALSE(walkingWhenTold.empty());
    EXPECT_FALSE(walkingWhenTold.back()) << "an aborted walk is told as ended too";
    EXPECT_EQ(panel.lptTestCaption(), "LptTest");
}

TEST_F(PortPanelTest, anAbortedWalkWritesNothingMore) {
    platform.scheduleAfter(1500, [this] {
        panel.AbortWalk();
        lpt.Out32(888, 0); // the program's exit path clears the port meanwhile
    });
    lpt.traceWrites();
    EXPECT_FALSE(panel.WalkOutputPins({}));
    EXPECT_EQ(lpt.valuesWritten(888), (std::vector<std::uint8_t>{0, 1, 2, 0}));
    EXPECT_FALSE(panel.walking());
}

TEST_F(PortPanelTest, theOffsetTogglesAndNeverAddsItselfTwice) {
    lpt.Out32(888, 3 + 4);
    panel.ToggleLpt89();
    EXPECT_TRUE(panel.lpt89Checked());
    EXPECT_EQ(lpt.data(888), 3 + 4 + 192);
    panel.ToggleLpt89();
    EXPECT_FALSE(panel.lpt89Checked());
    EXPECT_EQ(lpt.data(888), 3 + 4);

    // The output test window left pin 6 high; the menu then switches to pins 8 and 9.
    state.LptExtraBits = 16;
    lpt.Out32(888, 1 + 16);
    panel.ToggleLpt89();
    EXPECT_EQ(lpt.data(888), 1 + 192);
}
