#include "rig/KeyedRecord.h"

#include "core/AtomicFile.h"
#include "rig/RigLogging.h"

#include <QFile>

namespace rig {

KeyedRecord::KeyedRecord(const QString& programDirectory)
    : path_(programDirectory.isEmpty()
                ? QString()
                : programDirectory + QLatin1Char('/') + QLatin1String(FileName)) {}

bool KeyedRecord::keyed(const QString& line) {
    if (path_.isEmpty())
        return true;
    QString error;
    if (core::WriteFileAtomically(path_, line.toUtf8() + "\n", &error))
        return true;
    qCWarning(lcRig).noquote() << "cannot write" << path_ << error
                               << "- a crash while keyed would leave the rig keyed";
    return false;
}

void KeyedRecord::released() {
    if (!path_.isEmpty() && QFile::exists(path_) && !QFile::remove(path_))
        qCWarning(lcRig).noquote() << "cannot remove" << path_;
}

bool KeyedRecord::leftKeyed(const QString& line) const {
    if (path_.isEmpty())
        return false;
    QFile file(path_);
    // A damaged record still names no other line: the PTT is released on the safe side.
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString recorded = QString::fromUtf8(file.read(4096)).trimmed();
    return recorded.isEmpty() || recorded == line;
}

} // namespace rig
