#include "program/ProgramFiles.h"

#include "core/VersionTexts.h"
#include "program/ProgramLogging.h"

#include <QFile>

namespace program {

namespace {

// A program or a table of 100 records is a few kilobytes; a larger file is neither.
constexpr qint64 MaxFileBytes = 1024 * 1024;
// Damage lines shown to the user; the rest are counted.
constexpr int MaxProblemsShown = 10;

} // namespace

FileRead ReadProgramFile(const QString& path) {
    FileRead read;
    QFile file(path);
    if (!file.exists())
        return read;
    read.result = FileRead::Result::Unreadable;
    if (file.size() > MaxFileBytes) {
        read.error = QStringLiteral("the file is too large");
        return read;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = file.errorString();
        return read;
    }
    read.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        read.error = file.errorString();
        return read;
    }
    read.result = FileRead::Result::Ok;
    return read;
}

QList<QByteArray> SplitLines(const QByteArray& bytes) {
    QByteArray lines = bytes;
    return lines.replace("\r\n", "\n").replace('\r', '\n').split('\n');
}

void TellDamage(platform::Platform& platform, const QString& path, const QStringList& problems,
                const QString& afterwards) {
    for (const QString& problem : problems)
        qCWarning(lcProgram) << path << problem;
    QStringList shown = problems.mid(0, MaxProblemsShown);
    if (problems.size() > MaxProblemsShown)
        shown << QStringLiteral("and %1 more").arg(problems.size() - MaxProblemsShown);
    const QString crLf = QStringLiteral("\r\n");
    platform.messageBox(QStringLiteral("The file ") + path + QStringLiteral(" is damaged:") + crLf +
                            shown.join(crLf) + crLf +
                            QStringLiteral("What could be read was loaded; the file stays as it "
                                           "is until ") +
                            afterwards + QLatin1Char('.'),
                        core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace program
