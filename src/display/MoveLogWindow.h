#pragma once

#include "display/MoveLogLines.h"
#include "display/MoveLogPlace.h"

#include <QWidget>

class QPlainTextEdit;

namespace display {

// The last moves, the newest on top, as plain text; a new move keeps the lines the user reads
// in view (MoveLogPlace). It deletes itself when closed.
class MoveLogWindow : public QWidget {
    Q_OBJECT

public:
    explicit MoveLogWindow(MoveLogLines& lines);

    QPlainTextEdit* moves;

private:
    // The lines read again, the user's place in them kept.
    void render();

    MoveLogLines& lines_;
    QStringList shown_;
};

} // namespace display
