// What the table window shows of automatic tuning, decided without the window.
#include "rig/RigControlView.h"

#include "rig/RigTuningFixture.h"
#include "support/QtPrinters.h"

using rig_test::RigTuningFixture;
using RigControlViewTest = RigTuningFixture;

TEST_F(RigControlViewTest,
       thePeakSearchIsOfferedAtAPositionUnkeyedAndWhileItRuns_theRigsTxIsNoted) {
    openAndFollow();
    const auto shown = [this] { return rig::ControlViewOf(tuning, state, view); };
    EXPECT_TRUE(shown().SearchEnabled);
    tuning.PttToggle(false);
    EXPECT_EQ(shown().PttCaption, "&PTT on");
    EXPECT_FALSE(shown().SearchEnabled);
    tuning.PttToggle(false);
    EXPECT_TRUE(shown().SearchEnabled);

    // While it runs a click stops it.
    bool offeredWhileSearching = false;
    const QObject scope;
    QObject::connect(&tuning, &rig::RigTuning::changed, &scope, [&] {
        if (tuning.searching())
            offeredWhileSearching = shown().SearchEnabled;
    });
    tuning.PeakSearchClicked();
    EXPECT_TRUE(offeredWhileSearching);

    simulated.rig().setTransmit(true);
    poll();
    EXPECT_EQ(shown().InfoText, "TX: no turning");
    tuning.TransmitGuardClicked(false);
    EXPECT_EQ(shown().InfoText, "");
}
