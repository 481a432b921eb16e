#pragma once

#include "platform/Platform.h"

#include <QElapsedTimer>

class QWidget;

namespace platform {

// The platform on a real desktop: Qt's clock, event loop and dialogs.
class QtPlatform final : public Platform {
public:
    QtPlatform();

    // Dialogs are centred on this window when it is set.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    double steadyMs() const override;
    QDateTime now() const override;
    void waitUntil(double deadlineMs, bool yield) override;
    void processEvents() override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;
    void beep() override;
    Answer messageBox(const QString& text, const QString& title, Icon icon,
                      Buttons buttons) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<std::int32_t> chooseColor(std::int32_t initial) override;

private:
    // Sleeps until the deadline without serving events; precise to a few microseconds.
    void sleepUntil(double deadlineMs) const;

    QElapsedTimer clock_;
    QWidget* dialogParent_ = nullptr;
};

} // namespace platform
