#include "rig/SerialSettings.h"

#include <QStringList>

namespace rig {

std::optional<SerialSettings> ParseSerialSettings(const QString& text) {
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    bool baudOk = false, dataOk = false, stopOk = false;
    SerialSettings settings;
    settings.baudRate = fields[0].trimmed().toInt(&baudOk);
    const QString parity = fields[1].trimmed().toUpper();
    settings.dataBits = fields[2].trimmed().toInt(&dataOk);
    settings.stopBits = fields[3].trimmed().toInt(&stopOk);
    if (!baudOk || settings.baudRate <= 0 || parity.size() != 1 ||
        !QStringLiteral("NEOMS").contains(parity) || !dataOk || settings.dataBits < 5 ||
        settings.dataBits > 8 || !stopOk || (settings.stopBits != 1 && settings.stopBits != 2))
        return std::nullopt;
    settings.parity = parity[0].toLatin1();
    return settings;
}

} // namespace rig
