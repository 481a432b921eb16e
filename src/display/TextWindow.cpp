#include "display/TextWindow.h"

#include "core/MainCaption.h"
#include "display/TextWindowText.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace display {

TextWindow::TextWindow(platform::Platform& platform, const QString& programDirectory, HelpText text)
    : QWidget(nullptr, Qt::Window), platform_(platform), text_(text) {
    setObjectName(QStringLiteral("Form6"));
    setAttribute(Qt::WA_DeleteOnClose);
    Text1 = new QPlainTextEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->installEventFilter(this);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(Text1);

    const TextWindowContents contents = ReadTextWindowFile(programDirectory, text);
    setWindowTitle(contents.caption);
    Text1->setAccessibleName(contents.caption);
    Text1->setPlainText(contents.text);
    resize(800, 600);
}

bool TextWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusIn)
        Text1->setToolTip(QStringLiteral("Date ") + core::DateText(platform_.now().date()));
    return QWidget::eventFilter(watched, event);
}

void TextWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

} // namespace display
