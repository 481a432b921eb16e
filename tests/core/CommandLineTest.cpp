#include "core/CommandLine.h"

#include "port/LptSettings.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

CommandLineResult Parse(const QStringList& arguments) {
    return ParseCommandLine(arguments, port::LptBackendChoices());
}

QString ErrorOf(const QStringList& arguments) {
    const CommandLineResult result = Parse(arguments);
    EXPECT_FALSE(result.options) << arguments.join(' ').toStdString();
    return result.error;
}

} // namespace

TEST(CommandLine, readsEveryOptionInBothSpellings) {
    const auto parsed =
        Parse({"ventrolo", "--dir", "/tmp/v", "--lpt=ppdev", "--port-log", "ports.log"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->directory, "/tmp/v");
    EXPECT_EQ(parsed.options->lpt, "ppdev");
    EXPECT_EQ(parsed.options->portLogFile, "ports.log");
    EXPECT_TRUE(Parse({"ventrolo"}).options->lpt.isEmpty());
    EXPECT_EQ(Parse({"v", "--lpt", "sim"}).options->lpt, "sim");
    EXPECT_EQ(Parse({"v", "--lpt", " GPIO"}).options->lpt, "gpio");
    EXPECT_TRUE(Parse({"v", "--help"}).options->showHelp);
    EXPECT_TRUE(Parse({"v", "-h"}).options->showHelp);
    EXPECT_TRUE(Parse({"v", "--version"}).options->showVersion);
    const auto headless = Parse({"v", "--headless", "--status"});
    EXPECT_TRUE(headless.options->headless && headless.options->status);
    EXPECT_FALSE(Parse({"v"}).options->headless);
}

TEST(CommandLine, wrongLinesSayWhat) {
    EXPECT_EQ(ErrorOf({"v", "--lpt"}), "--lpt needs one of auto, sim, ppdev, direct, gpio");
    EXPECT_EQ(ErrorOf({"v", "--lpt", "usb"}),
              "unknown --lpt backend 'usb' (auto, sim, ppdev, direct, gpio)");
    EXPECT_EQ(ErrorOf({"v", "--dir"}), "--dir needs a directory");
    EXPECT_EQ(ErrorOf({"v", "--dir="}), "--dir needs a directory");
    EXPECT_EQ(ErrorOf({"v", "--port-log"}), "--port-log needs a file name");
    EXPECT_EQ(ErrorOf({"v", "--frobnicate"}), "unknown option '--frobnicate'");
    EXPECT_EQ(ErrorOf({"v", "--dir", "d", "-x=1"}), "unknown option '-x'");
    EXPECT_EQ(ErrorOf({"v", "stray"}), "unexpected argument 'stray'");
    EXPECT_EQ(ErrorOf({"v", "--status"}), "--status needs --headless");
}

TEST(CommandLine, movesTakesAnOptionalCount_andOnlyWithHeadless) {
    EXPECT_EQ(Parse({"v", "--headless", "--moves"}).options->moves, DefaultMoves);
    EXPECT_EQ(Parse({"v", "--headless", "--moves", "5"}).options->moves, 5);
    EXPECT_EQ(Parse({"v", "--moves", "7", "--headless"}).options->moves, 7);
    EXPECT_EQ(Parse({"v", "--headless"}).options->moves, std::nullopt);
    EXPECT_EQ(ErrorOf({"v", "--headless", "--moves", "0"}), "--moves takes a count from 1");
    EXPECT_EQ(ErrorOf({"v", "--headless", "--moves", "many"}), "--moves takes a count from 1");
    EXPECT_EQ(ErrorOf({"v", "--headless", "--moves", "5", "6"}), "unexpected argument '6'");
    EXPECT_EQ(ErrorOf({"v", "--moves"}), "--moves needs --headless");
    EXPECT_EQ(ErrorOf({"v", "--headless", "--moves", "--status"}),
              "--moves and --status go one at a time");
    EXPECT_EQ(ErrorOf({"v", "--headless", "5"}), "unexpected argument '5'");
}

TEST(CommandLine, helpShowsTheUsageAndEveryBackendWithinEightyColumns) {
    const QString help = CommandLineHelp(port::LptBackendChoices());
    EXPECT_TRUE(help.startsWith("Usage: ventrolo [--dir DIR] [--lpt auto|sim|ppdev|direct|gpio]"))
        << help.toStdString();
    for (const char* word : {"--dir <DIR>", "--port-log <FILE>", "--version", "-h, --help",
                             "gpio (GPIO lines", "~/.local/share/ventrolo", "--headless", "--status"})
        EXPECT_TRUE(QString(help).replace("\n", " ").simplified().contains(word)) << word;
    for (const QString& line : help.split('\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
}
