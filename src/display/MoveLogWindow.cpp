#include "display/MoveLogWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace display {

MoveLogWindow::MoveLogWindow(MoveLogLines& lines) : QWidget(nullptr, Qt::Window), lines_(lines) {
    setObjectName(QStringLiteral("MoveLogWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Move log"));
    moves = new QPlainTextEdit;
    moves->setObjectName(QStringLiteral("moves"));
    moves->setAccessibleName(QStringLiteral("Moves"));
    moves->setReadOnly(true);
    moves->setLineWrapMode(QPlainTextEdit::NoWrap);
    moves->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(moves);
    connect(&lines_, &MoveLogLines::changed, this, &MoveLogWindow::render);
    render();
    resize(760, 320);
}

void MoveLogWindow::render() {
    moves->setPlainText(lines_.lines().join(QLatin1Char('\n')));
}

} // namespace display
