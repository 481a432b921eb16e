// The station's table build with the simulated VNA on the virtual clock: the real engine
// turns the stepper (origin VnaBuild), the simulated rig's transmit holds it, Stop cancels it.
#include "port/SimulatedLpt.h"
#include "station/Station.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"
#include "table/TableFile.h"
#include "table/TableLookup.h"
#include "vna/LoopModel.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {

using vna::BuildResult;
using vna::BuildSession;

class VnaBuildTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    std::unique_ptr<station::Station> station;

    // Stepper 1 within 0..2000, a step a millisecond; the rig and the VNA simulated.
    VnaBuildTest() {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                                "[rig]\nlink=simulated\n[vna]\nport=simulated\n");
        core::ProgramState saved;
        saved.PcSpeed = 1000;
        saved.StoredProfiles[0].CustomDelayMs = 1;
        saved.StoredProfiles[0].MinPosition = 0;
        saved.StoredProfiles[0].MaxPosition = 2000;
        saved.StoredProfiles[0].StepsPer360 = 200;
        saved.StoredProfiles[0].MainShown = false;
        EXPECT_TRUE(core::ConfigFile(saved, platform, dir.path()).SaveConfig());
        station = std::make_unique<station::Station>(dir.path(), platform,
                                                     std::make_unique<port::SimulatedLpt>());
        EXPECT_TRUE(station->load());
        station->mainInit().InitMain(false);
        platform.processQtEvents = true;
    }
    BuildSession& session() { return station->vnaBuild(); }
    vna::BuildRequest fortyMetres(vna::BuildRequest::Existing existing =
                                      vna::BuildRequest::Existing::Refuse) {
        vna::BuildAsk ask;
        ask.lowKHz = 7000;
        ask.highKHz = 7200;
        const auto request = session().Request(ask, existing);
        EXPECT_TRUE(request.ok()) << request.error.toStdString();
        return request.value.value_or(vna::BuildRequest{});
    }
    // Starts the build and serves the events until it has ended.
    BuildResult build(const vna::BuildRequest& request) {
        EXPECT_EQ(session().Start(request), QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !session().running(); }, 60000));
        return session().result().value_or(BuildResult{});
    }
};

TEST_F(VnaBuildTest, theSimulatedLoopIsBuilt_itsTableWithinAQuarterBandwidth) {
    const BuildResult result = build(fortyMetres());
    ASSERT_EQ(result.status, BuildResult::Status::Built) << result.message.toStdString();
    EXPECT_EQ(result.tablePath, dir.filePath("7000-7200kHz.cat"));
    EXPECT_FALSE(session().pictureSvg().isEmpty());

    const table::TableFileRead read = table::ReadTableFile(result.tablePath);
    ASSERT_EQ(read.status, table::TableFileRead::Status::Read);
    EXPECT_TRUE(read.contents.problems.isEmpty());
    EXPECT_EQ(int(read.contents.rows.size()), int(result.table.TableLast));
    const table::TableData& written = result.table;
    const vna::LoopModel loop;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> pick(7000, 7200);
    int within = 0;
    for (int i = 0; i < 50; ++i) {
        const double kHz = pick(random);
        const table::Lookup lookup = table::LookUpPosition(written, core::Single(kHz));
        ASSERT_TRUE(lookup.ok());
        const double resonance = loop.resonanceHzAt(double(lookup.position));
        within += std::abs(resonance - kHz * 1000) <= loop.bandwidthHzAt(resonance) / 4;
    }
    EXPECT_GE(within, 48);
}

TEST_F(VnaBuildTest, whileTheRigTransmits_nothingTurns_andTheBuildGoesOnAfterwards) {
    ASSERT_TRUE(station->watchRig());
    // The counter shown when the gate stopped the turn is where the stepper stays.
    std::optional<core::Long> heldAt;
    int stepsWhileTransmitting = 0;
    bool waitingShown = false;
    QObject::connect(&station->engine(), &engine::Engine::counterChanged, [&](core::Long counter) {
        if (!station->tuning().transmitting())
            heldAt.reset();
        else if (!heldAt)
            heldAt = counter;
        else
            stepsWhileTransmitting += counter != *heldAt;
    });
    QObject::connect(&session(), &BuildSession::progressed, [&] {
        waitingShown |= session().progress().activity.contains("the rig transmits");
    });
    // Keyed twice: once while searching, once while measuring the band.
    for (const double at : {20'000.0, 90'000.0}) {
        platform.scheduleAfter(at, [this] { station->simulatedRig().rig().setTransmit(true); });
        platform.scheduleAfter(at + 15'000,
                               [this] { station->simulatedRig().rig().setTransmit(false); });
    }
    const BuildResult result = build(fortyMetres());
    EXPECT_EQ(result.status, BuildResult::Status::Built) << result.message.toStdString();
    EXPECT_TRUE(waitingShown);
    EXPECT_EQ(stepsWhileTransmitting, 0);
}

TEST_F(VnaBuildTest, stopCancelsAtOnce_theStepperStaysWhereItStopped_andTheOldTableStays) {
    const QByteArray old = "\"Ventrolo.Version 1.24\"\r\n0,2000,\"0:200:0\"\r\n7000,100,\"\"\r\n";
    test_support::WriteFile(dir.filePath("7000-7200kHz.cat"), old);
    // Refused without the owner's word, then built over it when told so.
    EXPECT_TRUE(session().Start(fortyMetres()).contains("exists"));
    EXPECT_FALSE(session().running());

    core::Long stoppedAt = -1;
    platform.scheduleAfter(30'000, [&] {
        station->engine().StopTurningAndFollowing(); // Esc
        stoppedAt = station->state().StepCounter;
    });
    const BuildResult result = build(fortyMetres(vna::BuildRequest::Existing::Overwrite));
    EXPECT_EQ(result.status, BuildResult::Status::Cancelled);
    EXPECT_LT(platform.steadyMs(), 32'000);
    EXPECT_EQ(station->state().StepCounter, stoppedAt);
    EXPECT_EQ(test_support::ReadFile(dir.filePath("7000-7200kHz.cat")), old);
    EXPECT_TRUE(session().pictureSvg().isEmpty());

    // The next build starts afresh.
    EXPECT_EQ(build(fortyMetres(vna::BuildRequest::Existing::NewName)).status,
              BuildResult::Status::Built);
    EXPECT_EQ(session().result()->tablePath, dir.filePath("7000-7200kHz-2.cat"));
}

TEST_F(VnaBuildTest, aTableBuiltOverTheOneOpen_isReadAgain) {
    test_support::WriteFile(dir.filePath("7000-7200kHz.cat"),
                            "\"Ventrolo.Version 1.24\"\r\n0,2000,\"0:200:0\"\r\n7000,100,\"\"\r\n");
    station->state().TableFileName = "\\7000-7200kHz.cat";
    ASSERT_TRUE(station->openFollowing());
    ASSERT_EQ(station->tableEditor().data().dataRows(), 1);
    const BuildResult result = build(fortyMetres(vna::BuildRequest::Existing::Overwrite));
    ASSERT_EQ(result.status, BuildResult::Status::Built);
    EXPECT_GT(result.table.dataRows(), 10);
    EXPECT_EQ(station->tableEditor().data().dataRows(), result.table.dataRows());
    EXPECT_FALSE(station->tableEditor().TableChanged());
}

} // namespace
