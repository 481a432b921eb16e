// Without a display nobody answers: every box is one log line, and a question takes the answer
// that does nothing.
#include "platform/HeadlessPlatform.h"

#include "support/LogCapture.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(HeadlessPlatform, boxesBecomeOneLogLineEach_andQuestionsAreAnsweredNoOrCancel) {
    test_support::LogCapture log;
    platform::HeadlessPlatform platform;
    using platform::Answer;
    using platform::Buttons;
    using platform::Icon;
    EXPECT_EQ(platform.messageBox("Set the counter?\r\nIt moves nothing.", "Ventrolo.",
                                  Icon::Question, Buttons::YesNo),
              Answer::No);
    EXPECT_EQ(platform.messageBox("Save?", "t", Icon::Question, Buttons::YesNoCancel),
              Answer::Cancel);
    EXPECT_EQ(platform.messageBox("Go on?", "t", Icon::Question, Buttons::OkCancel),
              Answer::Cancel);
    EXPECT_EQ(platform.messageBox("The port log could not be written.", "t", Icon::Exclamation,
                                  Buttons::Ok),
              Answer::Ok);
    EXPECT_TRUE(platform.inputBox("New counter value?", "t", "12").isEmpty());
    EXPECT_FALSE(platform.chooseColor(0x00FF00).has_value());
    const QStringList lines = log.lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "ventrolo.message: Set the counter? It moves nothing. - answered No");
    EXPECT_EQ(lines[3], "ventrolo.message: The port log could not be written.");
    EXPECT_EQ(lines[4], "ventrolo.message: New counter value? - not answered");
}

} // namespace
