// Following a rig that announces its dial (an IC-7300's CI-V transceive, a TS-590's
// auto-information): the announcement moves the stepper without waiting for a poll, the rig's
// transmit holds it, on the virtual clock.
#include "rig/CivRig.h"
#include "rig/CivTransceiver.h"
#include "rig/KenwoodRig.h"
#include "rig/KenwoodTransceiver.h"
#include "rig/ScriptedLine.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "tuning/RigTuningFixture.h"

#include <algorithm>

namespace {

// The 40 m rows 7000 kHz at 100, 7100 at 150 and 7200 at 200; the rig on COM1 (link= in
// Ventrolo.ini), its dial brought to the start-up row and the stepper there.
struct AnnouncingRigFixture : tuning_test::RigTuningFixture {
    rig_test::ScriptedLine line{platform};

    void open(const QByteArray& link, const std::function<std::int64_t()>& dialHz) {
        platform.processQtEvents = true;
        state.ComPort = 1;
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=" + link + "\n");
        links.Load();
        loadTable("7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n");
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.port().portOpen());
        for (int i = 0; i < 3; ++i)
            poll();
        ASSERT_EQ(dialHz(), 7000000);
        ASSERT_EQ(state.StepCounter, 100);
    }
    void TearDown() override {
        tuning.port().ComPortOpen(0);
        tuning.port().SelectSimulatedRig(); // the tuning outlives the CI-V link
    }
    // The event loop for ms, as the program runs it.
    void run(double ms) {
        for (double ran = 0; ran < ms; ran += 5)
            platform.advance(5);
    }
};

struct CivFollowingTest : AnnouncingRigFixture {
    rig_test::CivTransceiver ic7300;
    rig::CivRig civ{platform, line, log};

    void SetUp() override {
        line.echo = true;
        line.rig = [this](const QByteArray& frame) { return ic7300.answer(frame); };
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Civ, civ);
        open("civ", [this] { return ic7300.dialHz; });
    }
    // The rig's dial turned to hz, and the rig announcing it to all (transceive).
    void dialTurnedTo(std::int64_t hz, const char* announcement) {
        ic7300.dialHz = hz;
        line.arrive(QByteArray::fromHex(announcement));
    }
};

struct KenwoodFollowingTest : AnnouncingRigFixture {
    rig_test::KenwoodTransceiver ts590;
    rig::KenwoodRig kenwood{platform, line, log};

    void SetUp() override {
        line.rig = [this](const QByteArray& command) { return ts590.answer(command); };
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Kenwood, kenwood);
        open("kenwood", [this] { return ts590.dialHz; });
    }
};

} // namespace

TEST_F(CivFollowingTest, theRigsAnnouncementMovesTheStepperAtOnce_notWhileItTransmits) {
    // 7.100 MHz announced: confirmed by one read and followed long before the next poll.
    dialTurnedTo(7100000, "fefe0094000000100700fd");
    run(150);
    EXPECT_EQ(state.StepCounter, 150);
    EXPECT_LT(150, state.ComPollMs);

    // An announcement the rig's own read does not bear out (a damaged frame) moves nothing.
    line.arrive(QByteArray::fromHex("fefe0094000000200700fd"));
    run(150);
    EXPECT_EQ(state.StepCounter, 150);

    // Keyed by its microphone, the rig's dial moves: the stepper waits for the end of transmit.
    ic7300.transmitting = true;
    dialTurnedTo(7200000, "fefe0094000000200700fd");
    run(150);
    poll();
    EXPECT_TRUE(tuning.rigTransmitting());
    EXPECT_EQ(state.StepCounter, 150);
    ic7300.transmitting = false;
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 200);
}

TEST_F(KenwoodFollowingTest, theRigsAutoInformationMovesTheStepperAtOnce_notWhileItTransmits) {
    ASSERT_TRUE(ts590.autoInfo);
    ts590.dialHz = 7100000;
    line.arrive("FA00007100000;");
    run(150);
    EXPECT_EQ(state.StepCounter, 150);

    // Its IF report tells transmit: the dial moved while keyed, the stepper waits for the end.
    ts590.dialHz = 7200000;
    ts590.transmitting = true;
    line.arrive("IF00007200000     +00000000012000000 ;");
    run(150);
    EXPECT_TRUE(tuning.rigTransmitting());
    EXPECT_EQ(state.StepCounter, 150);
    ts590.transmitting = false;
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 200);

    tuning.port().ComPortOpen(0);
    EXPECT_FALSE(ts590.autoInfo);
}

TEST_F(CivFollowingTest, anAnnouncementDuringAPoll_countsOnceThePollHasAnswered) {
    // The poll under way reads the dial from before the change; the announcement then counts as
    // the first reading and one read bears it out, long before the next poll.
    tuning.PollRig();
    dialTurnedTo(7100000, "fefe0094000000100700fd");
    run(150);
    EXPECT_EQ(state.StepCounter, 150);
    EXPECT_LT(150, state.ComPollMs);
}

