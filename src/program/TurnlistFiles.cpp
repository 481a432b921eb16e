#include "program/TurnlistFiles.h"

#include "core/AtomicFile.h"
#include "core/SequentialFile.h"
#include "core/VersionTexts.h"
#include "program/ProgramFiles.h"
#include "program/ProgramLanguage.h"
#include "program/ProgramLogging.h"

namespace program {

QByteArray SerializeTurnlist(const QString& program) {
    core::SequentialWriter out;
    out.field(program).endRecord();
    return out.bytes();
}

namespace {

QString lineText(qsizetype index) {
    return QStringLiteral("line %1: ").arg(index + 1);
}

// What the filter takes out of raw, blanks aside (they carry nothing).
QString removedCharacters(const QString& raw) {
    QString removed;
    for (const QChar c : raw) {
        if (!c.isSpace() && FilterProgramText(QString(c)).isEmpty() && !removed.contains(c))
            removed += c;
    }
    return removed;
}

} // namespace

TurnlistContents ParseTurnlist(const QByteArray& bytes) {
    TurnlistContents contents;
    const QList<QByteArray> lines = SplitLines(bytes);
    qsizetype first = 0;
    while (first < lines.size() && lines[first].trimmed().isEmpty())
        ++first;
    if (first == lines.size())
        return contents;

    const QByteArray line = lines[first].trimmed();
    QByteArray raw = line;
    if (line.startsWith('"')) {
        const qsizetype close = line.indexOf('"', 1);
        if (close < 0) {
            raw = line.mid(1);
            contents.problems << lineText(first) +
                                     QStringLiteral("the closing quote is missing; the line "
                                                    "was read to its end");
        } else {
            raw = line.mid(1, close - 1);
            const QByteArray rest = line.mid(close + 1).trimmed();
            if (!rest.isEmpty())
                contents.problems << lineText(first) + QStringLiteral("\"%1\" after the program "
                                                                      "was left out")
                                                           .arg(QString::fromLatin1(rest));
        }
    }
    const QString text = QString::fromLatin1(raw);
    contents.program = FilterProgramText(text);
    if (const QString removed = removedCharacters(text); !removed.isEmpty())
        contents.problems
            << lineText(first) +
                   QStringLiteral("\"%1\" is no program text and was left out").arg(removed);
    if (contents.program.size() > MaxProgramLength) {
        // The program box would cut it off mid-value, and a save would then write over the
        // file with what it kept: the cut is made here, after the last whole value, and told.
        const qsizetype cut = contents.program.lastIndexOf(QLatin1Char(','), MaxProgramLength - 1);
        const qsizetype kept = cut < 0 ? 0 : cut + 1;
        contents.problems << lineText(first) +
                                 QStringLiteral("the program is longer than %1 characters; %2 "
                                                "characters after the first %3 were left out")
                                     .arg(MaxProgramLength)
                                     .arg(contents.program.size() - kept)
                                     .arg(kept);
        contents.program.truncate(kept);
    }
    for (qsizetype i = first + 1; i < lines.size(); ++i) {
        if (!lines[i].trimmed().isEmpty())
            contents.problems << QStringLiteral("line %1 was left out").arg(i + 1);
    }
    return contents;
}

TurnlistFiles::TurnlistFiles(platform::Platform& platform, QString programDirectory)
    : platform_(platform), directory_(std::move(programDirectory)) {}

QString TurnlistFiles::path(int n) const {
    return directory_ + QStringLiteral("/Turnlist%1.txt").arg(n);
}

std::optional<QString> TurnlistFiles::LoadFile(int n) {
    if (n == 0) {
        checked_ = 0;
        return DefaultProgram();
    }
    if (n < 1 || n > 3)
        return std::nullopt;
    const QString file = path(n);
    damaged_.reset();
    const FileRead read = ReadProgramFile(file);
    if (read.result == FileRead::Result::Missing) {
        platform_.messageBox(QStringLiteral("File ") + file + QStringLiteral(" not found."),
                             core::MessageTitle(), platform::Icon::Exclamation);
        return std::nullopt;
    }
    if (read.result == FileRead::Result::Unreadable) {
        damaged_ = Damaged{n, std::nullopt};
        qCWarning(lcProgram) << "cannot read" << file << read.error;
        platform_.messageBox(QStringLiteral("File ") + file + QStringLiteral(" cannot be read: ") +
                                 read.error,
                             core::MessageTitle(), platform::Icon::Exclamation);
        return std::nullopt;
    }
    const TurnlistContents contents = ParseTurnlist(read.bytes);
    if (const QStringList problems = contents.problems + read.problems; !problems.isEmpty()) {
        damaged_ = Damaged{n, read.bytes};
        TellDamage(platform_, file, problems,
                   QStringLiteral("the program is saved; it is then kept beside as ") + file +
                       QStringLiteral(".damaged"));
    }
    checked_ = n;
    return contents.program;
}

bool TurnlistFiles::Save(const QString& program) {
    if (program.isEmpty()) {
        platform_.messageBox(QStringLiteral("Nothing to save!"), core::MessageTitle(),
                             platform::Icon::Information);
        return false;
    }
    int n = checked_.value_or(0);
    if (n < 1 || n > 3) {
        const QString answer = platform_
                                   .inputBox(QStringLiteral("Give file to save in 1, 2 or 3"),
                                             core::MessageTitle(), QStringLiteral("1"))
                                   .trimmed();
        if (answer != QLatin1String("1") && answer != QLatin1String("2") &&
            answer != QLatin1String("3")) {
            platform_.messageBox(QStringLiteral("Not saved"), core::MessageTitle(),
                                 platform::Icon::Exclamation);
            return false;
        }
        n = answer.toInt();
    }
    const QString file = path(n);
    QString error;
    // What was left out of a damaged file stays with the user.
    const bool keep = damaged_ && damaged_->n == n;
    if ((keep && !core::KeepBeforeSavingOver(file, damaged_->bytes, !damaged_->bytes, &error)) ||
        !core::WriteFileAtomically(file, SerializeTurnlist(program), &error)) {
        qCWarning(lcProgram) << "cannot save" << file << error;
        platform_.messageBox(QStringLiteral("Not saved: ") + file + QStringLiteral(": ") + error,
                             core::MessageTitle(), platform::Icon::Exclamation);
        return false;
    }
    checked_ = n;
    if (keep)
        damaged_.reset();
    return true;
}

} // namespace program
