#pragma once

#include "engine/MoveLog.h"

#include <QObject>
#include <QStringList>

namespace display {

// What the move log window shows: the last moves in words, the newest first, read again after
// every turn.
class MoveLogLines : public QObject {
    Q_OBJECT

public:
    static constexpr int Shown = 200;

    explicit MoveLogLines(const engine::MoveLog& log, QObject* parent = nullptr);

    QStringList lines() const { return lines_; }
    // Reads the log again; changed() tells the window.
    void Refresh();

signals:
    void changed();

private:
    const engine::MoveLog& log_;
    QStringList lines_;
};

} // namespace display
