#include "station/JournalCopies.h"

#include "core/TextFile.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace station {

QString JournalCopyPath(const QString& base, int copy) {
    return base + (copy == 0 ? QStringLiteral(".1") : QStringLiteral(".2"));
}

JournalCopy ReadJournalCopy(const QString& path) {
    JournalCopy copy;
    copy.path = path;
    const core::TextFileRead read = core::ReadTextFile(path);
    if (read.status == core::TextFileRead::Status::Missing)
        return copy;
    copy.present = true;
    copy.modified = QFileInfo(path).lastModified();
    if (read.status == core::TextFileRead::Status::Unreadable) {
        copy.problem = QStringLiteral("cannot be read (%1)").arg(read.error);
        return copy;
    }
    if (read.bytes.isEmpty()) {
        copy.problem = QStringLiteral("is empty");
        return copy;
    }
    int badLine = 0;
    copy.record = JournalRecord::Parse(read.bytes, &badLine);
    if (!copy.record)
        copy.problem = QStringLiteral("is damaged at line %1").arg(badLine);
    return copy;
}

std::array<JournalCopy, 2> ReadJournalCopies(const QString& base) {
    return {ReadJournalCopy(JournalCopyPath(base, 0)), ReadJournalCopy(JournalCopyPath(base, 1))};
}

QByteArray ConfigFingerprint(const QString& configPath) {
    const core::TextFileRead read = core::ReadTextFile(configPath);
    if (read.status != core::TextFileRead::Status::Read)
        return QByteArrayLiteral("none");
    return QCryptographicHash::hash(read.bytes, QCryptographicHash::Sha256).toHex().left(16);
}

std::optional<JournalRecord> NewestJournalRecord(const QString& base) {
    std::optional<JournalRecord> newest;
    for (const JournalCopy& copy : ReadJournalCopies(base)) {
        if (copy.record && (!newest || copy.record->number > newest->number))
            newest = copy.record;
    }
    return newest;
}

} // namespace station
