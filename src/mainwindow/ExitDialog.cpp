#include "mainwindow/ExitDialog.h"

#include "core/VersionTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace mainwindow {

ExitDialog::ExitDialog(panel::ExitCountdown& countdown, QWidget* parent)
    : QDialog(parent), countdown_(countdown) {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(core::MessageTitle());
    setModal(true);

    auto* icon = new QLabel;
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);

    Label1 = new QLabel(QString(countdown_.question()).replace("\r\n", "\n"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(countdown_.countdownText());
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->setMinimumWidth(Label2->fontMetrics().horizontalAdvance(countdown_.parkMessage()));

    cmdYes = new QPushButton(QStringLiteral("&Yes."));
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdYes->setDefault(true);
    CmdNo = new QPushButton(QStringLiteral("&No."));
    CmdNo->setObjectName(QStringLiteral("CmdNo"));
    CmdNo->setAutoDefault(false);

    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    text->addSpacing(8);
    text->addWidget(Label2);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdYes);
    buttons->addWidget(CmdNo);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addSpacing(8);
    page->addLayout(buttons);

    using panel::ExitCountdown;
    connect(&countdown_, &ExitCountdown::countdownTextChanged, Label2, &QLabel::setText);
    connect(&countdown_, &ExitCountdown::decided, this, [this] { setEnabled(false); });
    connect(cmdYes, &QPushButton::clicked, &countdown_, &ExitCountdown::answerYes);
    connect(CmdNo, &QPushButton::clicked, &countdown_, &ExitCountdown::answerNo);
}

void ExitDialog::reject() {
    if (!countdown_.choice())
        countdown_.answerNo();
}

void ExitDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    countdown_.start();
}

} // namespace mainwindow
