#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace station {

// Sets keys of one [group] of an INI file (Ventrolo.ini) as text, keeping every other line, the
// user's comments included, as it is: a key that is there gets its new value (a comment after
// it stays), a missing one is added at the end of the group, a missing group at the end of the
// file. The file is made when missing and replaced atomically. It is left as it is, with the
// result false and error saying why, when it cannot be read or written or when the new values
// would not read back (a quote the user left open takes in the lines after it).
bool SetIniValues(const QString& path, const QString& group,
                  const std::vector<std::pair<QString, QString>>& values, QString* error = nullptr);

} // namespace station
