// The builder on the virtual clock: the modelled loop measured through the simulated VNA or an
// emulated NanoVNA, the stepper a fake that moves the loop's capacitor.
#include "EmulatedPort.h"
#include "FakeMover.h"
#include "NanoVnaEmulator.h"
#include "support/FakePlatform.h"
#include "table/RowBandwidth.h"
#include "table/TableFile.h"
#include "table/TableLookup.h"
#include "vna/BuildCsv.h"
#include "vna/DetectedVna.h"
#include "vna/SimulatedVna.h"
#include "vna/TableBuilder.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace vna;
using namespace vna_test;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A sweep of the VNA it wraps, noting when each began and whether the rig transmitted then.
class WatchedVna final : public Vna {
public:
    WatchedVna(Vna& inner, testing_support::FakePlatform& platform, FakeMover& mover)
        : inner_(inner), platform_(platform), mover_(mover) {}
    Result<VnaIdentity> open() override { return inner_.open(); }
    Result<Sweep> sweep(const SweepRequest& request) override {
        starts.push_back(platform_.steadyMs());
        sweptWhileTransmitting += mover_.transmitting() ? 1 : 0;
        return inner_.sweep(request);
    }
    void close() override {
        ++closings;
        inner_.close();
    }
    void abort() override { inner_.abort(); }
    QString description() const override { return inner_.description(); }

    std::vector<double> starts;
    int sweptWhileTransmitting = 0;
    int closings = 0;

private:
    Vna& inner_;
    testing_support::FakePlatform& platform_;
    FakeMover& mover_;
};

class TableBuilderTest : public ::testing::Test {
protected:
    BuildRequest fortyMetres() const {
        BuildRequest request;
        request.lowKHz = 7000;
        request.highKHz = 7200;
        request.lowPosition = 0;
        request.highPosition = 2000;
        request.everyKHz = 5;
        request.minPosition = 0;
        request.maxPosition = 2000;
        request.tablePath = tablePath();
        return request;
    }
    QString tablePath() const { return dir.filePath("40m.cat"); }

    BuildResult build(Vna& vna, const BuildRequest& request) {
        TableBuilder builder(platform, vna, mover);
        QObject::connect(&builder, &TableBuilder::progressed,
                         [this](const BuildProgress& p) { progress.push_back(p); });
        builder_ = &builder;
        BuildResult result = builder.run(request);
        builder_ = nullptr;
        return result;
    }
    void cancelAt(double ms) {
        platform.scheduleAt(ms, [this] {
            if (builder_)
                builder_->cancel();
        });
    }

    // The share of random frequencies of the band whose table position, approached from below,
    // tunes the loop to within a quarter of its bandwidth.
    double accuracy(const table::TableData& table, int samples = 200) const {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> pick(7000, 7200);
        int within = 0;
        for (int i = 0; i < samples; ++i) {
            const double kHz = pick(random);
            const table::Lookup lookup = table::LookUpPosition(table, core::Single(kHz));
            if (!lookup.ok())
                continue;
            const double shaft = double(lookup.position) - loop.parameters().backlashSteps;
            const double resonance = loop.resonanceHzAt(shaft);
            within += std::abs(resonance - kHz * 1000) <= loop.bandwidthHzAt(resonance) / 4 ? 1 : 0;
        }
        return double(within) / samples;
    }

    testing_support::FakePlatform platform;
    QTemporaryDir dir;
    LoopModel loop{LoopParameters{}, 0};
    FakeMover mover{platform, loop, 0};
    SimulatedVna simulated{platform, loop};
    std::vector<BuildProgress> progress;
    TableBuilder* builder_ = nullptr;
};

} // namespace

