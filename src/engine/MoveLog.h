#pragma once

#include "engine/TurnRecord.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace engine {

// The record of every turn, one JSON object a line in Moves.jsonl in the program directory.
// Each line is written whole with one write: a crash leaves every earlier line readable, and a
// torn last line is skipped when read and closed off before the next is appended. When the
// file would grow past maxBytes it becomes Moves.1.jsonl (the one before is dropped) and a new
// one begins.
class MoveLog {
public:
    static constexpr qint64 DefaultMaxBytes = 1024 * 1024;
    static QString FileName() { return QStringLiteral("Moves.jsonl"); }
    static QString OlderFileName() { return QStringLiteral("Moves.1.jsonl"); }

    explicit MoveLog(QString directory, qint64 maxBytes = DefaultMaxBytes);

    // False when the line could not be written (told once in the log).
    bool Append(const TurnRecord& record);
    // The last count moves, oldest first, from both files; lines that are not whole are left
    // out.
    QList<QJsonObject> Last(int count) const;
    static QList<QJsonObject> Last(const QString& directory, int count);

    // One move as its line holds it.
    static QJsonObject Entry(const TurnRecord& record);
    // One move in a line of words, for a window, a terminal or a page:
    // "2026-12-09 14:31:05  stepper 1  rotctld P 90  1200 to 1800  600 steps  2.4 s  reached".
    static QString Text(const QJsonObject& entry);

private:
    void rotateFor(qint64 lineBytes);

    QString directory_;
    qint64 maxBytes_;
    bool failureTold_ = false;
};

// The origin as the move log names it: "following", "rotator client"...
QString OriginName(TurnOrigin origin);

} // namespace engine
