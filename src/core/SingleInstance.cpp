#include "core/SingleInstance.h"

#include "core/VersionTexts.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSysInfo>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace core {

Q_LOGGING_CATEGORY(lcInstance, "ventrolo.instance")

SingleInstance::SingleInstance(const QString& programDirectory,
                               std::function<QString()> answering)
    : directory_(programDirectory), path_(programDirectory + QStringLiteral("/Ventrolo.lock")),
      answering_(std::move(answering)), lock_(path_) {
    // A running program keeps its lock however long it runs; only a lock whose holder is gone
    // counts as stale.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (nameSocket_ >= 0)
        ::close(nameSocket_);
}

bool SingleInstance::holdMachineName() {
    if (nameSocket_ >= 0)
        return true;
    const QString canonical = QFileInfo(directory_).canonicalFilePath();
    const QByteArray name =
        "ventrolo-station/" +
        QCryptographicHash::hash((canonical.isEmpty() ? directory_ : canonical).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A leading zero byte: the abstract namespace, no file anywhere.
    std::memcpy(address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        qCWarning(lcInstance) << "cannot hold this computer's station name:" << qt_error_string();
        return true; // the lock file alone then
    }
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EADDRINUSE)
            return false;
        qCWarning(lcInstance) << "cannot hold this computer's station name:"
                              << qt_error_string(error);
        return true;
    }
    nameSocket_ = fd;
    return true;
}

QString SingleInstance::staleness() {
    if (answering_ && !answering_().isEmpty())
        return {};
    // Lines: pid, program, host name, machine id, boot id (the last two since Qt 5.10).
    QFile file(path_);
    const QList<QByteArray> lines =
        file.open(QIODevice::ReadOnly) ? file.read(4096).split('\n') : QList<QByteArray>();
    bool number = false;
    const qint64 pid = lines.value(0).toLongLong(&number);
    if (!number || pid <= 0)
        return QStringLiteral("it holds nothing readable (a power cut while it was written?)");
    const QString host = QString::fromUtf8(lines.value(2));
    const QByteArray machine = lines.value(3);
    const QByteArray ourMachine = QSysInfo::machineUniqueId();
    const bool elsewhere = !machine.isEmpty() && !ourMachine.isEmpty()
                               ? machine != ourMachine
                               : !host.isEmpty() && host != QSysInfo::machineHostName();
    if (elsewhere)
        return QStringLiteral("it was left by a station on the computer %1, and no station "
                              "answers here")
            .arg(host);
    // Processes gone and earlier boots QLockFile takes over by itself; a pid this very program
    // got again (the same start order after a power cut) it does not.
    if (pid == QCoreApplication::applicationPid())
        return QStringLiteral("it names this program's own process %1, from an earlier run")
            .arg(pid);
    return {};
}

bool SingleInstance::refuse(platform::Platform& platform, const QString& why) {
    qCWarning(lcInstance).noquote() << "another station runs:" << why;
    platform.messageBox(AppTitle + QStringLiteral(" I am already Running") +
                            QStringLiteral("\r\n(%1)").arg(why),
                        AppTitle, platform::Icon::Critical);
    return false;
}

bool SingleInstance::acquire(platform::Platform& platform) {
    if (lock_.isLocked())
        return true;
    if (!holdMachineName())
        return refuse(platform, QStringLiteral("another Ventrolo on this computer runs in %1")
                                    .arg(directory_));
    if (lock_.tryLock(0))
        return true;
    if (lock_.error() == QLockFile::LockFailedError) {
        const QString stale = staleness();
        if (!stale.isEmpty()) {
            qCWarning(lcInstance).noquote()
                << "taking over the stale lock" << path_ << QStringLiteral("-") << stale;
            if (lock_.removeStaleLockFile() && lock_.tryLock(0))
                return true;
        }
        qint64 pid = 0;
        QString host;
        QString application;
        if (!lock_.getLockInfo(&pid, &host, &application))
            return refuse(platform, QStringLiteral("%1 cannot be taken over").arg(path_));
        const QString answer = answering_ ? answering_() : QString();
        return refuse(platform,
                      QStringLiteral("%1 is held by process %2 on %3%4")
                          .arg(path_)
                          .arg(pid)
                          .arg(host.isEmpty() ? QStringLiteral("this computer") : host,
                               answer.isEmpty() ? QString() : QStringLiteral(", and ") + answer));
    }
    // A directory that cannot hold the lock (read-only, full) does not keep the program from
    // starting; a station that answers there does.
    if (const QString answer = answering_ ? answering_() : QString(); !answer.isEmpty())
        return refuse(platform, QStringLiteral("%1 cannot be written, and %2").arg(path_, answer));
    qCWarning(lcInstance) << "cannot create" << path_ << "- running without the lock";
    return true;
}

} // namespace core
