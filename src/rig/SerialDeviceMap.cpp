#include "rig/SerialDeviceMap.h"

#include <QSettings>

namespace rig {

SerialDeviceMap SerialDeviceMap::Load(const QString& programDirectory) {
    QSettings ini(programDirectory + QStringLiteral("/Ventrolo.ini"), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("serial"));
    SerialDeviceMap map;
    bool added = false;
    for (int i = 0; i < 4; ++i) {
        const QString key = QStringLiteral("COM%1").arg(i + 1);
        QString path = ini.value(key).toString().trimmed();
        if (path.isEmpty()) {
            path = QString::fromLatin1(DefaultDevices[i]);
            ini.setValue(key, path);
            added = true;
        }
        map.paths_[i] = path;
    }
    ini.endGroup();
    if (added)
        ini.sync();
    return map;
}

QString SerialDeviceMap::devicePath(int port) const {
    return port >= 1 && port <= 4 ? paths_[port - 1] : QString();
}

} // namespace rig
