#include "platform/QtPlatform.h"

#include <QApplication>
#include <QColorDialog>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>

namespace platform {

void QtPlatform::beep() {
    QApplication::beep();
}

bool QtPlatform::execDialog(QDialog& dialog) {
    openDialogs_.emplace_back(&dialog);
    dialog.exec();
    openDialogs_.pop_back();
    return !dismissed_;
}

void QtPlatform::dismissDialogs() {
    dismissed_ = true;
    for (const QPointer<QDialog>& dialog : openDialogs_) {
        if (dialog)
            dialog->reject();
    }
}

Answer QtPlatform::messageBox(const QString& text, const QString& title, Icon icon,
                              Buttons buttons) {
    if (dismissed_) {
        qCWarning(lcPlatform).noquote() << "not shown:" << text;
        return UnansweredAnswer(buttons);
    }
    QMessageBox box(dialogParent_);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (!execDialog(box)) {
        qCWarning(lcPlatform).noquote() << "closed unanswered:" << text;
        return UnansweredAnswer(buttons);
    }
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return UnansweredAnswer(buttons);
    }
}

QString QtPlatform::inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) {
    if (dismissed_) {
        qCWarning(lcPlatform).noquote() << "not asked:" << prompt;
        return {};
    }
    QInputDialog dialog(dialogParent_);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (!execDialog(dialog) || dialog.result() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

std::optional<std::int32_t> QtPlatform::chooseColor(std::int32_t initial) {
    if (dismissed_)
        return std::nullopt;
    const auto bgr = static_cast<std::uint32_t>(initial);
    QColorDialog dialog(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF), dialogParent_);
    if (!execDialog(dialog) || dialog.result() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<std::int32_t>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
}

} // namespace platform
