#include "core/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace core {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

TextFileRead ReadTextFile(const QString& path) {
    TextFileRead read;
    const QFileInfo info(path);
    if (!info.exists())
        return read;
    read.status = TextFileRead::Status::Unreadable;
    if (auto why = NoRegularFileText(path)) {
        read.error = std::move(*why);
        return read;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = file.errorString();
        return read;
    }
    QByteArray bytes = file.read(MaxTextFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        read.error = file.errorString();
        return read;
    }
    if (bytes.size() > MaxTextFileBytes) {
        bytes.truncate(MaxTextFileBytes);
        read.truncated = true;
    }
    if (bytes.startsWith(ByteOrderMark))
        bytes.remove(0, qsizetype(sizeof ByteOrderMark) - 1);
    read.status = TextFileRead::Status::Read;
    read.bytes = std::move(bytes);
    return read;
}

std::optional<QString> NoRegularFileText(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return std::nullopt;
    if (info.isDir())
        return QStringLiteral("it is a directory");
    return QStringLiteral("it is not a regular file (a device or a pipe)");
}

QString TruncatedText() {
    return QStringLiteral("it is larger than %1 MB; what follows was not read")
        .arg(MaxTextFileBytes / (1024 * 1024));
}

} // namespace core
