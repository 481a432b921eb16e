#include "core/SingleInstance.h"

#include "core/VersionTexts.h"

#include <QLoggingCategory>

namespace core {

Q_LOGGING_CATEGORY(lcInstance, "ventrolo.instance")

SingleInstance::SingleInstance(const QString& programDirectory)
    : path_(programDirectory + QStringLiteral("/Ventrolo.lock")), lock_(path_) {
    // A running program keeps its lock however long it runs; only a lock whose process is
    // gone counts as stale.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::acquire(platform::Platform& platform) {
    if (lock_.isLocked() || lock_.tryLock(0))
        return true;
    if (lock_.error() != QLockFile::LockFailedError) {
        // A directory without write access cannot hold the lock; that must not keep the
        // program from starting.
        qCWarning(lcInstance) << "cannot create" << path_ << "- running without the lock";
        return true;
    }
    platform.messageBox(AppTitle + QStringLiteral(" I am already Running"), AppTitle,
                        platform::Icon::Critical);
    return false;
}

} // namespace core
