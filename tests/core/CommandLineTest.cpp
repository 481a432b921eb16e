#include "core/CommandLine.h"

#include <gtest/gtest.h>

using namespace core;

TEST(CommandLine, readsEveryOptionInBothSpellings) {
    const auto parsed =
        ParseCommandLine({"ventrolo", "--dir", "/tmp/v", "--lpt=ppdev", "--port-log", "ports.log"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->directory, "/tmp/v");
    EXPECT_EQ(parsed.options->lpt, "ppdev");
    EXPECT_EQ(parsed.options->portLogFile, "ports.log");
    EXPECT_TRUE(ParseCommandLine({"ventrolo"}).options->lpt.isEmpty());
    EXPECT_EQ(ParseCommandLine({"v", "--lpt", "sim"}).options->lpt, "sim");
    EXPECT_TRUE(ParseCommandLine({"v", "--help"}).options->showHelp);
    EXPECT_TRUE(ParseCommandLine({"v", "--version"}).options->showVersion);
}

TEST(CommandLine, wrongLinesSayWhat) {
    EXPECT_FALSE(ParseCommandLine({"v", "--lpt"}).options);
    EXPECT_TRUE(ParseCommandLine({"v", "--lpt"}).error.contains("--lpt"));
    EXPECT_FALSE(ParseCommandLine({"v", "--dir"}).options);
    EXPECT_FALSE(ParseCommandLine({"v", "--frobnicate"}).options);
    EXPECT_FALSE(ParseCommandLine({"v", "stray"}).options);
}
