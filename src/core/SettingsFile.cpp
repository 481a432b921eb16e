#include "core/SettingsFile.h"

#include "core/AtomicFile.h"
#include "core/TextFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <map>
#include <mutex>
#include <set>

namespace core {

namespace {

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// The file's bytes; empty for a missing file, nullopt when it cannot be read whole (it would
// be written back without what was not read).
std::optional<QByteArray> Contents(const QString& path, QString* error) {
    const TextFileRead read = ReadTextFile(path);
    switch (read.status) {
    case TextFileRead::Status::Missing:
        return QByteArray();
    case TextFileRead::Status::Unreadable:
        Fail(error, read.error);
        return std::nullopt;
    case TextFileRead::Status::Read:
        break;
    }
    if (read.truncated) {
        Fail(error, TruncatedText());
        return std::nullopt;
    }
    return read.bytes;
}

// Writes contents in place of the file when the entries read back from them: a quote the user
// left open runs on to the end of the file and takes in what is added after it.
bool WriteIfReadBack(const QString& path, const QByteArray& contents, const QString& group,
                     const std::vector<std::pair<QString, QString>>& entries, QString* error) {
    QTemporaryFile trial(path + QStringLiteral(".XXXXXX"));
    if (!trial.open() || trial.write(contents) != contents.size() || !trial.flush())
        return Fail(error, trial.errorString());
    const QSettings settings(trial.fileName(), QSettings::IniFormat);
    for (const auto& [key, value] : entries) {
        if (SettingsText(settings, group + QLatin1Char('/') + key).value_or(QString()) != value)
            return Fail(error, QStringLiteral("what is written would be read as part of the "
                                              "lines before it (a quote left open?)"));
    }
    const QFileInfo before(path);
    const QDateTime modifiedBefore = before.exists() ? before.lastModified() : QDateTime();
    if (!WriteFileAtomically(path, contents, error))
        return false;
    // QSettings reads a file again only when its size or time changed: a text of a size the
    // file had before, written within the same millisecond, would be read as that old text.
    // Each write moves the file's time on, so no two of them look alike.
    if (modifiedBefore.isValid() && QFileInfo(path).lastModified() <= modifiedBefore) {
        QFile written(path);
        if (written.open(QIODevice::Append))
            (void)written.setFileTime(modifiedBefore.addSecs(1), QFileDevice::FileModificationTime);
    }
    return true;
}

// The section a line opens, as QSettings reads it: "[name" and "[name] ; note" open one too.
std::optional<QByteArray> SectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype end = t.indexOf(']');
    return t.mid(1, end < 0 ? -1 : end - 1).trimmed();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// "key = old   ; comment" becomes "key = value   ; comment".
QByteArray WithValue(const QByteArray& line, const QByteArray& value) {
    const qsizetype equals = line.indexOf('=') + 1;
    qsizetype start = equals;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    qsizetype tail = line.indexOf(';', start);
    if (tail < 0)
        return line.left(start) + value;
    // No value before the note: the blanks were the note's, the value goes before them.
    if (tail == start)
        return line.left(equals) + value + line.mid(equals);
    while (tail > start && IsBlank(line[tail - 1]))
        --tail;
    return line.left(start) + value + line.mid(tail);
}

} // namespace

std::optional<QString> SettingsFileProblem(const QString& path) {
    if (auto why = NoRegularFileText(path))
        return why;
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    if (info.size() > MaxTextFileBytes)
        return QStringLiteral("it is larger than %1 MB").arg(MaxTextFileBytes / (1024 * 1024));
    // QSettings reads a file it cannot open as empty, without a word.
    if (QFile file(path); !file.open(QIODevice::ReadOnly))
        return file.errorString();
    return std::nullopt;
}

IniSettings::IniSettings(const QString& path)
    : QSettings(SettingsFileProblem(path) ? QStringLiteral("/dev/null") : path,
                QSettings::IniFormat) {}

std::optional<QString> SettingsText(const QSettings& settings, const QString& key) {
    // Every section is read first: QSettings reads a section when a key of it is asked for, and
    // misses it when a section named like a group inside it ([serial/x]) sorts in between.
    (void)settings.allKeys();
    const QVariant value = settings.value(key);
    QString text;
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        text = value.toString();
        break;
    case QMetaType::QStringList:
        text = value.toStringList().join(QLatin1Char(','));
        break;
    default:
        return std::nullopt;
    }
    text = text.trimmed();
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

std::optional<bool> SettingsSwitch(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("yes") ||
        t == QLatin1String("on"))
        return true;
    if (t == QLatin1String("false") || t == QLatin1String("0") || t == QLatin1String("no") ||
        t == QLatin1String("off"))
        return false;
    return std::nullopt;
}

bool SettingsContain(const QSettings& settings, const QString& key) {
    return settings.allKeys().contains(key);
}

bool AppendSettings(const QString& path, const QString& group,
                    const std::vector<std::pair<QString, QString>>& entries, QString* error,
                    const QStringList& comment) {
    std::optional<QByteArray> contents = Contents(path, error);
    if (!contents)
        return false;
    // A blank line first: a last line ended by a backslash continues into the next line.
    if (!contents->isEmpty())
        *contents += contents->endsWith('\n') ? "\n" : "\n\n";
    *contents += '[' + group.toUtf8() + "]\n";
    for (const QString& line : comment)
        *contents += "; " + line.toUtf8() + '\n';
    for (const auto& [key, value] : entries)
        *contents += key.toUtf8() + '=' + value.toUtf8() + '\n';
    return WriteIfReadBack(path, *contents, group, entries, error);
}

bool SetSettings(const QString& path, const QString& group,
                 const std::vector<std::pair<QString, QString>>& entries, QString* error,
                 const std::map<QString, QString>& notes) {
    const std::optional<QByteArray> contents = Contents(path, error);
    if (!contents)
        return false;
    const QByteArray lineEnd = contents->contains("\r\n") ? "\r\n" : "\n";
    QList<QByteArray> lines = contents->split('\n');
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

    for (const auto& [key, value] : entries) {
        const QByteArray k = key.toUtf8();
        const QByteArray v = value.toUtf8();
        if (const auto found = keyLines.find(k); found != keyLines.end()) {
            lines[found->second] = WithValue(lines[found->second], v);
            continue;
        }
        if (groupEnd < 0) {
            // A blank line first, as in AppendSettings.
            if (!lines.isEmpty())
                lines.append(QByteArray());
            lines.append('[' + section + ']');
            groupEnd = lines.size();
        }
        QByteArray line = k + '=' + v;
        if (const auto note = notes.find(key); note != notes.end())
            line += " ; " + note->second.toUtf8();
        lines.insert(groupEnd++, line);
    }
    return WriteIfReadBack(path, lines.join(lineEnd) + lineEnd, group, entries, error);
}

void LogDefaultsNotAdded(const QLoggingCategory& category, const QString& path,
                         const QString& error) {
    static std::mutex told;
    static std::set<std::pair<QString, QString>> toldOf;
    {
        const std::lock_guard lock(told);
        if (!toldOf.insert({path, error}).second)
            return;
    }
    qCWarning(category) << "cannot write" << path << error;
}

} // namespace core
