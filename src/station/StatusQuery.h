#pragma once

#include <QString>

namespace station {

// What `ventrolo --headless --status` ends with; the values are its exit codes.
enum StatusQueryResult : int {
    StatusAnswered = 0,
    StatusQueryFailed = 1,
    NoStationRuns = 3,
};

// Asks the station running in directory for its status, blocking up to timeoutMs for each of
// connecting and reading. StatusAnswered: text is the station's status. NoStationRuns: no
// socket, nobody listening on it, or nobody answering in time. StatusQueryFailed: anything
// else. Unless answered, text says why, for the user.
StatusQueryResult QueryStatus(const QString& directory, QString* text, int timeoutMs);

} // namespace station
