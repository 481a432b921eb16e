#pragma once

#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace testing_support {

// The platform for tests: a virtual clock that only waits move, scripted answers to dialogs,
// recorded beeps and messages, and callbacks that run at a virtual time, as a user's click or
// key press would arrive while the program waits.
class FakePlatform final : public platform::Platform {
public:
    struct Message {
        QString text;
        QString title;
        platform::Icon icon;
        platform::Buttons buttons;
        bool shown = true; // false once the dialogs were dismissed: only logged
        bool modal = true; // false for a notice, which waits for nobody
    };
    struct Input {
        QString prompt;
        QString title;
        QString defaultText;
    };

    // --- controls for tests ---
    // Runs fn at the virtual time atMs (the next time the program yields at or after it).
    void scheduleAt(double atMs, std::function<void()> fn);
    void scheduleAfter(double delayMs, std::function<void()> fn) {
        scheduleAt(nowMs_ + delayMs, std::move(fn));
    }
    // Timers fire on the virtual clock: advance(1000) runs a 250 ms timer four times.
    // Moves the clock forward, running what is due on the way.
    void advance(double ms) { waitUntil(nowMs_ + ms, true); }
    void setNow(const QDateTime& dateTime) { wallClockStart_ = dateTime.addMSecs(-qint64(nowMs_)); }
    void answerNextMessage(platform::Answer answer) { messageAnswers_.push_back(answer); }
    void answerNextInput(const QString& text) { inputAnswers_.push_back(text); }
    void answerNextColor(std::optional<std::int32_t> color) { colorAnswers_.push_back(color); }
    // Runs fn while the next dialog (message box, input box or colour dialog) is open, as a
    // signal or a click elsewhere arrives while the user has not answered yet. When fn
    // dismissed the dialogs, the dialog answers as nobody would.
    void whileNextDialogOpen(std::function<void()> fn) { whileDialogOpen_ = std::move(fn); }
    bool dialogsDismissed() const { return dismissed_; }
    // Qt's events are served on every waitUntil with yield, after due callbacks ran, and what a
    // callback posts (a link's news told from the event loop) right after it, at its time on the
    // virtual clock. Off for a test that must see what happens before the event loop runs.
    bool processQtEvents = true;
    // Every read of steadyMs() moves the clock on by this much, as a busy loop that only reads
    // the clock would see time pass (0: the clock only moves on waits).
    double clockStepPerRead = 0;

    // --- what happened ---
    std::vector<double> beeps; // virtual times of the beeps
    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<std::int32_t> colorStarts; // the start colour of every colour dialog
    int yields = 0;                        // waits that let events run
    std::size_t pendingCallbacks() const { return scheduled_.size(); }

    // --- platform::Platform ---
    double steadyMs() const override { return nowMs_ += clockStepPerRead; }
    QDateTime now() const override { return wallClockStart_.addMSecs(qint64(nowMs_)); }
    void waitUntil(double deadlineMs, bool yield) override;
    void processEvents() override;
    std::unique_ptr<platform::Timer> createTimer(std::function<void()> onTimeout) override;
    void beep() override { beeps.push_back(nowMs_); }
    platform::Answer messageBox(const QString& text, const QString& title, platform::Icon icon,
                                platform::Buttons buttons) override;
    // Recorded in messages (modal false); nothing waits for it.
    void notify(const QString& text, const QString& title, platform::Icon icon) override {
        messages.push_back({text, title, icon, platform::Buttons::Ok, !dismissed_, false});
    }
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<std::int32_t> chooseColor(std::int32_t initial) override;
    void dismissDialogs() override { dismissed_ = true; }

private:
    void runDue(double untilMs);
    // The dialog opens: false when nobody answers it.
    bool open();

    mutable double nowMs_ = 0;
    QDateTime wallClockStart_{QDate(2026, 12, 5), QTime(12, 0, 0)};
    std::multimap<double, std::function<void()>> scheduled_;
    std::deque<platform::Answer> messageAnswers_;
    std::deque<QString> inputAnswers_;
    std::deque<std::optional<std::int32_t>> colorAnswers_;
    std::function<void()> whileDialogOpen_;
    bool dismissed_ = false;
};

} // namespace testing_support
