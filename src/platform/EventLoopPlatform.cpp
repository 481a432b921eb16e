#include "platform/EventLoopPlatform.h"

#include "platform/SteppingThread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace platform {

Q_LOGGING_CATEGORY(lcPlatform, "ventrolo.platform")

namespace {

constexpr std::int64_t NsPerSecond = 1'000'000'000;
// A wait this short serves the pending events once and sleeps the rest: cheaper than waking the
// event loop by a kernel timer (a turn at 1 ms per step costs about 0.5% of a core less), and
// an event waits no longer than this.
constexpr double ShortWaitMs = 2.0;
// Short waits serve the events at most this often: a turn at 1 ms per step serves them every
// other step, which halves what the event loop costs it; still no event waits longer than
// ShortWaitMs.
constexpr double ServeEveryMs = 1.5;

std::int64_t MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * NsPerSecond + now.tv_nsec;
}

timespec ToTimespec(std::int64_t ns) {
    return {static_cast<time_t>(ns / NsPerSecond), static_cast<long>(ns % NsPerSecond)};
}

} // namespace

EventLoopPlatform::EventLoopPlatform() : originNs_(MonotonicNs()) {
    // Sleeps and poll timeouts of this (the GUI) thread end when asked, not up to 50 us later.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

EventLoopPlatform::~EventLoopPlatform() {
    steppingThread_.reset();
    wakeNotifier_.reset();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

double EventLoopPlatform::steadyMs() const {
    return static_cast<double>(MonotonicNs() - originNs_) / 1.0e6;
}

QDateTime EventLoopPlatform::now() const {
    return QDateTime::currentDateTime();
}

std::int64_t EventLoopPlatform::deadlineNs(double deadlineMs) const {
    // Rounded up: a wait never ends before its deadline.
    return originNs_ + static_cast<std::int64_t>(std::ceil(deadlineMs * 1.0e6));
}

void EventLoopPlatform::sleepUntil(std::int64_t deadlineNs) {
    const timespec until = ToTimespec(deadlineNs);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

bool EventLoopPlatform::armWakeUp(std::int64_t deadlineNs) {
    if (wakeFd_ < 0) {
        wakeFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (wakeFd_ < 0)
            return false;
        wakeNotifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
        QObject::connect(wakeNotifier_.get(), &QSocketNotifier::activated, [this] {
            std::uint64_t expirations = 0;
            // Nothing to read when another wait has set the timer anew meanwhile.
            [[maybe_unused]] const auto read = ::read(wakeFd_, &expirations, sizeof expirations);
            armedNs_ = 0;
        });
    }
    if (armedNs_ != deadlineNs) {
        itimerspec setting{};
        setting.it_value = ToTimespec(deadlineNs);
        if (::timerfd_settime(wakeFd_, TFD_TIMER_ABSTIME, &setting, nullptr) != 0)
            return false;
        armedNs_ = deadlineNs;
    }
    return true;
}

void EventLoopPlatform::waitUntil(double deadlineMs, bool yield) {
    const double restMs = deadlineMs - steadyMs();
    if (restMs <= 0)
        return;
    const std::int64_t until = deadlineNs(deadlineMs);
    if (yield && QCoreApplication::instance() != nullptr) {
        if (restMs <= ShortWaitMs) {
            if (steadyMs() - servedMs_ >= ServeEveryMs)
                processEvents();
        } else {
            // A handler run meanwhile may wait itself and set the timer to its own deadline:
            // it is set again on every pass.
            while (steadyMs() < deadlineMs) {
                if (!armWakeUp(until)) {
                    // No kernel timer to be had: events are served once, the rest is slept.
                    QCoreApplication::processEvents(QEventLoop::AllEvents);
                    break;
                }
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
    }
    if (steadyMs() < deadlineMs)
        sleepUntil(until);
}

void EventLoopPlatform::waitUntilWoken(double deadlineMs, bool yield) {
    const std::int64_t until = deadlineNs(deadlineMs);
    if (!yield || QCoreApplication::instance() == nullptr) {
        // Nothing to wake: the caller waits in short slices.
        sleepUntil(until);
        woken_ = false;
        return;
    }
    while (!woken_.exchange(false) && steadyMs() < deadlineMs) {
        if (!armWakeUp(until)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            sleepUntil(until);
            return;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    servedMs_ = steadyMs();
}

void EventLoopPlatform::wakeUp() {
    woken_ = true;
    if (auto* dispatcher = QAbstractEventDispatcher::instance(
            QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr))
        dispatcher->wakeUp();
}

SteppingThread* EventLoopPlatform::steppingThread() {
    if (!steppingThread_)
        steppingThread_ = std::make_unique<SteppingThread>(originNs_);
    return steppingThread_.get();
}

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(std::function<void()> onTimeout, Qt::TimerType type) {
        timer_.setTimerType(type);
        QObject::connect(&timer_, &QTimer::timeout, [fn = std::move(onTimeout)] { fn(); });
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Timer> EventLoopPlatform::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(std::move(onTimeout), Qt::PreciseTimer);
}

std::unique_ptr<Timer> EventLoopPlatform::createDisplayTimer(std::function<void()> onTimeout) {
    // Qt moves coarse timers by up to a twentieth of their interval towards round times: those
    // of the same or a related interval end up firing in one wake-up.
    return std::make_unique<QtTimer>(std::move(onTimeout), Qt::CoarseTimer);
}

void EventLoopPlatform::processEvents() {
    servedMs_ = steadyMs();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace platform
