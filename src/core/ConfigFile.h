#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace core {

// Ventrolo.cfg: every setting that outlives a run, for both steppers, in 35 lines of the
// program's sequential-file notation.
class ConfigFile {
public:
    ConfigFile(ProgramState& state, platform::Platform& platform, platform::LptPort& port,
               QString programDirectory);

    // Measures PcSpeed when the defaults are made (one second); set by the stepping engine.
    std::function<void()> calibratePcSpeed;

    QString path() const;

    // Fills the program-wide settings and both stored profiles from the file; defaults when the
    // file is missing or of another version. A damaged file keeps the fields read before the
    // fault, the rest keep their values, and the user is told.
    void LoadConfig();
    // Writes the whole file atomically from the state. Callers store the working profile first.
    // On failure the old file stays, the user is told and the result is false.
    bool SaveConfig();
    // Replaces the settings by the built-in defaults (the file is written at the next save).
    void DefaultConfig();
    // The last step of every way out: data register 0, then the configuration saved.
    bool SaveAndEnd();

    // The file's contents for the present state.
    QByteArray serialize() const;
    // Reads the contents into the state; returns the line of the first fault, 0 when none.
    int deserialize(const QByteArray& contents);

private:
    ProgramState& state_;
    platform::Platform& platform_;
    platform::LptPort& port_;
    QString directory_;
};

} // namespace core
