#include "engine/MoveLog.h"

#include "engine/EngineLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>

namespace engine {

namespace {

QString EndName(TurnRecord::End end) {
    switch (end) {
    case TurnRecord::End::Reached:
        return QStringLiteral("reached");
    case TurnRecord::End::Stopped:
        return QStringLiteral("stopped");
    case TurnRecord::End::Held:
        return QStringLiteral("held");
    case TurnRecord::End::TimedOut:
        return QStringLiteral("timed out");
    case TurnRecord::End::Refused:
        break;
    }
    return QStringLiteral("refused");
}

// Only a regular file is read or written: opening a named pipe waits for a peer that never
// comes, and writing one waits once its buffer is full, each holding the station up.
bool IsFileOrAbsent(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

// Up to count whole lines of data from the end of the file, put before those already in
// entries (count < 0: all of them); a line cut short by a crash is left out. Only the file's
// last DefaultMaxBytes are read: the log never grows past them, and a file made larger some
// other way (copied together, damaged) must not stall every turn that reads it.
void ReadLastEntries(const QString& path, int count, QList<QJsonObject>& entries) {
    QFile file(path);
    if (count == 0 || !IsFileOrAbsent(path) || !file.open(QIODevice::ReadOnly))
        return;
    const qint64 skipped = std::max<qint64>(0, file.size() - MoveLog::DefaultMaxBytes);
    if (skipped > 0 && !file.seek(skipped))
        return;
    QList<QByteArray> lines = file.readAll().split('\n');
    // The first line read is only the end of a line when the read began inside the file.
    if (skipped > 0 && !lines.isEmpty())
        lines.removeFirst();
    QList<QJsonObject> found;
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (count >= 0 && found.size() >= count)
            break;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(*line, &error);
        if (error.error == QJsonParseError::NoError && document.isObject())
            found << document.object();
    }
    std::reverse(found.begin(), found.end());
    entries = found + entries;
}

QString Seconds(double ms) {
    return QString::number(ms / 1000.0, 'f', 1) + QStringLiteral(" s");
}

} // namespace

QString OriginName(TurnOrigin origin) {
    switch (origin) {
    case TurnOrigin::Window:
        return QStringLiteral("window");
    case TurnOrigin::Repeated:
        return QStringLiteral("key or wheel");
    case TurnOrigin::Program:
        return QStringLiteral("program");
    case TurnOrigin::Timer:
        return QStringLiteral("timer");
    case TurnOrigin::Network:
        return QStringLiteral("network");
    case TurnOrigin::Following:
        return QStringLiteral("following");
    case TurnOrigin::Search:
        return QStringLiteral("peak search");
    case TurnOrigin::SwrTune:
        return QStringLiteral("SWR tune");
    case TurnOrigin::Park:
        return QStringLiteral("park");
    case TurnOrigin::VnaBuild:
        break;
    }
    return QStringLiteral("VNA build");
}

MoveLog::MoveLog(QString directory, qint64 maxBytes)
    : directory_(std::move(directory)), maxBytes_(maxBytes) {}

QJsonObject MoveLog::Entry(const TurnRecord& record) {
    const QDateTime started = record.started.toOffsetFromUtc(record.started.offsetFromUtc());
    QJsonObject entry{
        {QStringLiteral("time"), started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("stepper"), int(record.stepper) + 1},
        {QStringLiteral("origin"), OriginName(record.origin)},
        {QStringLiteral("detail"), record.detail},
        {QStringLiteral("from"), double(record.from)},
        {QStringLiteral("to"), double(record.to)},
        {QStringLiteral("steps"), double(record.steps)},
        {QStringLiteral("ms"), double(record.started.msecsTo(record.ended))},
        {QStringLiteral("end"), EndName(record.end)},
    };
    if (!record.stoppedBy.isEmpty())
        entry.insert(QStringLiteral("stoppedBy"), record.stoppedBy);
    if (record.heldMs > 0)
        entry.insert(QStringLiteral("heldMs"), qRound64(record.heldMs));
    if (record.refusal)
        entry.insert(QStringLiteral("refusal"), record.refusal->text);
    if (record.inhibitLeadMs)
        entry.insert(QStringLiteral("inhibitLeadMs"), *record.inhibitLeadMs);
    if (record.inhibitTailMs)
        entry.insert(QStringLiteral("inhibitTailMs"), *record.inhibitTailMs);
    return entry;
}

// A damaged line's numbers may be no whole numbers a qint64 holds: they read as 0.
QString MoveLog::Text(const QJsonObject& entry) {
    const QDateTime time =
        QDateTime::fromString(entry.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const QString detail = entry.value(QStringLiteral("detail")).toString();
    const QString end = entry.value(QStringLiteral("end")).toString();
    QStringList parts{
        time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                       : QStringLiteral("?"),
        QStringLiteral("stepper %1").arg(entry.value(QStringLiteral("stepper")).toInt()),
        detail.isEmpty() ? entry.value(QStringLiteral("origin")).toString() : detail,
        QStringLiteral("%1 to %2")
            .arg(entry.value(QStringLiteral("from")).toInteger())
            .arg(entry.value(QStringLiteral("to")).toInteger()),
        QStringLiteral("%1 steps").arg(entry.value(QStringLiteral("steps")).toInteger()),
        Seconds(entry.value(QStringLiteral("ms")).toDouble()),
    };
    if (end == QLatin1String("stopped"))
        parts << QStringLiteral("stopped by ") +
                     entry.value(QStringLiteral("stoppedBy")).toString();
    else if (end == QLatin1String("held"))
        parts << QStringLiteral("held: the rig transmitted");
    else if (end == QLatin1String("refused"))
        parts << QStringLiteral("refused: ") + entry.value(QStringLiteral("refusal")).toString();
    else
        parts << end;
    if (const double held = entry.value(QStringLiteral("heldMs")).toDouble(); held > 0)
        parts << QStringLiteral("waited %1 for receive").arg(Seconds(held));
    if (entry.contains(QStringLiteral("inhibitLeadMs")))
        parts << QStringLiteral("inhibit %1 ms before, %2 ms after")
                     .arg(entry.value(QStringLiteral("inhibitLeadMs")).toDouble())
                     .arg(entry.value(QStringLiteral("inhibitTailMs")).toDouble());
    return parts.join(QStringLiteral("  "));
}

bool MoveLog::Append(const TurnRecord& record) {
    QByteArray line = QJsonDocument(Entry(record)).toJson(QJsonDocument::Compact) + '\n';
    QFile file(QDir(directory_).filePath(FileName()));
    rotateFor(line.size());
    QString failure;
    if (!IsFileOrAbsent(file.fileName())) {
        failure = QStringLiteral("it is not a regular file");
    } else if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        failure = file.errorString();
    } else {
        // A line a crash cut short is closed off, so that this one stays whole.
        const qint64 size = file.size();
        if (size > 0) {
            char last = 0;
            if (file.seek(size - 1) && file.getChar(&last) && last != '\n')
                line.prepend('\n');
        }
        if (file.write(line) != line.size()) {
            failure = file.error() == QFileDevice::NoError
                          ? QStringLiteral("only part of the line fitted (is the disk full?)")
                          : file.errorString();
            // No part of the line stays behind.
            (void)file.resize(size);
        }
    }
    const bool written = failure.isEmpty();
    if (!written && !std::exchange(failureTold_, true))
        qCWarning(lcEngine).noquote()
            << "the move log" << file.fileName() << "cannot be written:" << failure;
    if (written)
        failureTold_ = false;
    return written;
}

void MoveLog::rotateFor(qint64 lineBytes) {
    const QDir directory(directory_);
    const QFileInfo current(directory.filePath(FileName()));
    if (!current.exists() || current.size() + lineBytes <= maxBytes_)
        return;
    // Where the old file cannot be put aside, the lines go on into the current one.
    const QString older = directory.filePath(OlderFileName());
    QFile::remove(older);
    QFile::rename(current.filePath(), older);
}

QList<QJsonObject> MoveLog::Last(int count) const {
    return Last(directory_, count);
}

QList<QJsonObject> MoveLog::Last(const QString& directory, int count) {
    // The newest file first; the older one only for what it lacks, and only the lines shown
    // are parsed: the page and the window ask at every turn.
    QList<QJsonObject> entries;
    const QDir dir(directory);
    ReadLastEntries(dir.filePath(FileName()), count, entries);
    ReadLastEntries(dir.filePath(OlderFileName()), count < 0 ? -1 : count - int(entries.size()),
                    entries);
    return entries;
}

} // namespace engine
