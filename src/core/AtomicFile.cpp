#include "core/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <unistd.h>

namespace core {

bool WriteFileAtomically(const QString& path, const QByteArray& contents, QString* error) {
    QSaveFile file(path);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(contents) != contents.size())
        return fail(file.errorString());
    if (!file.flush() || ::fsync(file.handle()) != 0)
        return fail(QStringLiteral("cannot flush to disk"));
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // Make the rename itself durable.
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    if (const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

} // namespace core
