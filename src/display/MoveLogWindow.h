#pragma once

#include "display/MoveLogLines.h"

#include <QWidget>

class QPlainTextEdit;

namespace display {

// The last moves, the newest on top, as plain text. It deletes itself when closed.
class MoveLogWindow : public QWidget {
    Q_OBJECT

public:
    explicit MoveLogWindow(MoveLogLines& lines);

    QPlainTextEdit* moves;

private:
    void render();

    MoveLogLines& lines_;
};

} // namespace display
