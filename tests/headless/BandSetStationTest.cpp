// Band sets on the station without windows, on the virtual clock, following the simulated
// rig: the table changes over with the band, and with two loops the stepper does.
#include "headless/HeadlessStation.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testing_support::FakePlatform;

QByteArray Table(const QByteArray& header, const QByteArray& rows) {
    return "\"Ventrolo.Version 1.24\"\r\n0,500,\"" + header + "\"\r\n" + rows;
}

struct BandSetStationTest : ::testing::Test {
    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<station::Station> station;
    std::unique_ptr<headless::HeadlessStation> face;

    // 40 m: 7000 kHz at step 100 to 7200 kHz at step 300; 20 m: 14000 at 400 to 14350 at 450.
    void SetUp() override {
        write("40m.cat", Table("0:200:0", "7000,100,\"\"\r\n7100,200,\"\"\r\n7200,300,\"\"\r\n"));
        write("20m.cat",
              Table("0:200:0", "14000,400,\"\"\r\n14200,420,\"\"\r\n14350,450,\"\"\r\n"));
    }
    void write(const QString& name, const QByteArray& bytes) {
        test_support::WriteFile(dir.filePath(name), bytes);
    }
    // Stepper 1 follows the simulated rig through 40m.cat from the start.
    bool start(const QByteArray& bandSets) {
        write("Ventrolo.ini", "[rig]\nlink=simulated\n" + bandSets);
        core::ProgramState state;
        state.PcSpeed = 1000;
        state.TableFileName = QStringLiteral("\\40m.cat");
        for (core::StepperProfile& profile : state.StoredProfiles) {
            profile.CustomDelayMs = 2;
            profile.TableWindowShown = true;
            profile.MainShown = false;
        }
        EXPECT_TRUE(core::ConfigFile(state, platform, dir.path()).SaveConfig());
        station = std::make_unique<station::Station>(dir.path(), platform,
                                                     std::make_unique<port::SimulatedLpt>());
        face = std::make_unique<headless::HeadlessStation>(*station);
        if (!face->start())
            return false;
        station->catLog().setTerminalShown(true);
        return station->following() && station->tuning().port().portOpen();
    }
    core::ProgramState& state() { return station->state(); }
    rig::RigEmulator& rig() { return station->simulatedRig().rig(); }
    void dial(double kHz) {
        rig().setFrequency(kHz);
        platform.advance(5000);
    }
    QString messagesText() const {
        QStringList texts;
        for (const auto& m : platform.messages)
            texts << m.text;
        return texts.join('\n');
    }
};

} // namespace

TEST_F(BandSetStationTest, leavingTheOpenTableForAnotherOfTheSetOpensItAndTheStepperFollows) {
    ASSERT_TRUE(start("[stepper1]\nbandset=40m.cat,20m.cat\n"));
    dial(7100);
    ASSERT_EQ(state().StepCounter, 200);
    // The terminal's buffer keeps the newest traffic only: the turn's transmit reads follow.
    bool toldInTerminal = false;
    const QString told = QStringLiteral("Band set: 20m.cat opened for 14200 kHz");
    const QObject listening; // ends the connection before what it writes to is gone
    QObject::connect(&station->catLog(), &rig::CatLog::terminalChanged, &listening, [&] {
        toldInTerminal = toldInTerminal || station->catLog().TerminalBuffer().contains(told);
    });
    dial(14200);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(state().StepCounter, 420);
    EXPECT_EQ(state().SelectedStepper, 0);
    EXPECT_TRUE(station->tuning().follower().locked());
    EXPECT_TRUE(station->tableView().StatusText().contains(told))
        << station->tableView().StatusText().toStdString();
    EXPECT_TRUE(toldInTerminal);
    // Between the bands, outside every table of the set, nothing moves and nothing opens.
    dial(10100);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(state().StepCounter, 420);
    // And back.
    dial(7200);
    EXPECT_EQ(state().TableFileName, "\\40m.cat");
    EXPECT_EQ(state().StepCounter, 300);
    EXPECT_FALSE(station->tableView().StatusText().contains(told));
    EXPECT_TRUE(platform.messages.empty()) << messagesText().toStdString();
}

