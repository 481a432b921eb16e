#include "program/ProgramFiles.h"

#include "core/TextFile.h"
#include "core/VersionTexts.h"
#include "program/ProgramLogging.h"

namespace program {

namespace {

// Damage lines shown to the user; the rest are counted.
constexpr int MaxProblemsShown = 10;

} // namespace

FileRead ReadProgramFile(const QString& path) {
    const core::TextFileRead file = core::ReadTextFile(path);
    FileRead read;
    read.bytes = file.bytes;
    read.error = file.error;
    switch (file.status) {
    case core::TextFileRead::Status::Missing:
        break;
    case core::TextFileRead::Status::Unreadable:
        read.result = FileRead::Result::Unreadable;
        break;
    case core::TextFileRead::Status::Read:
        read.result = FileRead::Result::Ok;
        if (file.truncated)
            read.problems << core::TruncatedText();
        break;
    }
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
