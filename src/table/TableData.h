#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <array>
#include <optional>

namespace table {

// The frequency table: row 0 is the header (lower stepper limit as a float, upper limit, header
// text "type:steps per 360:offset", with ":kHz" when the offset holds only in that kHz's amateur
// band), rows 1..TableLast the data rows, ascending by TableFreq
// with no two equal. TableLast is -1 only while not even the header exists. InterpolType,
// TableStepsPer360 and StepperOffset are the header text as last applied.
struct TableData {
    static constexpr int RowCount = 101;
    static constexpr int MaxDataRows = RowCount - 1;

    std::array<core::Single, RowCount> TableFreq{}; // x value: frequency in the table's unit
    std::array<core::Long, RowCount> TablePos{};    // stepper position in steps, without offset
    std::array<QString, RowCount> TableText;        // description
    core::Long TableLast = 0;
    core::Integer InterpolType = 0;  // transform of the x values, 0..9
    core::Long TableStepsPer360 = 0; // steps per 360 the table was made with
    core::Long StepperOffset = 0;    // steps added to every position looked up
    // Where the offset was taken when it holds only within that amateur band; 0: everywhere.
    core::Single OffsetBandKHz = 0;

    int dataRows() const { return TableLast > 0 ? TableLast : 0; }
    // The offset at x: StepperOffset, or 0 outside the offset's band.
    core::Long OffsetAt(core::Single x) const;
    // The header text of the values applied, with steps per 360 as given.
    QString HeaderText(core::Single stepsPer360) const;

    // All rows (0, 0, ""), TableLast 0; the applied header values stay.
    void Clear();
    // Sorts rows 1..TableLast by ascending TableFreq; rows of equal TableFreq keep their order.
    void SortTable();
    // Removes data row `row` (1..TableLast); the rows above move down and the freed row is
    // cleared. False when there is no such row.
    bool DeleteRow(int row);
    // The data row whose TableFreq equals x, 0 when none.
    int FindFreq(core::Single x) const;
    // The first data row whose description has "*" as its first or second character, else 1.
    int StartupRow() const;
    // True when there are data rows and TableFreq(1) <= x <= TableFreq(TableLast).
    bool InRange(core::Single x) const;
};

// A header text field (0 interpolation type, 1 steps per 360, 2 stepper offset) as a number:
// its leading number, 0 when missing or blank.
double HeaderNumber(const QString& headerText, int field);
// The header's interpolation type, its field 0 rounded; nullopt when that is not 0..9.
std::optional<int> HeaderInterpolType(const QString& headerText);
// True when the field is there and not blank.
bool HasHeaderField(const QString& headerText, int field);

// A description as the table file can hold it: double quotes and line breaks cannot be written
// inside the quoted field and are dropped; characters outside Latin-1 become "?".
QString StorableDescription(const QString& text);

} // namespace table