TEST_F(CivFollowingTest,
       aPolledNewFrequencyIsCheckedAtOnce_byFrequencyAndTransmitAlone_oncePerPoll) {
    const auto asked = [this](const char* hex) {
        return std::count(line.written.begin(), line.written.end(), QByteArray::fromHex(hex));
    };
    // The dial turned with transceive off: the poll reads it, and the check right after it bears
    // it out: the stepper arrives before the next poll reads the rig again.
    ic7300.dialHz = 7100000;
    line.written.clear();
    const double changedAt = platform.steadyMs();

    while (state.StepCounter != 150 && platform.steadyMs() - changedAt < 3 * state.ComPollMs)
        run(5);
    ASSERT_EQ(state.StepCounter, 150);
    EXPECT_EQ(asked("fefe94e003fd"), 2);
    EXPECT_EQ(asked("fefe94e004fd"), 1); // the check leaves out the mode

    // A line that reads a new frequency every time is checked once per poll, not without rest,
    // and moves nothing.
    line.rig = [this](const QByteArray& frame) {
        if (frame == QByteArray::fromHex("fefe94e003fd"))
            ic7300.dialHz += 1000;
        return ic7300.answer(frame);
    };
    line.written.clear();
    run(4 * state.ComPollMs);
    EXPECT_EQ(state.StepCounter, 150);
    EXPECT_LE(asked("fefe94e003fd"), 10);
    EXPECT_GE(asked("fefe94e003fd"), 6);
}

TEST_F(CivFollowingTest,
       pollsReadingADialNoAnnouncementTold_sayTheAnnouncementsStopped_untilOneComes) {
    test_support::LogCapture capture;
    const auto& announcements = tuning.announcements();
    // Transceive off from the start: nothing announced, nothing watched.
    ic7300.dialHz = 7100000;
    for (int i = 0; i < 5; ++i)
        poll();
    ASSERT_EQ(state.StepCounter, 150);
    EXPECT_FALSE(announcements.stopped());

    // Heard announcing; a quiet dial then announces nothing for long, which is no silence.
    dialTurnedTo(7200000, "fefe0094000000200700fd");
    run(150);
    ASSERT_EQ(state.StepCounter, 200);
    for (int i = 0; i < 20; ++i)
        poll();
    // Nor is the dial the program sets itself, which the rig does not announce.
    tuning.SetRigFrequency(7000);
    for (int i = 0; i < 5; ++i)
        poll();
    ASSERT_EQ(ic7300.dialHz, 7000000);
    EXPECT_FALSE(announcements.stopped());
    EXPECT_TRUE(capture.with("announcements").isEmpty());

    // Transceive switched off on the rig: the polls read a dial nobody announced and carry
    // following on their own.
    ic7300.dialHz = 7100000;
    poll();
    EXPECT_FALSE(announcements.stopped()); // a poll may read a change before its announcement
    poll();
    poll();
    EXPECT_TRUE(announcements.stopped());
    EXPECT_EQ(announcements.text(), "announcements stopped; polling carries following");
    EXPECT_EQ(state.StepCounter, 150);
    ic7300.dialHz = 7200000;
    for (int i = 0; i < 5; ++i)
        poll();
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_EQ(capture.with("announcements stopped").size(), 1);

    // Transceive on again: the first announcement clears it, with one line.
    dialTurnedTo(7100000, "fefe0094000000100700fd");
    run(150);
    EXPECT_FALSE(announcements.stopped());
    EXPECT_EQ(capture.with("announcements came back").size(), 1);

    // Closing forgets what was heard: a link opened anew is watched once it announces.
    ic7300.dialHz = 7200000;
    for (int i = 0; i < 3; ++i)
        poll();
    ASSERT_TRUE(announcements.stopped());
    tuning.port().ComPortOpen(0);
    EXPECT_FALSE(announcements.stopped());
}

TEST_F(KenwoodFollowingTest, autoInformationLostWithTheRigsPower_isNoticed_andPollsFollow) {
    const auto& announcements = tuning.announcements();
    ts590.dialHz = 7100000;
    line.arrive("FA00007100000;");
    run(150);
    ASSERT_EQ(state.StepCounter, 150);

    // Switched off and on, the rig has forgotten AI2: the dial moves unannounced.
    ts590.autoInfo = false;
    ts590.dialHz = 7200000;
    for (int i = 0; i < 3; ++i)
        poll();
    EXPECT_TRUE(announcements.stopped());
    EXPECT_EQ(state.StepCounter, 200);

    line.arrive("FA00007100000;");
    ts590.dialHz = 7100000;
    run(150);
    EXPECT_FALSE(announcements.stopped());

    // The line lost for a while, the dial turned meanwhile: what the rig announced went nowhere,
    // which is no sign that its announcements stopped.
    const auto answer = line.rig;
    line.rig = [](const QByteArray&) { return QByteArray(); };
    for (int i = 0; i < 2; ++i)
        poll();
    ts590.dialHz = 7200000;
    line.rig = answer;
    for (int i = 0; i < 5; ++i)
        poll();
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_FALSE(announcements.stopped());
}
