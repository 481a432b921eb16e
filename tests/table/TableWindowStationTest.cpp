// The table window's station entries: the network links, the CI-V and Kenwood-family links
// and the transmit guard.
#include "core/SettingsFile.h"
#include "rig/CivRig.h"
#include "rig/FlrigRig.h"
#include "rig/KenwoodRig.h"
#include "rig/WsjtxRig.h"
#include "table/TableWindow.h"
#include "tuning/RigControlView.h"
#include "tuning/RigTuningFixture.h"

#include <QAction>
#include <QGroupBox>

using TableWindowStationTest = tuning_test::RigTuningFixture;

TEST_F(TableWindowStationTest, theComMenuChoosesRigctldAtTheTypedAddressAndTogglesTheGuard) {
    rig::RigctldRig rigctld{platform};
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Rigctld, rigctld);
    loadTable("3500,100,\"\"\r\n");
    table::BandSets bands{dir.path()};
    table::TableWindow window(
        {state, platform, engine, wheel, editor, view, tuning, simulated, bands});
    QObject::connect(&tuning, &tuning::RigTuning::changed, &window, &table::TableWindow::render);
    table::TableWindowForm& f = window.form();

    platform.answerNextInput("no such address");
    f.mnuRigctld->trigger();
    EXPECT_FALSE(f.mnuRigctld->isChecked());
    EXPECT_TRUE(f.mnuSimulatedRig->isChecked());

    platform.answerNextInput("shack-pi:4533");
    f.mnuRigctld->trigger();
    EXPECT_TRUE(f.mnuRigctld->isChecked());
    EXPECT_FALSE(f.mnuSimulatedRig->isChecked());
    EXPECT_TRUE(f.frmSimulatedRig->isHidden());
    EXPECT_EQ(f.frmCatControl->title(), "Rig Control-rigctld");
    EXPECT_EQ(rigctld.address().text(), "shack-pi:4533");

    EXPECT_TRUE(f.mnuTxGuard->isChecked());
    f.mnuTxGuard->trigger();
    EXPECT_FALSE(tuning.guard().enabled());
    EXPECT_FALSE(f.mnuTxGuard->isChecked());

    // Back to the simulated rig (the tuning outlives this test's rigctld link).
    f.mnuSimulatedRig->trigger();
    EXPECT_FALSE(f.mnuRigctld->isChecked());
    EXPECT_EQ(f.frmCatControl->title(), "Rig Control-FT817");
}

TEST_F(TableWindowStationTest, theComMenuChoosesFlrigOrWsjtxAtTheTypedAddress_oneCheckedAtATime) {
    rig::FlrigRig flrig{platform};
    rig::WsjtxRig wsjtx{platform};
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Flrig, flrig);
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Wsjtx, wsjtx);
    loadTable("3500,100,\"\"\r\n");
    table::BandSets bands{dir.path()};
    table::TableWindow window(
        {state, platform, engine, wheel, editor, view, tuning, simulated, bands});
    QObject::connect(&tuning, &tuning::RigTuning::changed, &window, &table::TableWindow::render);
    table::TableWindowForm& f = window.form();

    platform.answerNextInput("shack-pi"); // flrig's own port
    f.mnuFlrig->trigger();
    EXPECT_TRUE(f.mnuFlrig->isChecked());
    EXPECT_EQ(f.frmCatControl->title(), "Rig Control-flrig");
    EXPECT_EQ(flrig.address().text(), "shack-pi:12345");

    platform.answerNextInput("127.0.0.1:2237"); // not a multicast group
    f.mnuWsjtx->trigger();
    EXPECT_TRUE(platform.messages.back().text.startsWith(
        "\"127.0.0.1:2237\" is not a WSJT-X UDP address."));
    EXPECT_TRUE(f.mnuFlrig->isChecked());
    platform.answerNextInput("224.0.0.1:2238");
    f.mnuWsjtx->trigger();
    EXPECT_TRUE(f.mnuWsjtx->isChecked());
    EXPECT_FALSE(f.mnuFlrig->isChecked());
    EXPECT_EQ(f.frmCatControl->title(), "Rig Control-WSJT-X");
    EXPECT_EQ(tuning::PortCaptionOf(tuning, state), "&Comport(WSJT-X)");
    EXPECT_EQ(wsjtx.address().text(), "224.0.0.1:2238");
    const core::IniSettings ini(dir.filePath("Ventrolo.ini"));
    EXPECT_EQ(core::SettingsText(ini, "wsjtx/port"), "2238");
    EXPECT_EQ(core::SettingsText(ini, "wsjtx/address"), "224.0.0.1");

    f.mnuSimulatedRig->trigger();
    EXPECT_FALSE(f.mnuWsjtx->isChecked());
}

TEST_F(TableWindowStationTest, theComMenuChoosesAnIcomRigByModelAndAddress_andAKenwoodByModel) {
    rig::CivRig civ{platform, scripted, log};
    rig::KenwoodRig kenwood{platform, scripted, log};
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Civ, civ);
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Kenwood, kenwood);
    loadTable("3500,100,\"\"\r\n");
    table::BandSets bands{dir.path()};
    table::TableWindow window(
        {state, platform, engine, wheel, editor, view, tuning, simulated, bands});
    QObject::connect(&tuning, &tuning::RigTuning::changed, &window, &table::TableWindow::render);
    table::TableWindowForm& f = window.form();

    platform.answerNextInput("IC-999");
    f.mnuCiv->trigger();
    EXPECT_FALSE(f.mnuCiv->isChecked());
    EXPECT_TRUE(f.mnuSimulatedRig->isChecked());
    ASSERT_FALSE(platform.inputs.empty());
    EXPECT_EQ(platform.inputs.back().defaultText, "IC-7300 94");

    platform.answerNextInput("ic-705 5c");
    f.mnuCiv->trigger();
    EXPECT_TRUE(f.mnuCiv->isChecked());
    EXPECT_FALSE(f.mnuSimulatedRig->isChecked());
    EXPECT_EQ(f.frmCatControl->title(), "Rig Control-IC-705");
    EXPECT_EQ(civ.address(), 0x5C);

    platform.answerNextInput("kx3");
    f.mnuKenwood->trigger();
    EXPECT_TRUE(f.mnuKenwood->isChecked());
    EXPECT_FALSE(f.mnuCiv->isChecked());
    EXPECT_EQ(f.frmCatControl->title(), "Rig Control-KX3");

    f.mnuSimulatedRig->trigger(); // the tuning outlives this test's links
    EXPECT_FALSE(f.mnuCiv->isChecked());
    EXPECT_FALSE(f.mnuKenwood->isChecked());
}
