#include "display/MoveLogLines.h"

namespace display {

MoveLogLines::MoveLogLines(const engine::MoveLog& log, QObject* parent)
    : QObject(parent), log_(log) {
    Refresh();
}

void MoveLogLines::Refresh() {
    lines_.clear();
    const QList<QJsonObject> moves = log_.Last(Shown);
    for (auto move = moves.rbegin(); move != moves.rend(); ++move)
        lines_ << engine::MoveLog::Text(*move);
    emit changed();
}

} // namespace display
