#pragma once

#include "platform/Platform.h"

#include <QLoggingCategory>
#include <atomic>
#include <cstdint>
#include <memory>

class QSocketNotifier;

namespace platform {

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)

// What the platform is on any machine, with or without a display: the monotonic clock, Qt's
// event loop (a QCoreApplication is enough), its timers and the stepping thread. The desktop
// adds the dialogs (QtPlatform); without a display they become log lines (HeadlessPlatform).
//
// Waits end on their deadline to the kernel's wake-up latency, without spinning. A wait that
// serves events runs the event loop until a timer of the kernel (a timerfd on the absolute
// deadline, to the nanosecond; Qt's own timers count whole milliseconds) wakes it; one of at
// most a few ms serves the pending events once and then sleeps on the absolute deadline, as a
// wait without events does (clock_nanosleep). The GUI thread's timer slack is 1 ns, so the
// kernel does not defer these wake-ups by its default 50 us.
class EventLoopPlatform : public Platform {
public:
    EventLoopPlatform();
    ~EventLoopPlatform() override;

    double steadyMs() const override;
    QDateTime now() const override;
    void waitUntil(double deadlineMs, bool yield) override;
    void processEvents() override;
    void waitUntilWoken(double deadlineMs, bool yield) override;
    void wakeUp() override;
    SteppingThread* steppingThread() override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;
    std::unique_ptr<Timer> createDisplayTimer(std::function<void()> onTimeout) override;

private:
    // A deadline of steadyMs() on the monotonic clock, in ns.
    std::int64_t deadlineNs(double deadlineMs) const;
    // Returns when the monotonic clock has reached deadlineNs (at once when it has).
    static void sleepUntil(std::int64_t deadlineNs);
    // Sets the wake-up timer to fire at deadlineNs; false when the kernel has none to give.
    bool armWakeUp(std::int64_t deadlineNs);

    std::int64_t originNs_; // steadyMs() counts from here
    int wakeFd_ = -1;
    std::unique_ptr<QSocketNotifier> wakeNotifier_;
    std::int64_t armedNs_ = 0; // deadline the wake-up timer is set to; 0 when it is not set
    double servedMs_ = -1e9;   // when the events were last served at once
    std::atomic<bool> woken_{false};
    std::unique_ptr<SteppingThread> steppingThread_; // made at the first turn
};

} // namespace platform
