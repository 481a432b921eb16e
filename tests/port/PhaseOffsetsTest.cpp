#include "port/PhaseOffsets.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PhaseOffsets, storedBesideTheUsersLines_readBack_andAValueOutside0to3IsToldAndIs0) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(file, "[stepper2]\noutput=phase ; mine\n");
    QString error;
    ASSERT_TRUE(port::StorePhaseOffset(file, 1, 3, &error)) << error.toStdString();
    ASSERT_TRUE(port::StorePhaseOffset(file, 0, 2, &error)) << error.toStdString();
    ASSERT_TRUE(port::StorePhaseOffset(file, 1, 1, &error)) << error.toStdString();
    EXPECT_TRUE(test_support::ReadFile(file).startsWith("[stepper2]\noutput=phase ; mine\n"));

    core::ProgramState state;
    state.StoredProfiles[0].PhaseOffset = 3; // nothing of the run before stays
    core::SettingsReport report;
    port::ReadPhaseOffsets(file, state, &report);
    EXPECT_EQ(state.StoredProfiles[0].PhaseOffset, 2);
    EXPECT_EQ(state.StoredProfiles[1].PhaseOffset, 1);
    EXPECT_TRUE(report.isEmpty());

    test_support::WriteFile(file, "[stepper1]\nphaseOffset=4\n");
    port::ReadPhaseOffsets(file, state, &report);
    EXPECT_EQ(state.StoredProfiles[0].PhaseOffset, 0);
    EXPECT_EQ(state.StoredProfiles[1].PhaseOffset, 0);
    ASSERT_EQ(report.unused().size(), 1u);
    EXPECT_EQ(report.unused()[0].key, "stepper1/phaseOffset");
}

} // namespace
