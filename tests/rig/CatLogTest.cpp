#include "rig/CatLog.h"

#include "support/FakePlatform.h"
#include "support/RigTestHelpers.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using testing_support::FakePlatform;

namespace {

using test_support::Hex;

class CatLogTest : public ::testing::Test {
protected:
    void SetUp() override { platform.setNow(QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))); }

    QByteArray file() const { return test_support::ReadFile(log.filePath()); }

    QTemporaryDir dir;
    FakePlatform platform;
    core::ProgramState state;
    CatLog log{state, platform, dir.path()};
};

} // namespace

TEST_F(CatLogTest, line_timeDirectionDecimalBytesAndName) {
    log.setTerminalShown(true);
    EXPECT_EQ(log.CatLogLine(Hex("0000000003"), CatDirection::Transmit, "Ask Freq"),
              "14:05:09 TX> 0,0,0,0,3 {Ask Freq}\r\n");
    EXPECT_EQ(log.CatLogLine(Hex("FF00"), CatDirection::Receive, "Status"),
              "14:05:09 RX< 255,0 {Status}\r\n");
    EXPECT_EQ(log.CatLogLine(Hex("01"), CatDirection::Receive, ""), "14:05:09 RX< 1\r\n");
    EXPECT_EQ(log.CatLogLine(Hex("01"), static_cast<CatDirection>(1), "x"), "");
}

TEST_F(CatLogTest, hiddenTerminal_nothingFormattedBufferedOrFiled) {
    ASSERT_TRUE(log.CatLogFile("", 1));
    EXPECT_EQ(log.CatLogLine(Hex("00"), CatDirection::Transmit, "Lock on"), "");
    log.TerminalWrite("RTS=on DTR=on\r\n", false);
    log.logBytes(Hex("0000000003"), CatDirection::Transmit, "Ask Freq");
    ASSERT_TRUE(log.CatLogFile("", 3));
    EXPECT_TRUE(log.TerminalBuffer().isEmpty());
    EXPECT_EQ(file().count('\n'), 1); // the header alone
}

TEST_F(CatLogTest, terminal_keepsTheNewest3072CharactersShows51PiecesNewestFirst_andClears) {
    log.setTerminalShown(true);
    QSignalSpy redraws(&log, &CatLog::terminalChanged);
    for (int i = 0; i < 3; ++i)
        log.TerminalWrite(QStringLiteral("short %1\r\n").arg(i), false);
    EXPECT_EQ(log.TerminalView(), "short 2\r\nshort 1\r\nshort 0\r\n");
    EXPECT_EQ(redraws.count(), 3);

    for (int i = 0; i < 200; ++i)
        log.TerminalWrite(QStringLiteral("line %1 of the traffic\r\n").arg(i, 3, 10, QChar('0')),
                          false);
    EXPECT_EQ(log.TerminalBuffer().size(), 3072);
    EXPECT_TRUE(log.TerminalBuffer().endsWith("line 199 of the traffic\r\n"));
    const QStringList shown = log.TerminalView().split("\r\n", Qt::SkipEmptyParts);
    // The buffer ends with CR LF, so the newest of the 51 pieces is empty and skipped.
    ASSERT_EQ(shown.size(), 50);
    EXPECT_EQ(shown.front(), "line 199 of the traffic");
    EXPECT_EQ(shown.back(), "line 150 of the traffic");

    // Cleared: empty, one redraw, and the next write starts afresh.
    redraws.clear();
    log.TerminalWrite("", true);
    EXPECT_TRUE(log.TerminalBuffer().isEmpty());
    EXPECT_EQ(redraws.count(), 1);
    log.TerminalWrite("next line\r\n", false);
    EXPECT_EQ(log.TerminalBuffer(), "next line\r\n");
}

TEST_F(CatLogTest, file_appendedWithAHeaderPerOpeningAndQuotedLines) {
    test_support::WriteFile(log.filePath(), "\"from an earlier run\"\r\n");
    state.RigModel = 3;
    log.setTerminalShown(true);
    ASSERT_TRUE(log.CatLogFile("", 1));
    EXPECT_TRUE(log.CatLogOn());
    log.logBytes(Hex("0000000003"), CatDirection::Transmit, "Ask Freq");
    EXPECT_TRUE(log.CatLogFile("", 2));   // the terminal's empty line is not filed
    EXPECT_TRUE(log.CatLogFile("ab", 2)); // nor is a line shorter than three characters
    ASSERT_TRUE(log.CatLogFile("", 3));
    EXPECT_FALSE(log.CatLogOn());
    log.logBytes(Hex("0000000080"), CatDirection::Transmit, "Lock off"); // file closed

    platform.advance(60000);
    ASSERT_TRUE(log.CatLogFile("", 1));
    log.logBytes(Hex("FF"), CatDirection::Receive, "Status");
    log.TerminalWrite("RTS=on DTR=off\r\n", false);
    ASSERT_TRUE(log.CatLogFile("", 3));

    EXPECT_EQ(file(), "\"from an earlier run\"\r\n"
                      "\"+++++++++FT840 14:05 07-03-2026+++++++++\"\r\n"
                      "\"14:05:09 TX> 0,0,0,0,3 {Ask Freq}\"\r\n"
                      "\"+++++++++FT840 14:06 07-03-2026+++++++++\"\r\n"
                      "\"14:06:09 RX< 255 {Status}\"\r\n"
                      "\"RTS=on DTR=off\"\r\n");
}

TEST_F(CatLogTest, fileThatCannotBeOpened_saysWhyAndStaysOff) {
    CatLog elsewhere(state, platform, dir.path() + "/no/such/directory");
    EXPECT_FALSE(elsewhere.CatLogFile("", 1));
    EXPECT_FALSE(elsewhere.CatLogOn());
    EXPECT_FALSE(elsewhere.fileError().isEmpty());
}
