#pragma once

#include "platform/Platform.h"

#include <QLockFile>
#include <QString>

namespace core {

// One running program per program directory: a lock file there, held for the life of this
// object. A lock left behind by a program that crashed is taken over (its process is gone).
class SingleInstance {
public:
    explicit SingleInstance(const QString& programDirectory);

    // True when this program now holds the lock. False when another running program holds
    // it: the user is told "I am already Running" and this program must end.
    bool acquire(platform::Platform& platform);

    QString lockPath() const { return path_; }

private:
    QString path_;
    QLockFile lock_;
};

} // namespace core
