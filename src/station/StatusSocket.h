#pragma once

#include <QString>

namespace station {

// The local socket a running station answers `--status` on: Ventrolo.status in the program
// directory.
QString StatusSocketPath(const QString& directory);
// Why a Unix socket cannot be made at path (longer than sun_path holds); empty when it can.
QString StatusSocketPathProblem(const QString& path);

} // namespace station
