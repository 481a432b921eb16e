#include "core/SettingsFile.h"

#include "core/AtomicFile.h"

#include <QFile>
#include <QTemporaryFile>

namespace core {

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

bool SettingsContain(const QSettings& settings, const QString& key) {
    return settings.allKeys().contains(key);
}

bool AppendSettings(const QString& path, const QString& group,
                    const std::vector<std::pair<QString, QString>>& entries, QString* error) {
    QByteArray contents;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = file.errorString();
            return false;
        }
        contents = file.readAll();
        file.close();
    }
    // A blank line first: a last line ended by a backslash continues into the next line.
    if (!contents.isEmpty())
        contents += contents.endsWith('\n') ? "\n" : "\n\n";
    contents += '[' + group.toUtf8() + "]\n";
    for (const auto& [key, value] : entries)
        contents += key.toUtf8() + '=' + value.toUtf8() + '\n';

    // The entries must read back: a quote the user left open runs on to the end of the file
    // and takes them in. Such a file is left as it is.
    QTemporaryFile trial(path + QStringLiteral(".XXXXXX"));
    if (!trial.open() || trial.write(contents) != contents.size() || !trial.flush()) {
        if (error)
            *error = trial.errorString();
        return false;
    }
    const QSettings settings(trial.fileName(), QSettings::IniFormat);
    for (const auto& [key, value] : entries) {
        if (SettingsText(settings, group + QLatin1Char('/') + key) != value) {
            if (error)
                *error = QStringLiteral("what is added would be read as part of the lines "
                                        "before it (a quote left open?)");
            return false;
        }
    }
    return WriteFileAtomically(path, contents, error);
}

} // namespace core
