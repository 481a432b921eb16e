#pragma once

#include "FakeMover.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"
#include "vna/BuildPresenter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace vna_test {

// A build's logic on the virtual clock: the simulated VNA on a modelled loop, a stepper within
// 0..2000.
struct BuildFixture : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    vna::LoopModel loop;
    FakeMover mover{platform, loop};
    core::ProgramState state;
    std::unique_ptr<vna::BuildSession> session;
    std::unique_ptr<vna::BuildPresenter> presenter;

    BuildFixture() {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[vna]\nport=simulated\n");
        state.MinPosition = 0;
        state.MaxPosition = 2000;
        session = std::make_unique<vna::BuildSession>(platform, mover, state, dir.path(),
                                                      dir.filePath("Ventrolo.ini"));
        presenter = std::make_unique<vna::BuildPresenter>(platform, *session, state);
    }
};

} // namespace vna_test
