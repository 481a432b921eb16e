#include "core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace core {

namespace {

// Why the file at path must not be replaced; empty when it may (a regular file, or none).
QString Refusal(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("%1 is a symbolic link; the file it points to is not written "
                              "(put the file itself in its place)")
            .arg(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1 is not a regular file (a directory, a device or a pipe) and "
                              "is not written over")
            .arg(path);
    return {};
}

// Writes path through a temporary file that fill() writes into.
bool SaveAtomically(const QString& path, const std::function<bool(QSaveFile&)>& fill,
                    QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (const QString refusal = Refusal(path); !refusal.isEmpty())
        return fail(refusal);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // The system's own words ("No space left on device", which a full disk often gives only
    // at the flush), where Qt's text may be "Unknown error".
    auto failWriting = [&] {
        const int code = errno;
        const QString why = code != 0 ? qt_error_string(code) : file.errorString();
        file.cancelWriting();
        return fail(why);
    };
    errno = 0;
    if (!fill(file) || !file.flush() || ::fsync(file.handle()) != 0)
        return failWriting();
    if (!file.commit())
        return fail(file.errorString());
    // Make the rename itself durable.
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    if (const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& contents, QString* error) {
    return SaveAtomically(
        path, [&](QSaveFile& file) { return file.write(contents) == contents.size(); }, error);
}

bool CopyFileAtomically(const QString& from, const QString& path, QString* error) {
    if (!QFileInfo(from).isFile()) {
        if (error)
            *error = QStringLiteral("%1 is not a regular file").arg(from);
        return false;
    }
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = source.errorString();
        return false;
    }
    QString readError;
    const bool copied = SaveAtomically(
        path,
        [&](QSaveFile& file) {
            while (!source.atEnd()) {
                const QByteArray block = source.read(64 * 1024);
                if (source.error() != QFileDevice::NoError) {
                    readError = source.errorString();
                    return false;
                }
                if (file.write(block) != block.size())
                    return false;
            }
            return true;
        },
        error);
    if (!copied && error && !readError.isEmpty())
        *error = readError;
    return copied;
}

bool KeepBeforeSavingOver(const QString& path, const std::optional<QByteArray>& damaged,
                          bool unreadable, QString* error) {
    const QString kept = path + QStringLiteral(".damaged");
    if (damaged)
        return WriteFileAtomically(kept, *damaged, error);
    if (unreadable && QFileInfo::exists(path))
        return CopyFileAtomically(path, kept, error);
    return true;
}

} // namespace core
