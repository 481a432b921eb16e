#include "core/CommandLine.h"

#include <gtest/gtest.h>

using namespace core;

TEST(CommandLine, readsEveryOptionInBothSpellings) {
    const auto parsed =
        ParseCommandLine({"ventrolo", "--dir", "/tmp/v", "--lpt=ppdev", "--port-log", "ports.log"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->directory, "/tmp/v");
    EXPECT_EQ(parsed.options->lpt, LptBackendChoice::Ppdev);
    EXPECT_EQ(parsed.options->portLogFile, "ports.log");
    EXPECT_TRUE(parsed.options->lptGiven);
    EXPECT_EQ(ParseCommandLine({"ventrolo"}).options->lpt, LptBackendChoice::Auto);
    EXPECT_FALSE(ParseCommandLine({"ventrolo"}).options->lptGiven);
    EXPECT_EQ(ParseCommandLine({"v", "--lpt", "sim"}).options->lpt, LptBackendChoice::Simulated);
    EXPECT_EQ(ParseCommandLine({"v", "--lpt", "direct"}).options->lpt, LptBackendChoice::DirectIo);
    EXPECT_TRUE(ParseCommandLine({"v", "--help"}).options->showHelp);
    EXPECT_TRUE(ParseCommandLine({"v", "--version"}).options->showVersion);
}

TEST(CommandLine, wrongLinesSayWhat) {
    EXPECT_FALSE(ParseCommandLine({"v", "--lpt", "usb"}).options);
    EXPECT_TRUE(ParseCommandLine({"v", "--lpt", "usb"}).error.contains("usb"));
    EXPECT_FALSE(ParseCommandLine({"v", "--dir"}).options);
    EXPECT_FALSE(ParseCommandLine({"v", "--frobnicate"}).options);
    EXPECT_FALSE(ParseCommandLine({"v", "stray"}).options);
}
