// What the table window shows of automatic tuning, decided without the window.
#include "tuning/RigControlView.h"

#include "support/QtPrinters.h"
#include "tuning/RigTuningFixture.h"

using tuning_test::RigTuningFixture;
using RigControlViewTest = RigTuningFixture;

TEST_F(RigControlViewTest,
       thePeakSearchIsOfferedAtAPositionUnkeyedAndWhileItRuns_theRigsTxIsNoted) {
    openAndFollow();
    const auto shown = [this] { return tuning::ControlViewOf(tuning, state, view); };
    EXPECT_TRUE(shown().SearchEnabled);
    tuning.rigCommands().PttToggle(false);
    EXPECT_EQ(shown().PttCaption, "&PTT on");
    EXPECT_FALSE(shown().SearchEnabled);
    tuning.rigCommands().PttToggle(false);
    EXPECT_TRUE(shown().SearchEnabled);

    // While it runs a click stops it.
    bool offeredWhileSearching = false;
    const QObject scope;
    QObject::connect(&tuning, &tuning::RigTuning::changed, &scope, [&] {
        if (tuning.peakSearch().searching())
            offeredWhileSearching = shown().SearchEnabled;
    });
    tuning.rigCommands().PeakSearchClicked();
    EXPECT_TRUE(offeredWhileSearching);

    simulated.rig().setTransmit(true);
    poll();
    EXPECT_EQ(shown().InfoText, "TX: no turning");
    tuning.rigCommands().TransmitGuardClicked(false);
    EXPECT_EQ(shown().InfoText, "");
}

TEST_F(RigControlViewTest, theCaptions_thePortChosen_onWithTheLineAndASpinner_thenOff) {
    const auto shown = [this] { return tuning::ControlViewOf(tuning, state, view); };
    tuning.port().SelectComPort(2);
    EXPECT_EQ(shown().PortCaption, "&Comport(2)");
    tuning.port().SelectSimulatedRig();
    EXPECT_EQ(shown().PortCaption, "&Comport(Sim)");
    const QString name = tuning.connection().rigName();
    EXPECT_EQ(shown().FrameCaption, "Rig Control-" + name);
    EXPECT_EQ(shown().PortToolTip, "Toggle cat comport for a " + name + ".");

    openAndFollow();
    EXPECT_EQ(shown().PortCaption, "&Comport on");
    const QString polled = shown().FrameCaption;
    EXPECT_TRUE(polled.endsWith(")")) << polled.toStdString();
    poll();
    EXPECT_NE(shown().FrameCaption, polled); // the spinner turns once a poll

    tuning.port().ComportClicked();
    EXPECT_EQ(shown().PortCaption, "&Comport off");
    EXPECT_EQ(shown().FrameCaption, "Rig Control-" + name);
}

TEST_F(RigControlViewTest, theMenus_linksChosenOnlyWhileClosed_retuneOnlyWithAReadingInTheTable) {
    const auto menus = [this] { return tuning::MenusViewOf(tuning, state, editor, view); };
    EXPECT_TRUE(menus().LinkMenusEnabled);
    EXPECT_FALSE(menus().RetuneEnabled);
    openAndFollow();
    EXPECT_FALSE(menus().LinkMenusEnabled);
    EXPECT_EQ(menus().Link, tuning::RigLinkChoice::Link::Simulated);
    EXPECT_EQ(menus().ComPort, 0); // a port is checked only for the serial link
    EXPECT_TRUE(menus().RetuneEnabled);
    EXPECT_FALSE(menus().OffsetZeroEnabled);

    // Corrected by hand by 3 steps at 3500 kHz: the offset, then Offset 0.
    tuning.rigCommands().LockClicked();
    state.StepCounter = 103;
    tuning.tableCommands().RetuneHereClicked();
    EXPECT_EQ(editor.data().StepperOffset, 3);
    EXPECT_EQ(view.view().InterpolValueText, "103");
    EXPECT_EQ(menus().StepperOffsetCaption, "&Stepper offset( 3)...");
    EXPECT_TRUE(menus().OffsetZeroEnabled);
    EXPECT_TRUE(view.StatusText().endsWith("  offset +3")) << view.StatusText().toStdString();
    tuning.tableCommands().OffsetZeroClicked();
    EXPECT_EQ(editor.data().StepperOffset, 0);

    // Out of the table: refused, said in a box.
    simulated.rig().setFrequency(5000);
    poll();
    poll();
    EXPECT_FALSE(menus().RetuneEnabled);
    tuning.tableCommands().RetuneHereClicked();
    EXPECT_EQ(platform.messages.back().text,
              "Retune here needs the rig's frequency within the table.");
}
