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
    report.Unreadable("/e/Ventrolo.ini", "it is a directory");
    ASSERT_EQ(report.unused().size(), 3u);
    EXPECT_EQ(report.text(), "/d/Ventrolo.ini: [rig] link=radio cannot be used; serial is used "
                             "instead.\n/d/Ventrolo.ini: [lpt] backend=usb cannot be used; auto "
                             "is used instead.\n/e/Ventrolo.ini cannot be read: it is a "
                             "directory; every setting in it keeps its default.");
}
