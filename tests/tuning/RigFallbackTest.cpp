// Following through the fallback link while the chosen one is silent, on the virtual clock: the
// simulated rig first, an IC-7300 on a scripted CI-V line as the fallback.
#include "rig/CivRig.h"
#include "rig/CivTransceiver.h"
#include "rig/ScriptedLine.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "tuning/FallbackChoice.h"
#include "tuning/RigTuningFixture.h"

namespace {

using tuning::RigFallback;
using Link = tuning::RigLinkChoice::Link;

struct RigFallbackTest : tuning_test::RigTuningFixture {
    rig_test::ScriptedLine line{platform};
    rig_test::CivTransceiver ic7300;
    rig::CivRig civ{platform, line, log};

    void SetUp() override {
        platform.processQtEvents = true;
        state.ComPort = 1;
        line.echo = true;
        line.rig = [this](const QByteArray& frame) { return ic7300.answer(frame); };
        civ.setSettings(links.civSettings());
        tuning.setFallback(*tuning::ParseFallback("civ", links), &civ);
        loadTable("7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n");
        simulated.rig().setFrequency(7000);
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.port().portOpen());
        for (int i = 0; i < 3; ++i)
            poll();
        ASSERT_EQ(state.StepCounter, 100);
    }
    void TearDown() override { tuning.port().ComPortOpen(0); }
};

} // namespace

TEST_F(RigFallbackTest, aSilentLinkHandsFollowingToTheFallback_andTakesItBackWhenHeard) {
    test_support::LogCapture capture;
    QStringList details;
    QObject::connect(&engine, &engine::Engine::turnFinished,
                     [&](const engine::TurnRecord& record) { details << record.detail; });
    const RigFallback& fallback = tuning.fallback();
    // Silent for less than the switch-over: nothing opens.
    simulated.setSilent(true);
    platform.advance(RigFallback::SwitchAfterMs - 2 * state.ComPollMs);
    EXPECT_FALSE(fallback.active());
    EXPECT_FALSE(line.isOpen());

    ic7300.dialHz = 7100000;
    platform.advance(3 * state.ComPollMs);
    ASSERT_TRUE(fallback.active());
    EXPECT_TRUE(line.isOpen());
    EXPECT_EQ(fallback.text(), "following the fallback link civ: no reading from FT817");
    EXPECT_EQ(capture.with("following the fallback link civ").size(), 1);
    for (int i = 0; i < 3; ++i)
        poll();
    EXPECT_EQ(state.StepCounter, 150); // the fallback's dial, confirmed by its next reading
    ic7300.dialHz = 7200000;
    for (int i = 0; i < 3; ++i)
        poll();
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_EQ(details,
              (QStringList{"following 7100.0 kHz via civ", "following 7200.0 kHz via civ"}));

    // The first link answers again: the fallback closes, following goes back to the first.
    simulated.setSilent(false);
    for (int i = 0; i < 4; ++i)
        poll();
    EXPECT_FALSE(fallback.active());
    EXPECT_FALSE(line.isOpen());
    EXPECT_TRUE(fallback.text().isEmpty());
    EXPECT_EQ(capture.with("back from the fallback link civ").size(), 1);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(details.last(), "following 7000.0 kHz via FT817");

    // Closing the port while on the fallback closes it too.
    simulated.setSilent(true);
    platform.advance(RigFallback::SwitchAfterMs + 2 * state.ComPollMs);
    ASSERT_TRUE(fallback.active());
    tuning.port().ComPortOpen(0);
    EXPECT_FALSE(fallback.active());
    EXPECT_FALSE(line.isOpen());
}

TEST_F(RigFallbackTest, aFallbackThatDoesNotOpen_isToldOnce_notEveryFewSeconds) {
    line.gone = true;
    simulated.setSilent(true);
    platform.advance(5 * RigFallback::SwitchAfterMs);
    EXPECT_FALSE(tuning.fallback().active());
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(state.StepCounter, 100);
}

TEST(FallbackChoiceTest, keysWithTheirAddresses_andNoneThatSharesTheFirstLinksSerialPort) {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    rig::CatLog log{state, platform, dir.path()};
    rig::SimulatedRig simulated{platform};
    rig_test::ScriptedSerialLink serial{platform};
    rig::CatControl cat{state, platform, log, simulated};
    const QString ini = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(ini, "[rig]\nlink=civ\n[rigctld]\nhost=shack\nport=4600\n");
    tuning::RigLinkChoice links{dir.path(), cat, serial, simulated};
    links.Load();

    EXPECT_EQ(tuning::ParseFallback("rigctld", links)->text(), "rigctld shack:4600");
    EXPECT_EQ(tuning::ParseFallback(" RIGCTLD:10.0.0.2:4532", links)->text(),
              "rigctld 10.0.0.2:4532");
    EXPECT_EQ(tuning::ParseFallback("flrig", links)->text(), "flrig 127.0.0.1:12345");
    EXPECT_EQ(tuning::ParseFallback("wsjtx:224.0.0.1:2238", links)->text(),
              "WSJT-X UDP 224.0.0.1:2238");
    EXPECT_EQ(tuning::ParseFallback("kenwood", links)->link, Link::Kenwood);
    for (const char* bad : {"radio", "rigctld:", "rigctld:host:99999", "civ:2", "wsjtx:x"})
        EXPECT_FALSE(tuning::ParseFallback(bad, links).has_value()) << bad;

    // Blank or missing: none, and nothing told.
    core::SettingsReport report;
    EXPECT_FALSE(tuning::ReadFallback(ini, links, &report).link);
    EXPECT_TRUE(report.isEmpty());
    // A rig on the serial port beside a CI-V rig on the same port: never.
    test_support::WriteFile(ini, "[rig]\nlink=civ\nfallback=kenwood\n");
    EXPECT_FALSE(tuning::ReadFallback(ini, links, &report).link);
    ASSERT_EQ(report.unused().size(), 1u);
    EXPECT_TRUE(report.text().contains("same serial port")) << report.text().toStdString();
    test_support::WriteFile(ini, "[rig]\nlink=civ\nfallback=rigctld:shack2\n");
    EXPECT_EQ(tuning::ReadFallback(ini, links, &report).text(), "rigctld shack2:4600");
    EXPECT_TRUE(tuning::ParseFallback("serial", links)->sharesLineWith(Link::Simulated));
    EXPECT_FALSE(tuning::ParseFallback("civ", links)->sharesLineWith(Link::Rigctld));
}
