#include "rig/IniLines.h"

#include "core/AtomicFile.h"
#include "rig/RigLogging.h"

#include <QFile>
#include <QList>

namespace rig {

namespace {

bool IsGroupLine(const QByteArray& line) {
    return line.trimmed().startsWith('[');
}

} // namespace

QByteArray WithIniValue(const QByteArray& contents, const QByteArray& group, const QByteArray& key,
                        const QByteArray& value) {
    QList<QByteArray> lines = contents.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray header = '[' + group.toLower() + ']';
    const QByteArray entry = key + '=' + value;
    qsizetype start = -1;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsGroupLine(lines[i])) {
            inGroup = lines[i].trimmed().toLower() == header;
            if (inGroup && start < 0)
                start = i;
        } else if (inGroup && lines[i].contains('=') &&
                   lines[i].split('=').first().trimmed().toLower() == key.toLower()) {
            lines[i] = entry;
            return lines.join('\n') + '\n';
        }
    }
    if (start >= 0) {
        lines.insert(start + 1, entry);
    } else {
        if (!lines.isEmpty())
            lines << QByteArray();
        lines << '[' + group + ']' << entry;
    }
    return lines.join('\n') + '\n';
}

bool StoreIniValue(const QString& file, const QByteArray& group, const QByteArray& key,
                   const QByteArray& value) {
    QFile in(file);
    QByteArray contents;
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly)) {
            qCWarning(lcRig) << "cannot read" << file << in.errorString();
            return false;
        }
        contents = in.readAll();
    }
    QString error;
    if (!core::WriteFileAtomically(file, WithIniValue(contents, group, key, value), &error)) {
        qCWarning(lcRig) << "cannot write" << file << error;
        return false;
    }
    return true;
}

} // namespace rig
