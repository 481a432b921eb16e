#include "display/MoveLogWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
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
    const QStringList lines = lines_.lines();
    const QTextCursor cursor = moves->textCursor();
    const MoveLogPlace place = KeptPlace(
        shown_, lines, {moves->verticalScrollBar()->value(), cursor.anchor(), cursor.position()});
    const int across = moves->horizontalScrollBar()->value();
    moves->setPlainText(lines.join(QLatin1Char('\n')));
    shown_ = lines;
    QTextCursor kept(moves->document());
    kept.setPosition(place.anchor);
    kept.setPosition(place.position, QTextCursor::KeepAnchor);
    moves->setTextCursor(kept);
    // After the cursor, which would scroll to itself.
    moves->verticalScrollBar()->setValue(place.firstLine);
    moves->horizontalScrollBar()->setValue(across);
}

} // namespace display
