// The real platform's waits on the real clock. Only what a wait must never do is checked (end
// before its deadline, serve no events without yield, hang when waits nest), never how late
// it ends: timing is measured by bench/step_timing.
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(QtPlatform, aWaitServesTimersAndPostedEventsUntilItsDeadline_andNeverEndsEarly) {
    platform::QtPlatform platform;
    for (const double ms : {1.5, 30.0}) { // served once, or by the event loop throughout
        int ticks = 0;
        bool posted = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(1);
        QMetaObject::invokeMethod(
            &timer, [&] { posted = true; }, Qt::QueuedConnection);
        const double deadline = platform.steadyMs() + ms;
        platform.waitUntil(deadline, true);
        EXPECT_GE(platform.steadyMs(), deadline) << ms;
        EXPECT_TRUE(posted) << ms;
        if (ms > 10) {
            EXPECT_GT(ticks, 1);
        }
    }
}

TEST(QtPlatform, withoutYieldAWaitOnlySleeps) {
    platform::QtPlatform platform;
    bool posted = false;
    QObject receiver;
    QMetaObject::invokeMethod(
        &receiver, [&] { posted = true; }, Qt::QueuedConnection);
    const double deadline = platform.steadyMs() + 5;
    platform.waitUntil(deadline, false);
    EXPECT_GE(platform.steadyMs(), deadline);
    EXPECT_FALSE(posted);
    platform.processEvents();
    EXPECT_TRUE(posted);
}

TEST(QtPlatform, waitsStartedByHandlersInsideAWait_eachEndOnTheirOwnDeadline) {
    platform::QtPlatform platform;
    std::vector<std::pair<double, double>> waits; // deadline, end
    auto wait = [&](double ms) {
        const double deadline = platform.steadyMs() + ms;
        platform.waitUntil(deadline, true);
        waits.emplace_back(deadline, platform.steadyMs());
    };
    // A device (a pipe) starts a shorter wait inside the outer one; nothing else happens, so
    // the outer wait must wake on its own deadline afterwards.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    {
        QSocketNotifier readable(fds[0], QSocketNotifier::Read);
        QObject::connect(&readable, &QSocketNotifier::activated, [&] {
            char byte = 0;
            ASSERT_EQ(::read(fds[0], &byte, 1), 1);
            wait(10);
        });
        ASSERT_EQ(::write(fds[1], "x", 1), 1);
        wait(40);
    }
    ::close(fds[0]);
    ::close(fds[1]);
    // A timer starts a wait that ends after the outer one's deadline.
    QTimer::singleShot(5, [&] { wait(60); });
    wait(20);
    ASSERT_EQ(waits.size(), 4u);
    for (const auto& [deadline, end] : waits)
        EXPECT_GE(end, deadline);
}

TEST(QtPlatform, dismissedDialogs_closeAsIfCancelledAndLaterOnesAreNotShown) {
    platform::QtPlatform platform;
    // The program ends while a box waits for its answer, and while an input box does.
    QTimer::singleShot(50, [&] {
        ASSERT_TRUE(QApplication::activeModalWidget());
        platform.messageBox("inner", "t", platform::Icon::Information, platform::Buttons::Ok);
    });
    platform::Answer outer = platform::Answer::Yes;
    QTimer::singleShot(20, [&] {
        QTimer::singleShot(60, [&] { platform.dismissDialogs(); });
        outer = platform.messageBox("question", "t", platform::Icon::Question,
                                    platform::Buttons::YesNo);
    });
    EXPECT_EQ(platform.inputBox("prompt", "t", "typed"), QString());
    EXPECT_EQ(outer, platform::Answer::No);
    EXPECT_FALSE(QApplication::activeModalWidget());

    // From now on nothing waits: every dialog answers at once as nobody would.
    QTimer never;
    QObject::connect(&never, &QTimer::timeout, [] { FAIL() << "a dialog waited"; });
    never.start(2000);
    EXPECT_EQ(
        platform.messageBox("q", "t", platform::Icon::Question, platform::Buttons::YesNoCancel),
        platform::Answer::Cancel);
    EXPECT_EQ(platform.inputBox("prompt", "t", "typed"), QString());
    EXPECT_EQ(platform.chooseColor(0xFF), std::nullopt);
}

} // namespace
