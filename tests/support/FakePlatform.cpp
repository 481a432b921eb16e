#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <utility>

namespace testing_support {

namespace {

// A timer on the virtual clock. Each start() begins a new generation, so ticks scheduled for an
// earlier start or for a stopped or destroyed timer do nothing when their time comes.
class FakeTimer final : public platform::Timer {
public:
    FakeTimer(FakePlatform& platform, std::function<void()> onTimeout)
        : platform_(platform), state_(std::make_shared<State>()) {
        state_->onTimeout = std::move(onTimeout);
    }
    ~FakeTimer() override { stop(); }
    void start(int intervalMs) override {
        state_->interval = intervalMs;
        state_->active = true;
        ++state_->generation;
        scheduleTick(platform_, state_, state_->generation);
    }
    void stop() override {
        state_->active = false;
        ++state_->generation;
    }
    bool isActive() const override { return state_->active; }
    int interval() const override { return state_->interval; }

private:
    struct State {
        std::function<void()> onTimeout;
        int interval = 0;
        bool active = false;
        int generation = 0;
    };
    static void scheduleTick(FakePlatform& platform, const std::shared_ptr<State>& state,
                             int generation) {
        // An interval of 0 fires once per millisecond of virtual time, never in a burst.
        const double period = state->interval > 0 ? state->interval : 1;
        std::weak_ptr<State> weak = state;
        platform.scheduleAfter(period, [&platform, weak, generation] {
            const auto alive = weak.lock();
            if (!alive || !alive->active || alive->generation != generation)
                return;
            scheduleTick(platform, alive, generation);
            alive->onTimeout();
        });
    }

    FakePlatform& platform_;
    std::shared_ptr<State> state_;
};

} // namespace

std::unique_ptr<platform::Timer> FakePlatform::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<FakeTimer>(*this, std::move(onTimeout));
}

void FakePlatform::scheduleAt(double atMs, std::function<void()> fn) {
    scheduled_.emplace(atMs, std::move(fn));
}

void FakePlatform::runDue(double untilMs) {
    // A callback may schedule more, wait itself, or end what is waiting: take one at a time.
    while (!scheduled_.empty() && scheduled_.begin()->first <= untilMs) {
        auto first = scheduled_.begin();
        const double at = first->first;
        auto fn = std::move(first->second);
        scheduled_.erase(first);
        if (at > nowMs_)
            nowMs_ = at;
        fn();
        // What the callback posted (news told from the event loop) comes at its time, as it
        // would on the real clock, not at the end of a long wait.
        if (processQtEvents && QCoreApplication::instance())
            QCoreApplication::sendPostedEvents();
    }
}

void FakePlatform::waitUntil(double deadlineMs, bool yield) {
    if (yield) {
        ++yields;
        runDue(deadlineMs);
        if (processQtEvents && QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    if (deadlineMs > nowMs_)
        nowMs_ = deadlineMs;
}

void FakePlatform::processEvents() {
    ++yields;
    runDue(nowMs_);
    if (processQtEvents && QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool FakePlatform::open() {
    if (dismissed_)
        return false;
    if (auto fn = std::exchange(whileDialogOpen_, nullptr))
        fn();
    return !dismissed_;
}

platform::Answer FakePlatform::messageBox(const QString& text, const QString& title,
                                          platform::Icon icon, platform::Buttons buttons) {
    messages.push_back({text, title, icon, buttons, !dismissed_});
    if (!open())
        return platform::UnansweredAnswer(buttons);
    if (!messageAnswers_.empty()) {
        const auto answer = messageAnswers_.front();
        messageAnswers_.pop_front();
        return answer;
    }
    switch (buttons) {
    case platform::Buttons::YesNo:
    case platform::Buttons::YesNoCancel:
        return platform::Answer::Yes;
    default:
        return platform::Answer::Ok;
    }
}

QString FakePlatform::inputBox(const QString& prompt, const QString& title,
                               const QString& defaultText) {
    inputs.push_back({prompt, title, defaultText});
    if (!open())
        return {};
    if (!inputAnswers_.empty()) {
        QString answer = inputAnswers_.front();
        inputAnswers_.pop_front();
        return answer;
    }
    return defaultText;
}

std::optional<std::int32_t> FakePlatform::chooseColor(std::int32_t initial) {
    colorStarts.push_back(initial);
    if (!open() || colorAnswers_.empty())
        return std::nullopt;
    const auto answer = colorAnswers_.front();
    colorAnswers_.pop_front();
    return answer;
}

} // namespace testing_support
