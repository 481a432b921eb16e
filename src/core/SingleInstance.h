#pragma once

#include "platform/Platform.h"

#include <QLockFile>
#include <QString>
#include <functional>

namespace core {

// One running station per program directory, held for the life of this object by two locks:
// - on this computer, a name bound in the kernel's abstract socket namespace, made from the
//   directory's path: the kernel frees it when the process ends however it ends, and it needs
//   no file, so a read-only or full directory keeps it too;
// - in the directory, the lock file Ventrolo.lock, for stations of other computers that share
//   it. A lock whose holder is gone is stale and taken over, and the log says so, naming the
//   file: the holder's process no longer runs (or is another program, or this one: a pid used
//   again after a reboot), the file says nothing readable (empty, zeros, garbage: a power cut
//   while it was written), or it names another computer (the directory was copied or is
//   shared) and no station answers on the directory's status socket.
class SingleInstance {
public:
    // answering: what answers for this directory now ("a station answers on
    // /dir/Ventrolo.status"), empty when nothing does; not given, nothing is asked.
    explicit SingleInstance(const QString& programDirectory,
                            std::function<QString()> answering = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this program may run. False when another station runs on this directory: the
    // user is told "I am already Running" and why (what holds the lock, what answered), and
    // this program must end. A lock file that cannot be written (a read-only or full
    // directory) does not keep the program from starting unless a station answers.
    bool acquire(platform::Platform& platform);

private:
    // Binds this directory's name on this computer; false when another process has it.
    bool holdMachineName();
    // Why the lock held by another is stale; empty when its holder may still run.
    QString staleness();
    bool refuse(platform::Platform& platform, const QString& why);

    QString directory_;
    QString path_;
    std::function<QString()> answering_;
    QLockFile lock_;
    int nameSocket_ = -1;
};

} // namespace core
