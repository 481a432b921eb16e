#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace program {

// Turnlist1.txt .. Turnlist3.txt: one line holding the program text in double quotes, ended by
// CR LF, for example
//   "22*,800!,198#,30"
struct TurnlistContents {
    QString program;      // filtered program text
    QStringList problems; // what was left out, one line each; empty for a sound file
};
QByteArray SerializeTurnlist(const QString& program);
// Never fails: the program is the first line's quoted text (or the whole line when it has no
// quotes); what else the file holds is left out and described in problems.
TurnlistContents ParseTurnlist(const QByteArray& bytes);

// The direct table's program files and the check marks of its Files menu, which tell Save
// where the program in the box came from.
class TurnlistFiles {
public:
    TurnlistFiles(platform::Platform& platform, QString programDirectory);

    // The checked entry: 0 Default, 1..3 Load1..Load3; nullopt before any load.
    std::optional<int> checked() const { return checked_; }
    // The file of Load1..Load3 in the program directory.
    QString path(int n) const;

    // n = 0: the built-in default program; 1..3: the program of Turnlist<n>.txt. The entry is
    // checked only when the program could be had. A missing or unreadable file says so and gives
    // nullopt; a damaged one gives what could be read and says what was left out.
    std::optional<QString> LoadFile(int n);
    // Writes program to the checked file, asking for the file number when none of Load1..Load3
    // is checked; the answered entry is checked once written. A file loaded damaged is first
    // kept beside as "<file>.damaged". False when nothing was written (empty program, no valid
    // answer, a failed write), each said to the user.
    bool Save(const QString& program);

private:
    platform::Platform& platform_;
    QString directory_;
    std::optional<int> checked_;
    // The last file loaded, as read, when it was damaged (none when it could not be read): kept
    // beside before it is saved over.
    struct Damaged {
        int n;
        std::optional<QByteArray> bytes;
    };
    std::optional<Damaged> damaged_;
};

} // namespace program
