#pragma once

// Ventrolo.ini as the program reads it: the [lpt] group at start-up, the [serial] group at
// every opening of the rig's port. Shared by the ini_file and ini_values targets.
#include "FuzzSupport.h"
#include "core/SettingsFile.h"
#include "port/LptSettings.h"
#include "rig/SerialDeviceMap.h"

#include <QSettings>
#include <optional>

namespace fuzz {

struct IniKey {
    const char* key;
    const char* fallback;
};
inline const IniKey LptDeviceKeys[] = {{"lpt/port888", "/dev/parport0"},
                                       {"lpt/port956", "/dev/parport1"},
                                       {"lpt/port632", "/dev/parport2"}};
inline const IniKey SerialKeys[] = {{"serial/COM1", "/dev/ttyUSB0"},
                                    {"serial/COM2", "/dev/ttyUSB1"},
                                    {"serial/COM3", "/dev/ttyS0"},
                                    {"serial/COM4", "/dev/ttyS1"}};

struct IniReading {
    port::LptSettings lpt;
    std::array<QString, 4> com;
};

inline IniReading ReadIni(const QString& dir) {
    IniReading reading;
    reading.lpt = port::ReadLptSettings(dir + QStringLiteral("/Ventrolo.ini"));
    const rig::SerialDeviceMap map = rig::SerialDeviceMap::Load(dir);
    for (int i = 0; i < 4; ++i)
        reading.com[std::size_t(i)] = map.devicePath(i + 1);
    return reading;
}

// Reads the file as the program does, and checks that what the user wrote (as QSettings gives
// it, see core::SettingsText) is what is used,
// that nothing the user wrote is lost (the defaults of missing keys are added after it), and
// that the next start reads the same and changes nothing.
inline void CheckIniFile(const QByteArray& bytes) {
    const QString dir = NewDirectory();
    const QString path = dir + QStringLiteral("/Ventrolo.ini");
    WriteFile(path, bytes);

    std::optional<QString> lptText[3], comText[4];
    bool backendGiven = false;
    {
        const core::IniSettings ini(path);
        for (int i = 0; i < 3; ++i)
            lptText[i] = core::SettingsText(ini, QLatin1String(LptDeviceKeys[i].key));
        for (int i = 0; i < 4; ++i)
            comText[i] = core::SettingsText(ini, QLatin1String(SerialKeys[i].key));
        backendGiven = core::SettingsContain(ini, QStringLiteral("lpt/backend"));
    }

    const IniReading first = ReadIni(dir);
    const QString paths[3] = {first.lpt.devices.port888, first.lpt.devices.port956,
                              first.lpt.devices.port632};
    for (int i = 0; i < 3; ++i)
        FUZZ_CHECK(paths[i] == lptText[i].value_or(QLatin1String(LptDeviceKeys[i].fallback)));
    for (int i = 0; i < 4; ++i)
        FUZZ_CHECK(first.com[std::size_t(i)] ==
                   comText[i].value_or(QLatin1String(SerialKeys[i].fallback)));
    // A backend the file does not name, or names wrongly (which the user is told), is chosen
    // automatically.
    if (!backendGiven || !first.lpt.problem.isEmpty())
        FUZZ_CHECK(first.lpt.backend == port::LptBackend::Auto);
    if (!backendGiven)
        FUZZ_CHECK(first.lpt.problem.isEmpty());

    const QByteArray afterFirst = ReadFile(path);
    FUZZ_CHECK(afterFirst.startsWith(bytes));

    const IniReading second = ReadIni(dir);
    FUZZ_CHECK(second.com == first.com);
    FUZZ_CHECK(second.lpt.backend == first.lpt.backend);
    FUZZ_CHECK(second.lpt.problem.isEmpty() == first.lpt.problem.isEmpty());
    FUZZ_CHECK(second.lpt.devices.port888 == first.lpt.devices.port888 &&
               second.lpt.devices.port956 == first.lpt.devices.port956 &&
               second.lpt.devices.port632 == first.lpt.devices.port632);
    FUZZ_CHECK(ReadFile(path) == afterFirst);

    RemoveDirectory(dir);
}

} // namespace fuzz
