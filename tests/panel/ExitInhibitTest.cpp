// The way out releases the transmit-inhibit line once the last turn's tail has passed.
#include "core/ConfigFile.h"
#include "engine/TransmitInhibitFixture.h"
#include "panel/ExitPath.h"

#include <QTemporaryDir>

using engine::TurnOrigin;
using namespace engine_test;

namespace {

// The way out, during a turn or right after it (before its tail has passed).
struct WayOut : engine_test::TransmitInhibit {
    QTemporaryDir dir;
    core::ConfigFile config{state, platform, dir.path()};
    panel::ExitPath exit{state, platform, engine, drive, config};

    void turnAndEnd(bool midTurn) {
        if (midTurn)
            platform.scheduleAfter(100, [&] { exit.EndProgram(false); });
        engine.TurnTo({50, TurnOrigin::Window});
        if (!midTurn)
            exit.EndProgram(false);
        const LogReading r = reading();
        EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
        ASSERT_EQ(r.stretches.size(), 1u);
        EXPECT_TRUE(r.stretches[0].releasedMs);
        EXPECT_TRUE(lpt.Inp32(888) & Line) << "the port left with the line released";
    }
};

} // namespace

TEST_F(WayOut, rightAfterATurn_releasesTheLineOnceTheTailHasPassed) {
    turnAndEnd(false);
}

TEST_F(WayOut, thatStopsATurn_releasesTheLineATailAfterItsLastStep) {
    turnAndEnd(true);
    EXPECT_LT(state.StepCounter, 50);
}
