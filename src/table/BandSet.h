#pragma once

#include "core/ProgramState.h"
#include "core/SettingsReport.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// The band set of each stepper: the tables it changes over between as the rig's frequency moves
// from band to band, kept in Ventrolo.ini as "[stepper1] bandset=40m.cat,20m.cat" (plain file
// names in the program directory, without the leading "\" the program keeps them with).
namespace table {

// A table of a band set as far as following needs it: its name ("\20m.cat") and the
// frequencies of its first and last data rows.
struct BandTable {
    QString name;
    core::Single lowest = 0;
    core::Single highest = 0;

    bool covers(core::Single kHz) const { return lowest <= kHz && kHz <= highest; }
};

// Where following goes for a frequency: the stepper (0 or 1) and its table.
struct BandChoice {
    core::Long stepper = 0;
    QString table;

    bool operator==(const BandChoice&) const = default;
};

// The decision for a confirmed frequency that the open table may not cover. Nothing changes while
// the open table covers it. Otherwise the working stepper's set is asked first (so a frequency
// both sets cover keeps the working stepper), in the set's order; the other stepper's set only
// when both steppers hold a set (two loops). nullopt: outside every table, nothing moves.
std::optional<BandChoice> ChooseBand(core::Single kHz, bool openTableCovers, core::Long working,
                                     const std::array<std::vector<BandTable>, 2>& sets);

// A table file as a band set can use it: read whole, of this version, its header sound and one
// data row at least. nullopt, with why, for a missing or damaged file: the set skips it rather
// than ask the user anything in the middle of following.
std::optional<BandTable> ReadBandTable(const QString& programDirectory, const QString& name,
                                       QString* why = nullptr);

class BandSets {
public:
    explicit BandSets(QString programDirectory);

    // Reads both steppers' sets. Names that are no table file name are left out and noted in
    // the report (the rest of the set is kept).
    void Load(core::SettingsReport* report = nullptr);

    // Ventrolo.ini, where the sets are kept.
    const QString& settingsFile() const { return file_; }
    // The set of stepper 0 or 1 ("\40m.cat", ...), in the order ticked.
    const QStringList& names(core::Long stepper) const;
    bool contains(core::Long stepper, const QString& name) const;
    // Ticks a table into the stepper's set or out of it, and stores the set at once. False, the
    // set as it was and error saying why, when the settings file cannot be written.
    bool Toggle(core::Long stepper, const QString& name, QString* error = nullptr);
    // The entries of the menu: the table files there are, then the set's names that are not
    // among them (a table since deleted can still be ticked out).
    QStringList MenuNames(core::Long stepper, const QStringList& catFiles) const;

    // The set's tables as read from their files now; a missing or damaged one is left out, with
    // one logged warning until it can be read again.
    std::vector<BandTable> Tables(core::Long stepper);
    // ChooseBand on the tables as they are now.
    std::optional<BandChoice> Choose(core::Single kHz, bool openTableCovers, core::Long working);

private:
    static int index(core::Long stepper) { return stepper == 1 ? 1 : 0; }

    QString directory_;
    QString file_;
    std::array<QStringList, 2> names_;
    QSet<QString> warned_; // tables skipped and logged
};

} // namespace table
