// [follow1] and [follow2] as a user writes them: the modes, and the dead band in steps or auto.
#include "tuning/FollowSettings.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FollowSettingsTest, theDeadBandInStepsOrAuto_anUnusableOneReportedAndLeftAtNone) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(file, "[follow1]\nmode=Rested\ndeadbandSteps= AUTO\n"
                                  "[follow2]\ndeadbandSteps=12\n");
    core::SettingsReport report;
    tuning::FollowSettingsPair read = tuning::LoadFollowSettings(file, &report);
    EXPECT_TRUE(report.isEmpty()) << report.text().toStdString();
    EXPECT_EQ(read[0].mode, tuning::FollowMode::Rested);
    EXPECT_TRUE(read[0].deadbandAuto);
    EXPECT_FALSE(read[1].deadbandAuto);
    EXPECT_EQ(read[1].deadbandSteps, 12);

    test_support::WriteFile(file, "[follow1]\ndeadbandSteps=a quarter\n"
                                  "[follow2]\ndeadbandSteps=-3\n");
    read = tuning::LoadFollowSettings(file, &report);
    EXPECT_EQ(report.unused().size(), 2u);
    for (const tuning::FollowSettings& follow : read) {
        EXPECT_FALSE(follow.deadbandAuto);
        EXPECT_EQ(follow.deadbandSteps, 0);
    }
}
