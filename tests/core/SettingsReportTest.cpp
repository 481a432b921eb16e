#include "core/SettingsReport.h"

#include <gtest/gtest.h>

using core::SettingsReport;

TEST(SettingsReportTest, eachUnusedValueIsToldOnceWithItsFileKeyValueAndWhatIsUsed) {
    SettingsReport report;
    EXPECT_TRUE(report.isEmpty());
    report.Unused("/d/Ventrolo.ini", "rig/link", "radio", "serial");
    report.Unused("/d/Ventrolo.ini", "rig/link", "radio", "serial"); // the group read again
    SettingsReport before;
    before.Unused("/d/Ventrolo.ini", "lpt/backend", "usb", "auto");
    before.Unused("/d/Ventrolo.ini", "rig/link", "radio", "serial");
    report.Add(before);
    ASSERT_EQ(report.unused().size(), 2u);
    EXPECT_EQ(report.text(), "/d/Ventrolo.ini: [rig] link=radio cannot be used; serial is used "
                             "instead.\n/d/Ventrolo.ini: [lpt] backend=usb cannot be used; auto "
                             "is used instead.");
}