TEST_F(TableBuilderTest, fortyMetres_tableFollowsTheLoopWithinAQuarterBandwidth_inMinutes) {
    const BuildResult result = build(simulated, fortyMetres());
    ASSERT_EQ(result.status, BuildResult::Status::Built) << result.message.toStdString();
    EXPECT_LT(platform.steadyMs(), 10 * 60'000.0);

    const table::TableFileRead file = table::ReadTableFile(tablePath());
    ASSERT_EQ(file.status, table::TableFileRead::Status::Read);
    EXPECT_TRUE(file.contents.problems.isEmpty()) << file.contents.problems.join("; ").toStdString();
    ASSERT_EQ(file.contents.rows.size(), 41u); // every 5 kHz from 7000 to 7200
    EXPECT_EQ(file.contents.header->text, "2:200:0");
    for (const table::TableRow& row : file.contents.rows)
        EXPECT_TRUE(table::RowBandwidth(row.text)) << row.text.toStdString();
    EXPECT_GE(accuracy(result.table), 0.95);
    EXPECT_EQ(result.check.total, 10);
    EXPECT_EQ(result.check.passed, 10);
    EXPECT_LT(result.repeatability.backlashSteps, 0.5);
    EXPECT_EQ(result.repeatability.overlaySteps, 0);

    // Every measurement is in the CSV beside the table.
    EXPECT_EQ(result.csvPath, dir.filePath("40m-vna.csv"));
    const QList<QByteArray> csv = Read(result.csvPath).split('\n');
    EXPECT_EQ(csv.front(), "seconds,phase,position,approach,resonance_kHz,swr,bandwidth_kHz,q\r");
    EXPECT_EQ(qsizetype(result.measurements.size()), csv.size() - 2);
    EXPECT_TRUE(Read(result.csvPath).contains(",repeat,"));

    // Progress grows to the end, with the time left falling to nothing.
    ASSERT_GT(progress.size(), 50u);
    for (std::size_t i = 1; i < progress.size(); ++i)
        EXPECT_GE(progress[i].fraction, progress[i - 1].fraction) << i;
    EXPECT_GT(progress[progress.size() / 2].secondsLeft, 0);
    EXPECT_TRUE(progress.back().activity.startsWith("40m.cat: 41 rows, 7000–7200 kHz"));
    EXPECT_EQ(progress.back().fraction, 1.0);
    EXPECT_EQ(progress.back().secondsLeft, 0);
}

TEST_F(TableBuilderTest, backlash_isReportedAndTheOverlayThatTakesItUpOffered) {
    LoopParameters withPlay;
    withPlay.backlashSteps = 6;
    loop = LoopModel(withPlay, 0);
    BuildRequest request = fortyMetres();
    request.spacing = BuildRequest::Spacing::WhereCurveBends;
    const BuildResult result = build(simulated, request);
    ASSERT_EQ(result.status, BuildResult::Status::Built) << result.message.toStdString();
    EXPECT_NEAR(result.repeatability.backlashSteps, 6, 0.7);
    EXPECT_EQ(result.repeatability.overlaySteps, 6);
    EXPECT_LT(result.repeatability.spreadSteps, 1.5);
    ASSERT_EQ(result.repeatability.positions.size(), 3u);
    // Built from below, the table follows the loop when turns end from below, as with the
    // overlay; it needs far fewer rows where the curve bends little.
    EXPECT_GE(accuracy(result.table), 0.95);
    EXPECT_LT(result.table.TableLast, 10);
}

TEST_F(TableBuilderTest, existingTable_refusedUnlessToldOrGivenANewName) {
    Write(tablePath(), "old table");
    BuildRequest request = fortyMetres();
    const BuildResult refused = build(simulated, request);
    EXPECT_EQ(refused.status, BuildResult::Status::Failed);
    EXPECT_EQ(refused.message, "The table 40m.cat exists; it is built over only when you say so. "
                               "No table was written.");
    EXPECT_TRUE(mover.moves.empty());

    request.existing = BuildRequest::Existing::NewName;
    const BuildResult renamed = build(simulated, request);
    ASSERT_EQ(renamed.status, BuildResult::Status::Built);
    EXPECT_EQ(renamed.tablePath, dir.filePath("40m-2.cat"));
    EXPECT_EQ(Read(tablePath()), "old table");

    request.existing = BuildRequest::Existing::Overwrite;
    ASSERT_EQ(build(simulated, request).status, BuildResult::Status::Built);
    EXPECT_EQ(table::ReadTableFile(tablePath()).contents.rows.size(), 41u);
}

TEST_F(TableBuilderTest, cancel_stopsAtOnce_leavesTheOldTableAndTheStepperWhereItStopped) {
    Write(tablePath(), "old table");
    BuildRequest request = fortyMetres();
    request.existing = BuildRequest::Existing::Overwrite;
    WatchedVna watched(simulated, platform, mover);
    constexpr double CancelMs = 70'000;
    cancelAt(CancelMs);
    const BuildResult result = build(watched, request);
    EXPECT_EQ(result.status, BuildResult::Status::Cancelled);
    EXPECT_EQ(result.message, "The build was stopped; no table was written.");
    EXPECT_EQ(Read(tablePath()), "old table");
    EXPECT_FALSE(QFile::exists(CsvPathFor(tablePath())));
    for (const FakeMover::Request& move : mover.moves)
        EXPECT_LT(move.atMs, CancelMs);
    EXPECT_LT(watched.starts.back(), CancelMs);
    EXPECT_LT(platform.steadyMs(), CancelMs + 20); // at once, in the middle of a sweep or turn
    EXPECT_EQ(watched.closings, 1);
}

TEST_F(TableBuilderTest, rigTransmits_nothingTurnsOrSweeps_andTheBuildGoesOn) {
    WatchedVna watched(simulated, platform, mover);
    const std::vector<std::pair<double, double>> transmitting = {{30'000, 45'000}, {90'500, 91'000},
                                                                 {150'000, 170'000}};
    for (const auto& [on, off] : transmitting) {
        platform.scheduleAt(on, [this] { mover.transmit = true; });
        platform.scheduleAt(off, [this] { mover.transmit = false; });
    }
    const BuildResult result = build(watched, fortyMetres());
    ASSERT_EQ(result.status, BuildResult::Status::Built) << result.message.toStdString();
    EXPECT_EQ(watched.sweptWhileTransmitting, 0);
    for (const auto& [on, off] : transmitting) {
        for (const FakeMover::Request& move : mover.moves)
            EXPECT_FALSE(move.atMs > on && move.atMs < off) << move.atMs;
    }
    EXPECT_EQ(mover.stepsWhileTransmitting, 0);
    EXPECT_GE(accuracy(result.table), 0.95);
    const auto waiting = std::find_if(progress.begin(), progress.end(), [](const BuildProgress& p) {
        return p.activity == "Waiting: the rig transmits";
    });
    EXPECT_NE(waiting, progress.end());
}

TEST_F(TableBuilderTest, vnaUnpluggedMidBuild_failsWithItsMessage_oldTableIntact) {
    Write(tablePath(), "old table");
    ShellEmulator device(ShellFirmware::H4(), [this](double hz) { return loop.measure(hz); });
    auto owned = std::make_unique<EmulatedPort>(platform, device);
    EmulatedPort& port = *owned;
    DetectedVna vna(std::move(owned), platform, "/dev/ttyACM0", Dialect::Auto);
    BuildRequest request = fortyMetres();
    request.existing = BuildRequest::Existing::Overwrite;
    platform.scheduleAt(40'000, [&port] { port.unplugged = true; });
    const BuildResult result = build(vna, request);
    EXPECT_EQ(result.status, BuildResult::Status::Failed);
    EXPECT_EQ(result.message, "The VNA on /dev/ttyACM0 is gone (unplugged?). No table was written.");
    EXPECT_EQ(Read(tablePath()), "old table");
    EXPECT_FALSE(QFile::exists(CsvPathFor(tablePath())));
}

TEST_F(TableBuilderTest, garbledReplies_onceIsSweptAgain_onAndOnStopsTheBuild) {
    ShellFirmware original = ShellFirmware::Original(); // text replies
    ShellEmulator device(original, [this](double hz) { return loop.measure(hz); });
    DetectedVna vna(std::make_unique<EmulatedPort>(platform, device), platform, "/dev/ttyACM0",
                    Dialect::Shell);
    platform.scheduleAt(60'000, [&device] { device.garbledScans = 1; });
    const BuildResult survived = build(vna, fortyMetres());
    ASSERT_EQ(survived.status, BuildResult::Status::Built) << survived.message.toStdString();
    EXPECT_GE(accuracy(survived.table), 0.95);

    BuildRequest again = fortyMetres();
    again.existing = BuildRequest::Existing::Overwrite;
    const QByteArray built = Read(tablePath());
    platform.scheduleAfter(60'000, [&device] { device.garbledScans = 1000; });
    const BuildResult stopped = build(vna, again);
    EXPECT_EQ(stopped.status, BuildResult::Status::Failed);
    EXPECT_TRUE(stopped.message.startsWith("The VNA's reply is garbled"))
        << stopped.message.toStdString();
    EXPECT_EQ(Read(tablePath()), built);
}

TEST_F(TableBuilderTest, positionsThatCutTheBand_buildWhatTheyReach_andTheReportSaysSo) {
    BuildRequest request = fortyMetres();
    const double middle = loop.shaftPositionFor(7100'000);
    request.highPosition = long(middle);
    const BuildResult cut = build(simulated, request);
    ASSERT_EQ(cut.status, BuildResult::Status::Built) << cut.message.toStdString();
    const double lowKHz = cut.table.TableFreq[1];
    EXPECT_NEAR(lowKHz, 7100, 2);
    EXPECT_EQ(cut.table.TableFreq[cut.table.TableLast], 7200);
    EXPECT_TRUE(cut.message.contains(QStringLiteral(" Only 7"))) << cut.message.toStdString();
    EXPECT_TRUE(cut.message.endsWith(QStringLiteral("–7200 kHz of the band 7000–7200 kHz "
                                                    "resonates between positions 0 and %1.")
                                         .arg(request.highPosition)))
        << cut.message.toStdString();

    request.highPosition = 2000;
    request.existing = BuildRequest::Existing::Overwrite;
    const BuildResult whole = build(simulated, request);
    ASSERT_EQ(whole.status, BuildResult::Status::Built) << whole.message.toStdString();
    EXPECT_FALSE(whole.message.contains("Only")) << whole.message.toStdString();
}

TEST_F(TableBuilderTest, aBandTheLoopDoesNotReach_failsSayingWhy_andWritesNoTable) {
    const auto buildBand = [&](double lowKHz, double highKHz) {
        BuildRequest request = fortyMetres();
        request.lowKHz = lowKHz;
        request.highKHz = highKHz;
        const BuildResult result = build(simulated, request);
        EXPECT_EQ(result.status, BuildResult::Status::Failed);
        EXPECT_FALSE(QFile::exists(tablePath()));
        return result.message;
    };
    EXPECT_EQ(buildBand(14000, 14350),
              "The loop shows no resonance in 14000–14350 kHz between positions 0 and 2000. Is "
              "the VNA connected to the loop? No table was written.");

    // The loop resonates from about 7960 kHz at position 0 downwards: seen at the lowest
    // positions in the search's wide sweeps, never in the band.
    const QString beyond = buildBand(8100, 8500);
    static const QRegularExpression told(QStringLiteral(
        "^The loop does not reach 8100–8500 kHz between positions 0 and 2000: at the nearest it "
        "resonates at (\\d+\\.\\d) kHz, at position 0\\. No table was written\\.$"));
    const QRegularExpressionMatch match = told.match(beyond);
    ASSERT_TRUE(match.hasMatch()) << beyond.toStdString();
    EXPECT_NEAR(match.captured(1).toDouble(), loop.resonanceHzAt(0) / 1000, 1);
}

namespace {

// A VNA whose narrow sweeps see no dip: the loop is lost once the band's measurement begins.
class DiplessNarrowSweeps final : public Vna {
public:
    explicit DiplessNarrowSweeps(Vna& inner) : inner_(inner) {}
    Result<VnaIdentity> open() override { return inner_.open(); }
    Result<Sweep> sweep(const SweepRequest& request) override {
        Result<Sweep> swept = inner_.sweep(request);
        if (swept.ok() && request.points < 201) {
            for (SweepPoint& point : *swept.value)
                point.s11 = {0.5, 0.2};
        }
        return swept;
    }
    void close() override { inner_.close(); }
    void abort() override { inner_.abort(); }
    QString description() const override { return inner_.description(); }

private:
    Vna& inner_;
};

} // namespace

TEST_F(TableBuilderTest, resonanceLostEverywhere_countsTheStopsItVisited) {
    DiplessNarrowSweeps dipless(simulated);
    const BuildResult result = build(dipless, fortyMetres());
    ASSERT_EQ(result.status, BuildResult::Status::Failed);
    static const QRegularExpression lost(QStringLiteral(
        "^The resonance was lost at (\\d+) of (\\d+) positions between \\d+ and \\d+\\."));
    const QRegularExpressionMatch match = lost.match(result.message);
    ASSERT_TRUE(match.hasMatch()) << result.message.toStdString();
    EXPECT_EQ(match.captured(1).toInt(), match.captured(2).toInt()) << result.message.toStdString();
    EXPECT_FALSE(QFile::exists(tablePath()));
}
