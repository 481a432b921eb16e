#include "station/IniText.h"

#include "core/AtomicFile.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryFile>
#include <map>
#include <optional>

namespace station {

namespace {

std::optional<QByteArray> SectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return std::nullopt;
    return t.mid(1, t.size() - 2).trimmed();
}

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// "key = old   ; comment" becomes "key = value   ; comment".
QByteArray WithValue(const QByteArray& line, const QByteArray& value) {
    qsizetype start = line.indexOf('=') + 1;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    qsizetype tail = line.indexOf(';', start);
    if (tail < 0)
        return line.left(start) + value;
    while (tail > start && IsBlank(line[tail - 1]))
        --tail;
    return line.left(start) + value + line.mid(tail);
}

} // namespace

bool SetIniValues(const QString& path, const QString& group,
                  const std::vector<std::pair<QString, QString>>& values, QString* error) {
    QByteArray contents;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return Fail(error, file.errorString());
        contents = file.readAll();
        file.close();
    }
    const QByteArray lineEnd = contents.contains("\r\n") ? "\r\n" : "\n";
    QList<QByteArray> lines = contents.split('\n');
    if (lines.back().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }

    // Where the group's last section ends (after its last line that is not blank), and the line
    // of each key there; QSettings reads the last of several.
    const QByteArray section = group.toUtf8();
    qsizetype groupEnd = -1;
    std::map<QByteArray, qsizetype> keyLines;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i])) {
            inGroup = *name == section;
            if (inGroup)
                groupEnd = i + 1;
            continue;
        }
        if (!inGroup || lines[i].trimmed().isEmpty())
            continue;
        groupEnd = i + 1;
        if (const qsizetype equals = lines[i].indexOf('='); equals > 0)
            keyLines[lines[i].left(equals).trimmed()] = i;
    }

    for (const auto& [key, value] : values) {
        const QByteArray k = key.toUtf8();
        const QByteArray v = value.toUtf8();
        if (const auto found = keyLines.find(k); found != keyLines.end()) {
            lines[found->second] = WithValue(lines[found->second], v);
            continue;
        }
        if (groupEnd < 0) {
            // A blank line first: a last line ended by a backslash would run on into the next.
            if (!lines.isEmpty())
                lines.append(QByteArray());
            lines.append('[' + section + ']');
            groupEnd = lines.size();
        }
        lines.insert(groupEnd++, k + '=' + v);
    }
    contents = lines.join(lineEnd) + lineEnd;

    QTemporaryFile trial(path + QStringLiteral(".XXXXXX"));
    if (!trial.open() || trial.write(contents) != contents.size() || !trial.flush())
        return Fail(error, trial.errorString());
    const QSettings settings(trial.fileName(), QSettings::IniFormat);
    for (const auto& [key, value] : values) {
        if (settings.value(group + QLatin1Char('/') + key).toString() != value)
            return Fail(error, QStringLiteral("what is written would be read as part of the "
                                              "lines before it (a quote left open?)"));
    }
    return core::WriteFileAtomically(path, contents, error);
}

} // namespace station
