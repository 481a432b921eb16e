#pragma once

// The Yaesu link on a simulated rig, with its CAT log and what the rig shows as the link tells it.

#include "rig/AwaitReading.h"
#include "rig/CatControl.h"
#include "rig/CatRig.h"
#include "rig/SimulatedRig.h"
#include "support/FakePlatform.h"
#include "support/RigTestHelpers.h"
#include "tuning/RigState.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace rig_test {

using namespace rig;
using testing_support::FakePlatform;

class CatControlTest : public ::testing::Test {
protected:
    void SetUp() override { log.setTerminalShown(true); }

    void open(Model model, int baud = 4800) {
        state.RigModel = static_cast<core::Integer>(model);
        state.BaudRate = baud;
        rig.rig().setModel(model);
        ASSERT_TRUE(cat.OpenPort(1).ok);
    }
    // The frames the rig received from the mark on, in hex.
    QStringList framesFrom(std::size_t mark) const {
        QStringList frames;
        const auto& all = rig.rig().framesReceived();
        for (std::size_t i = mark; i < all.size(); ++i)
            frames << all[i].toHex();
        return frames;
    }
    std::size_t mark() const { return rig.rig().framesReceived().size(); }
    bool logged(const QString& text) const { return log.TerminalBuffer().contains(text); }
    // Readings asked for and given their time.
    RigReading read() {
        return rig_test::AwaitReading(platform, cat, &CatControl::ReadRigFrequency);
    }
    RigReading checkFrequency() {
        return rig_test::AwaitReading(platform, cat, &CatControl::CheckRigFrequency);
    }
    std::optional<float> sMeter() { return rig_test::AwaitSMeter(platform, cat); }

    QTemporaryDir dir;
    FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
    SimulatedRig rig{platform};
    CatControl cat{state, platform, log, rig, dir.path()};
    // What the rig shows, as the link tells it.
    CatRig link{cat};
    tuning::RigState shown{link};
};

} // namespace rig_test
