#pragma once

#include "platform/EventLoopPlatform.h"

namespace platform {

// The platform without a display: nobody answers, so every message box is a line of the log
// (stderr, where a service's journal takes it) and every question takes the answer nobody
// gives (UnansweredAnswer: No to a yes/no question, Cancel where offered), which never turns a
// stepper. Input boxes give an empty text, the colour dialog nothing.
class HeadlessPlatform final : public EventLoopPlatform {
public:
    void beep() override {}
    Answer messageBox(const QString& text, const QString& title, Icon icon,
                      Buttons buttons) override;
    void notify(const QString& text, const QString& title, Icon icon) override {
        messageBox(text, title, icon, Buttons::Ok);
    }
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<std::int32_t> chooseColor(std::int32_t) override { return std::nullopt; }
    void dismissDialogs() override {}
};

} // namespace platform
