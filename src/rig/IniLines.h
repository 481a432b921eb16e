#pragma once

#include <QByteArray>
#include <QString>

namespace rig {

// Ventrolo.ini is the user's file: the rig link writes its keys into it one line at a time, and
// the user's comments, order and every other line stay as written.

// The settings text with key in [group] set to value (group and key matched without regard to
// case); a missing key goes first into its group, a missing group at the end.
QByteArray WithIniValue(const QByteArray& contents, const QByteArray& group, const QByteArray& key,
                        const QByteArray& value);

// Sets the key in the file atomically (a missing file is made). False, logged, when the file
// could not be read or written: the value then holds for this run only.
bool StoreIniValue(const QString& file, const QByteArray& group, const QByteArray& key,
                   const QByteArray& value);

} // namespace rig
