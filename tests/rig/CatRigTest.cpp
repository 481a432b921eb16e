// The Yaesu CAT link as every other link is seen: a RigConnection.
#include "rig/CatRig.h"

#include "rig/CatControl.h"
#include "rig/SimulatedRig.h"
#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace rig;

TEST(CatRigTest, aReadingIsToldFromTheEventLoop_notFromTheLinesHandler_andWithoutTheRigAtOnce) {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    platform.processQtEvents = false; // the event loop runs only where the test says
    core::ProgramState state;
    state.RigModel = static_cast<core::Integer>(Model::Ft857);
    CatLog log{state, platform, dir.path()};
    SimulatedRig simulated{platform};
    simulated.rig().setModel(Model::Ft857);
    simulated.rig().setFrequency(7050);
    CatControl cat{state, platform, log, simulated, dir.path()};
    CatRig link{cat};
    std::vector<RigReading> told;
    QObject::connect(&link, &RigConnection::readingArrived,
                     [&told](const RigReading& reading) { told.push_back(reading); });
    ASSERT_TRUE(link.open(1).ok);

    ASSERT_TRUE(link.requestReading());
    for (int ms = 0; cat.busy() && ms < 2000; ++ms)
        platform.advance(1);
    ASSERT_FALSE(cat.busy());
    // Over on the line, but whoever hears it may turn the stepper: not from within its handler.
    EXPECT_TRUE(told.empty());
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].kHz, 7050.0f);

    // A reading that asks nothing of the rig is told at once, as every link tells it.
    link.close();
    ASSERT_TRUE(link.requestReading());
    ASSERT_EQ(told.size(), 2u);
    EXPECT_FALSE(told[1].kHz);
}
