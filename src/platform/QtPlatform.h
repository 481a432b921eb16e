#pragma once

#include "platform/EventLoopPlatform.h"

#include <QPointer>
#include <vector>

class QDialog;
class QWidget;

namespace platform {

// The platform on a real desktop: the event loop's clock and waits, and Qt's dialogs.
class QtPlatform final : public EventLoopPlatform {
public:
    // Dialogs are centred on this window when it is set.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    void beep() override;
    Answer messageBox(const QString& text, const QString& title, Icon icon,
                      Buttons buttons) override;
    void notify(const QString& text, const QString& title, Icon icon) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<std::int32_t> chooseColor(std::int32_t initial) override;
    void dismissDialogs() override;

private:
    // Runs the dialog modally; false when it was dismissed (its answer is nobody's).
    bool execDialog(QDialog& dialog);

    QWidget* dialogParent_ = nullptr;
    bool dismissed_ = false;
    std::vector<QPointer<QDialog>> openDialogs_; // innermost last
};

} // namespace platform
