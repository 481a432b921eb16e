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

namespace {

QMessageBox::Icon BoxIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPlatform::notify(const QString& text, const QString& title, Icon icon) {
    // Logged too: a notice may be closed unread, or come when nobody looks.
    if (icon == Icon::Exclamation || icon == Icon::Critical)
        qCWarning(lcPlatform).noquote() << (dismissed_ ? "not shown:" : "told:") << text;
    else
        qCInfo(lcPlatform).noquote() << (dismissed_ ? "not shown:" : "told:") << text;
    if (dismissed_)
        return;
    // Not modal and not run: show() returns at once, and the box deletes itself when closed.
    auto* box = new QMessageBox(BoxIcon(icon), title, text, QMessageBox::Ok, dialogParent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
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
    box.setIcon(BoxIcon(icon));
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
