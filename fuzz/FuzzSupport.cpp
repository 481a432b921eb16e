#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

const QString& ScratchDirectory() {
    static QTemporaryDir dir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                        : QDir::tempPath()) +
                             QStringLiteral("/ventrolo-fuzz-XXXXXX"));
    static const QString path = dir.path();
    if (!dir.isValid()) {
        std::fprintf(stderr, "fuzz: no scratch directory\n");
        std::abort();
    }
    return path;
}

QString NewDirectory() {
    static unsigned long counter = 0;
    const QString path = ScratchDirectory() + QStringLiteral("/%1").arg(++counter);
    if (!QDir().mkpath(path)) {
        std::fprintf(stderr, "fuzz: cannot make %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

void RemoveDirectory(const QString& path) {
    QDir(path).removeRecursively();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "==FUZZ CHECK FAILED: %s at %s:%d\n", condition, file, line);
    std::abort();
}

} // namespace fuzz

// The program's own warnings about damaged input are expected by the thousand; they are not
// printed, which would slow fuzzing down to the speed of the terminal.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
            std::abort();
        }
    });
    static QCoreApplication app(*argc, *argv);
    fuzz::ScratchDirectory();
    return 0;
}
