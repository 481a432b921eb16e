#include "rig/SerialDeviceMap.h"

#include "core/ProgramDirectory.h"
#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "rig/RigLogging.h"

namespace rig {

SerialDeviceMap SerialDeviceMap::Load(const QString& programDirectory) {
    const QString path = core::SettingsFilePath(programDirectory);
    SerialDeviceMap map;
    // Any text is a device path: there is nothing to report.
    core::SettingsGroupReader serial(path, QStringLiteral("serial"), nullptr);
    for (int i = 0; i < 4; ++i) {
        map.paths_[i] = QString::fromLatin1(DefaultDevices[i]);
        serial.text(QStringLiteral("COM%1").arg(i + 1), map.paths_[i]);
    }
    QString error;
    if (!serial.appendMissing({}, &error))
        core::LogDefaultsNotAdded(lcRig(), path, error);
    return map;
}

QString SerialDeviceMap::devicePath(int port) const {
    return port >= 1 && port <= 4 ? paths_[port - 1] : QString();
}

} // namespace rig
