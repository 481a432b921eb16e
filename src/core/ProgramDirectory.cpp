#include "core/ProgramDirectory.h"

#include <QDir>
#include <QFileInfo>

namespace core {
namespace {

ProgramDirectoryResult made(const QString& path) {
    QDir dir(path);
    if (!dir.exists() && !QDir().mkpath(path))
        return {{}, QStringLiteral("cannot create the directory %1").arg(path)};
    return {QFileInfo(path).absoluteFilePath(), {}};
}

QString xdgDataHome() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_DATA_HOME");
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

} // namespace

ProgramDirectoryResult ResolveProgramDirectory(const QString& requested,
                                               const QString& executableDirectory) {
    if (!requested.isEmpty())
        return made(requested);
    const QFileInfo exeDir(executableDirectory);
    if (!executableDirectory.isEmpty() && exeDir.isDir() && exeDir.isWritable())
        return {exeDir.absoluteFilePath(), {}};
    return made(xdgDataHome() + QStringLiteral("/ventrolo"));
}

QString SettingsFilePath(const QString& programDirectory) {
    return programDirectory + QStringLiteral("/Ventrolo.ini");
}

} // namespace core
