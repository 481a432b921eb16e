#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"

#include <QByteArray>
#include <QString>

namespace core {

// Ventrolo.cfg: every setting that outlives a run, for both steppers, in 35 lines of the
// program's sequential-file notation. It only reads and writes the settings: clearing the ports
// and measuring PcSpeed when the defaults are made, and clearing the data register before the
// last save, are the caller's.
class ConfigFile {
public:
    enum class Loaded { FromFile, Defaults };

    ConfigFile(ProgramState& state, platform::Platform& platform, QString programDirectory);

    QString path() const;
    // The program directory, where every file of the program lives.
    const QString& programDirectory() const { return directory_; }
    // Where a damaged file is kept before the first save over it.
    QString damagedCopyPath() const;

    // Fills the program-wide settings and both stored profiles from the file; defaults when the
    // file is missing, unreadable or its first line is not this version's (the result says so).
    // A damaged file keeps the fields read before the fault, the rest keep their values, and the
    // user is told. Whatever is not read of a file that is there counts as damage: the file is
    // kept as damagedCopyPath() before the first save over it, and so is one whose table or
    // timer file name leads out of the program directory (the default name is used) or whose
    // lower limit of a stepper is above its upper (the two are exchanged).
    [[nodiscard]] Loaded LoadConfig();
    // Whether the last LoadConfig() read both steppers' counters and overlay positions from the
    // file: false when it is missing, unreadable, of another version or damaged before them.
    bool positionsRead() const { return positionsRead_; }
    // Who hears of a failed save: the user at every failure (the user asked for the save, or the
    // program ends), or once until a save succeeds again (saves the program makes by itself).
    enum class FailureTold { Always, OnceUntilSaved };
    // Writes the whole file atomically from the state. Callers store the working profile first.
    // A file found damaged or unreadable at loading is first kept as damagedCopyPath(), once per
    // run; when that fails it is not saved over. On failure the old file stays, the user is told
    // (as told says) and the result is false.
    bool SaveConfig(FailureTold told = FailureTold::Always);
    // Replaces the settings by the built-in defaults (the file is written at the next save).
    void DefaultConfig();

    // The file's contents for the present state.
    QByteArray serialize() const;
    // Reads the contents into the state; returns the line of the first fault, 0 when none.
    // Anything after the last setting is a fault at its line; allRead (when given) tells
    // whether every setting was read before the fault.
    int deserialize(const QByteArray& contents, bool* allRead = nullptr);

private:
    // The file holds what this run could not read: the user is told, the file kept aside.
    void damaged(const QString& text);
    bool keepDamagedCopy(FailureTold told);
    // Logs a failed save and tells the user, unless told spares them a repeat.
    void failed(const QString& text, FailureTold told);
    // A table or timer file name read from the file that leads out of the program directory is
    // replaced by the default, and the file counts as damaged at that line.
    void keepNameInDirectory(QString& name, const QString& fallback, int line);
    // A stepper's limits read the wrong way round are exchanged, and the file counts as damaged.
    void keepLimitsInOrder(int stepper);

    ProgramState& state_;
    platform::Platform& platform_;
    QString directory_;
    // The file holds settings this run could not read; it is copied aside before the first save.
    bool damaged_ = false;
    bool positionsRead_ = false;
    // A failed save was told and none has succeeded since.
    bool failureTold_ = false;
};

} // namespace core
