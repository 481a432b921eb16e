#pragma once

#include <QString>

namespace rig {

// A file in the program directory that exists while our PTT keys the rig on a line, written
// before the rig is keyed and removed once its release went out. A run that ended keyed (a
// crash during an SWR tune, the power gone) leaves it behind, and the next opening of that
// line releases the PTT; without it the rig's PTT is never touched at opening, so an operator
// transmitting on the rig's own PTT is not unkeyed. Without a directory nothing is kept.
class KeyedRecord {
public:
    static constexpr const char* FileName = "RigKeyed.txt";

    explicit KeyedRecord(const QString& programDirectory);

    // Our PTT keys the rig on this line ("/dev/ttyUSB0"); false when it could not be written.
    bool keyed(const QString& line);
    // Its release went out.
    void released();
    // A run left the rig on this line keyed.
    bool leftKeyed(const QString& line) const;

private:
    QString path_;
};

} // namespace rig
