#include "program/TimerFile.h"

#include "core/SequentialFile.h"
#include "program/ProgramFiles.h"

#include <optional>

namespace program {

QByteArray SerializeTimerFile(const std::vector<TimerRecord>& records) {
    core::SequentialWriter out;
    for (const TimerRecord& record : records)
        out.field(record.time).field(record.position).field(record.stepper).endRecord();
    return out.bytes();
}

namespace {

// The record of one line, or why the line is none.
std::optional<TimerRecord> parseRecord(const QByteArray& line, QString* fault) {
    core::SequentialReader reader(line);
    QStringList fields;
    while (!reader.atEnd() && fields.size() < 4)
        fields << reader.readString().value_or(QString());
    if (fields.size() != 3) {
        *fault = QStringLiteral("not a time, a position and a stepper");
        return std::nullopt;
    }
    TimerRecord record;
    record.time = fields[0];
    if (!IsClockTime(record.time)) {
        *fault = QStringLiteral("the time \"%1\" is not hh:mm:ss").arg(fields[0]);
        return std::nullopt;
    }
    const auto position = PositionOf(fields[1]);
    if (!position) {
        *fault = QStringLiteral("the position \"%1\" is no number").arg(fields[1]);
        return std::nullopt;
    }
    record.position = *position;
    bool ok = false;
    const double stepper = fields[2].trimmed().toDouble(&ok);
    if (!ok || (stepper != 0 && stepper != 1)) {
        *fault = QStringLiteral("the stepper \"%1\" is not 0 or 1").arg(fields[2]);
        return std::nullopt;
    }
    record.stepper = core::Integer(stepper);
    return record;
}

} // namespace

TimerFileContents ParseTimerFile(const QByteArray& bytes) {
    TimerFileContents contents;
    const QList<QByteArray> lines = SplitLines(bytes);
    int ignoredFirst = 0;
    int ignoredCount = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        const int lineNumber = int(i) + 1;
        QString fault;
        const auto record = parseRecord(lines[i], &fault);
        if (!record) {
            contents.problems << QStringLiteral("line %1: %2; the line was not loaded")
                                     .arg(lineNumber)
                                     .arg(fault);
            continue;
        }
        if (contents.records.size() == MaxTimerRecords) {
            if (ignoredCount++ == 0)
                ignoredFirst = lineNumber;
            continue;
        }
        contents.records.push_back(*record);
    }
    if (ignoredCount > 0)
        contents.problems << QStringLiteral("more than 100 records: %1 records from line %2 on "
                                            "were not loaded")
                                 .arg(ignoredCount)
                                 .arg(ignoredFirst);
    return contents;
}

QString TimerFilePath(const QString& programDirectory, const QString& timerFileName) {
    QString name = timerFileName;
    if (name.startsWith(QLatin1Char('\\')))
        name.remove(0, 1);
    return programDirectory + QLatin1Char('/') + name;
}

} // namespace program
