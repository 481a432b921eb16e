#include "support/FakePlatform.h"

#include <QCoreApplication>

namespace testing_support {

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

platform::Answer FakePlatform::messageBox(const QString& text, const QString& title,
                                          platform::Icon icon, platform::Buttons buttons) {
    messages.push_back({text, title, icon, buttons});
    if (!messageAnswers_.empty()) {
        const auto answer = messageAnswers_.front();
        messageAnswers_.pop_front();
        return answer;
    }
    switch (buttons) {
    case platform::Buttons::YesNo:
    case platform::Buttons::YesNoCancel: return platform::Answer::Yes;
    default: return platform::Answer::Ok;
    }
}

QString FakePlatform::inputBox(const QString& prompt, const QString& title,
                               const QString& defaultText) {
    inputs.push_back({prompt, title, defaultText});
    if (!inputAnswers_.empty()) {
        QString answer = inputAnswers_.front();
        inputAnswers_.pop_front();
        return answer;
    }
    return defaultText;
}

std::optional<std::int32_t> FakePlatform::chooseColor(std::int32_t /*initial*/) {
    if (colorAnswers_.empty())
        return std::nullopt;
    const auto answer = colorAnswers_.front();
    colorAnswers_.pop_front();
    return answer;
}

} // namespace testing_support
