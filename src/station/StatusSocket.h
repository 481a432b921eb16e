#pragma once

#include <QString>

namespace station {

// The local socket a running station answers `--status` on: Ventrolo.status in the program
// directory.
QString StatusSocketPath(const QString& directory);
// Why a Unix socket cannot be made at path (longer than sun_path holds); empty when it can.
QString StatusSocketPathProblem(const QString& path);

// Whether a station answers on the socket at path, waiting up to timeoutMs: Answers; Silent
// for nothing there or a socket nobody listens on (one left by a station gone); Unknown when
// that cannot be told (error says why).
enum class SocketProbe { Answers, Silent, Unknown };
SocketProbe ProbeStatusSocket(const QString& path, int timeoutMs, QString* error = nullptr);
// "a station answers on /dir/Ventrolo.status" when one does, for the user; else empty.
QString StationAnswering(const QString& directory);

} // namespace station
