#include "core/ProgramDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace core {
namespace {

ProgramDirectoryResult made(const QString& path) {
    QDir dir(path);
    if (!dir.exists() && !QDir().mkpath(path))
        return {{}, QStringLiteral("cannot create the directory %1").arg(path)};
    return {QFileInfo(path).absoluteFilePath(), {}};
}

bool IsOneOf(const QFileInfo& directory, const QStringList& directories) {
    const QString canonical = directory.canonicalFilePath();
    for (const QString& d : directories) {
        if (QFileInfo(d).canonicalFilePath() == canonical)
            return true;
    }
    return false;
}

// An installation under any prefix: bin/ventrolo beside share/ventrolo, which the package and
// `cmake --install` lay out and a build directory never has.
bool IsInstalled(const QFileInfo& executableDirectory) {
    return QFileInfo(executableDirectory.absoluteFilePath() + QStringLiteral("/../share/ventrolo"))
        .isDir();
}

} // namespace

QStringList SystemProgramDirectories() {
    return {QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin")};
}

ProgramDirectoryResult ResolveProgramDirectory(const QString& requested,
                                               const QString& executableDirectory,
                                               const QStringList& systemDirectories) {
    if (!requested.isEmpty())
        return made(requested);
    const QFileInfo exeDir(executableDirectory);
    if (!executableDirectory.isEmpty() && exeDir.isDir() && exeDir.isWritable() &&
        !IsOneOf(exeDir, systemDirectories) && !IsInstalled(exeDir))
        return {exeDir.absoluteFilePath(), {}};
    // Without a home ($HOME unset, or "/" as a system user may have) the data directory would
    // be /.local/share at the filesystem's root.
    const bool ownDataHome = QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"));
    const QString home = qEnvironmentVariable("HOME");
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || (!ownDataHome && (home.isEmpty() || QDir(home).isRoot())))
        return {{},
                QStringLiteral("no home directory to keep the files in (HOME is %1); give one "
                               "with --dir")
                    .arg(home.isEmpty() ? QStringLiteral("not set") : home)};
    return made(dataHome + QStringLiteral("/ventrolo"));
}

QString SettingsFilePath(const QString& programDirectory) {
    return programDirectory + QStringLiteral("/Ventrolo.ini");
}

} // namespace core
