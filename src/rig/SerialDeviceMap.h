#pragma once

#include <QString>
#include <array>

namespace rig {

// The serial devices behind COM1..COM4, kept in Ventrolo.ini in the program directory, group
// [serial], keys COM1..COM4, so the user can point them at other devices. Other groups of the
// file are left alone.
class SerialDeviceMap {
public:
    static constexpr std::array<const char*, 4> DefaultDevices{"/dev/ttyUSB0", "/dev/ttyUSB1",
                                                               "/dev/ttyS0", "/dev/ttyS1"};

    // Reads the map; a missing or blank entry gets its default, which is added to the end of the
    // file so the user finds it there; nothing else in the file is rewritten (a file that
    // cannot be written leaves the defaults in use).
    static SerialDeviceMap Load(const QString& programDirectory);

    // The device path of COM<port>; empty for a port outside 1..4.
    QString devicePath(int port) const;

private:
    std::array<QString, 4> paths_;
};

} // namespace rig