TEST_F(BandSetStationTest, aTableOutsideTheSetOrAnUnconfirmedReadingOpensNothing) {
    write("15m.cat", Table("0:200:0", "21000,100,\"\"\r\n21450,200,\"\"\r\n"));
    ASSERT_TRUE(start("[stepper1]\nbandset=40m.cat,20m.cat\n"));
    dial(7100);
    dial(21200); // a table file, but not in the set
    EXPECT_EQ(state().TableFileName, "\\40m.cat");
    EXPECT_EQ(state().StepCounter, 200);
}

TEST_F(BandSetStationTest, theNewTablesOffsetIsKeptWithoutAQuestion) {
    write("20m.cat", Table("0:200:5", "14000,400,\"\"\r\n14200,420,\"\"\r\n14350,450,\"\"\r\n"));
    platform.answerNextMessage(platform::Answer::Yes); // were "Reset it to zero ?" asked
    ASSERT_TRUE(start("[stepper1]\nbandset=40m.cat,20m.cat\n"));
    dial(7100);
    dial(14200);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(station->tableEditor().data().StepperOffset, 5);
    EXPECT_EQ(state().StepCounter, 425);
    EXPECT_TRUE(platform.messages.empty()) << messagesText().toStdString();
}

TEST_F(BandSetStationTest, theChangeoverTurnWaitsWhileTheRigTransmits) {
    ASSERT_TRUE(start("[stepper1]\nbandset=40m.cat,20m.cat\n"));
    dial(7100);
    rig().setTransmit(true);
    dial(14200);
    EXPECT_EQ(state().StepCounter, 200);
    rig().setTransmit(false);
    platform.advance(5000);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(state().StepCounter, 420);
}

TEST_F(BandSetStationTest, aMissingTableOfTheSetIsSkippedWithOneWarning) {
    test_support::LogCapture log;
    const bool started = start("[stepper1]\nbandset=15m.cat,40m.cat,20m.cat\n");
    dial(7100);
    dial(21200);
    dial(10100);
    dial(14200);
    const QStringList lines = log.of("ventrolo.table.bandset");
    ASSERT_TRUE(started);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(state().StepCounter, 420);
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].contains("15m.cat"));
}

TEST_F(BandSetStationTest, twoLoops_theStepperWhoseSetCoversTheFrequencyBecomesTheWorkingOne) {
    write("30m.cat", Table("0:200:0", "10100,250,\"\"\r\n10150,260,\"\"\r\n"));
    ASSERT_TRUE(start("[stepper1]\nbandset=40m.cat,30m.cat\n[stepper2]\nbandset=20m.cat\n"));
    dial(7100);
    ASSERT_EQ(state().StepCounter, 200);
    // The terminal's buffer keeps the newest traffic only: the turn's transmit reads follow.
    bool toldInTerminal = false;
    const QString told = QStringLiteral("Band set: 20m.cat opened for 14200 kHz");
    const QObject listening; // ends the connection before what it writes to is gone
    QObject::connect(&station->catLog(), &rig::CatLog::terminalChanged, &listening, [&] {
        toldInTerminal = toldInTerminal || station->catLog().TerminalBuffer().contains(told);
    });
    dial(14200);
    EXPECT_EQ(state().SelectedStepper, 1);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(state().StepCounter, 420);
    EXPECT_EQ(state().StoredProfiles[0].StepCounter, 200); // the first loop stays where it was
    EXPECT_TRUE(station->tableView().StatusText().contains(
        "Band set: stepper 2, 20m.cat opened for 14200 kHz"));
    // Back on the first loop's bands: stepper 1 again, on its other table.
    dial(10100);
    EXPECT_EQ(state().SelectedStepper, 0);
    EXPECT_EQ(state().TableFileName, "\\30m.cat");
    EXPECT_EQ(state().StepCounter, 250);
    EXPECT_EQ(state().StoredProfiles[1].StepCounter, 420);
    EXPECT_TRUE(platform.messages.empty()) << messagesText().toStdString();
}

TEST_F(BandSetStationTest, twoLoops_aFrequencyBothSetsCoverKeepsTheWorkingStepper) {
    write("20mb.cat", Table("0:200:0", "14000,40,\"\"\r\n14350,90,\"\"\r\n"));
    ASSERT_TRUE(start("[stepper1]\nbandset=40m.cat,20m.cat\n[stepper2]\nbandset=20mb.cat\n"));
    dial(7100);
    dial(14200);
    EXPECT_EQ(state().SelectedStepper, 0);
    EXPECT_EQ(state().TableFileName, "\\20m.cat");
    EXPECT_EQ(state().StepCounter, 420);
}
