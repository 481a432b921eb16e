// Following an IC-7300 on its CI-V bus: the dial's own announcements move the stepper without
// waiting for a poll, and the rig's transmit holds it, on the virtual clock.
#include "rig/CivRig.h"
#include "rig/CivTransceiver.h"
#include "rig/RigTuningFixture.h"
#include "rig/ScriptedLine.h"
#include "support/QtPrinters.h"

namespace {

// The 40 m rows 7000 kHz at 100, 7100 at 150 and 7200 at 200; the IC-7300 on COM1, its dial
// brought to the start-up row and the stepper there.
struct CivFollowingTest : rig_test::RigTuningFixture {
    rig_test::ScriptedLine line{platform};
    rig_test::CivTransceiver ic7300;
    rig::CivRig civ{platform, line, log};

    void SetUp() override {
        platform.processQtEvents = true;
        line.echo = true;
        line.rig = [this](const QByteArray& frame) { return ic7300.answer(frame); };
        state.ComPort = 1;
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=civ\n");
        links.Load();
        tuning.setCivRig(civ);
        loadTable("7000,100,\"\"\r\n7100,150,\"\"\r\n7200,200,\"\"\r\n");
        ASSERT_TRUE(tuning.civLink());
        tuning.ComportClicked();
        ASSERT_TRUE(tuning.portOpen());
        for (int i = 0; i < 3; ++i)
            poll();
        ASSERT_EQ(ic7300.dialHz, 7000000);
        ASSERT_EQ(state.StepCounter, 100);
    }
    void TearDown() override {
        tuning.ComPortOpen(0);
        tuning.SelectSimulatedRig(); // the tuning outlives the CI-V link
    }
    // The event loop for ms, as the program runs it.
    void run(double ms) {
        for (double ran = 0; ran < ms; ran += 5)
            platform.advance(5);
    }
    // The rig's dial turned to hz, and the rig announcing it to all (transceive).
    void dialTurnedTo(std::int64_t hz, const char* announcement) {
        ic7300.dialHz = hz;
        line.arrive(QByteArray::fromHex(announcement));
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
