#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class QDialog;
class QSocketNotifier;
class QWidget;

namespace platform {

// The platform on a real desktop: the monotonic clock, Qt's event loop and dialogs.
//
// Waits end on their deadline to the kernel's wake-up latency, without spinning. A wait that
// serves events runs the event loop until a timer of the kernel (a timerfd on the absolute
// deadline, to the nanosecond; Qt's own timers count whole milliseconds) wakes it; one of at
// most a few ms serves the pending events once and then sleeps on the absolute deadline, as a
// wait without events does (clock_nanosleep). The GUI thread's timer slack is 1 ns, so the
// kernel does not defer these wake-ups by its default 50 us.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // Dialogs are centred on this window when it is set.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    double steadyMs() const override;
    QDateTime now() const override;
    void waitUntil(double deadlineMs, bool yield) override;
    void processEvents() override;
    void waitUntilWoken(double deadlineMs, bool yield) override;
    void wakeUp() override;
    SteppingThread* steppingThread() override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;
    void beep() override;
    Answer messageBox(const QString& text, const QString& title, Icon icon,
                      Buttons buttons) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<std::int32_t> chooseColor(std::int32_t initial) override;
    void dismissDialogs() override;

private:
    // Runs the dialog modally; false when it was dismissed (its answer is nobody's).
    bool execDialog(QDialog& dialog);

    // A deadline of steadyMs() on the monotonic clock, in ns.
    std::int64_t deadlineNs(double deadlineMs) const;
    // Returns when the monotonic clock has reached deadlineNs (at once when it has).
    static void sleepUntil(std::int64_t deadlineNs);
    // Sets the wake-up timer to fire at deadlineNs; false when the kernel has none to give.
    bool armWakeUp(std::int64_t deadlineNs);

    std::int64_t originNs_; // steadyMs() counts from here
    QWidget* dialogParent_ = nullptr;
    int wakeFd_ = -1;
    std::unique_ptr<QSocketNotifier> wakeNotifier_;
    std::int64_t armedNs_ = 0; // deadline the wake-up timer is set to; 0 when it is not set
    double servedMs_ = -1e9;   // when the events were last served at once
    bool dismissed_ = false;
    std::vector<QPointer<QDialog>> openDialogs_; // innermost last
    std::atomic<bool> woken_{false};
    std::unique_ptr<SteppingThread> steppingThread_; // made at the first turn
};

} // namespace platform
