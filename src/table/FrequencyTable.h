#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "table/TableData.h"
#include "table/TableLinks.h"
#include "table/TableViewState.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace table {

// The frequency table of the program's run: the rows, the table file, interpolation, and the
// state the table window shows (labels, lock, selection, file list). It reaches the user only
// through Platform, the engine and the rig only through EngineLink and RigLink.
class FrequencyTable : public QObject {
    Q_OBJECT

public:
    enum class AddResult { Added, Replaced, NotReplaced, TooHigh, Full };

    FrequencyTable(core::ProgramState& state, platform::Platform& platform,
                   QString programDirectory, QObject* parent = nullptr);

    // The links stay owned by the caller and must outlive their use; nullptr restores the
    // do-nothing link.
    void setEngineLink(EngineLink* link);
    void setRigLink(RigLink* link);

    // --- the table ---
    const TableData& data() const { return data_; }
    core::Long TableLast() const { return data_.TableLast; }
    core::Single TableFreq(int row) const;
    core::Long TablePos(int row) const;
    QString TableText(int row) const;
    bool TableChanged() const { return tableChanged_; }
    core::Integer InterpolType() const { return interpolType_; }
    core::Long StepperOffset() const { return stepperOffset_; }
    core::Long TableStepsPer360() const { return tableStepsPer360_; }
    // The file of TableFileName in the program directory.
    QString tablePath() const;

    // --- the table file ---
    // Reads the file of TableFileName; a missing file becomes a new table, written at once. A
    // damaged file loads what can be read and the user is told what was left out; the file
    // itself is not touched until the table is saved.
    void LoadTable();
    // Writes the table atomically (beeping first) and clears TableChanged. On failure the old
    // file stays, the user is told and the result is false.
    bool SaveTable();
    // Rebuilds the header text from InterpolType, the header's own steps per 360 (the working
    // StepsPer360 when the header has none) and StepperOffset.
    void CreateCommentZero();
    // Applies the header text: InterpolType, TableStepsPer360, StepperOffset (asking whether to
    // reset a non-zero offset while the window is visible and marked shown).
    void ExtractCommentZero();

    // --- editing ---
    // Stores the current position (less the offset, held within the limits) under x.
    AddResult AddOrReplaceRow(double x);
    // Sorts the data rows and refreshes the list, selecting the row of the input box's value.
    void SortTable();
    // False when there is no such data row.
    bool DeleteRow(int row);
    // Sets a row's description (without quotes and line breaks); false when there is no row.
    bool SetRowText(int row, const QString& text);
    // Sets the header row (the table limits and the header text) and applies it.
    void SetHeaderRow(core::Single lower, core::Long upper, const QString& text);
    // Sets the interpolation type (0..9); false for another value.
    bool SetInterpolType(int type);
    // Sets the stepper offset, rounded; -30..30 is accepted, another value is refused with a
    // message and the old offset stays.
    bool SetStepperOffset(double offset);
    // chkMinMax: on, the working limits (and steps per 360 when the header has more than 1)
    // become the header's; off, they come back from the selected stepper's stored profile.
    void ApplyTableLimits(bool apply);

    // --- start-up row and file choice ---
    int StartupRow() const { return data_.StartupRow(); }
    // With the rig's port open and data rows present, sends the start-up row's frequency to
    // the rig and locks.
    void SetRigFreqToFirstUnit();
    void FillCatFileList();
    // A name typed into the file box and Enter.
    void EnterTableName(const QString& typed);
    // A name chosen from the file list: saves a changed table, offers to park the stepper at
    // MinPosition when the name differs, then loads the chosen table.
    void SelectTableFile(const QString& name);
    // Asks, deletes the table file and loads the next one (or a new "NewFile").
    void DeleteTableFile();

    // --- interpolation ---
    // The position for x (normally the rig's frequency in kHz), offset included; outside the
    // table, and after a numeric fault, TargetPosition unchanged and the value label reads "No".
    core::Long FreqToPosition(core::Single x);
    // Selects the first list row whose position is p or above it.
    void ShowInterpolPosition(core::Long p);
    bool InRange(core::Single x) const { return data_.InRange(x); }

    // --- what the window shows ---
    const TableViewState& view() const { return view_; }
    QStringList ListLines() const;
    QString ListLine(int row) const;
    QString StatusToolTip() const;
    QString StepperOffsetCaption() const;
    // Makes a header when there is none, applies it, updates the status line and selects list
    // index `select` (when there are data rows).
    void RefreshList(int select);
    // The status line with the header's limits, or the working ones.
    void Status(bool workingLimits = false);
    void SetLocked(bool locked);
    void SetInputText(const QString& text);
    void SetInfoInterpolText(const QString& text);
    void SelectListIndex(int index);
    void SetWindowVisible(bool visible);
    // The interpolation labels as after opening the window.
    void ResetInterpolLabels();

signals:
    // Rows, status line, list selection or file list changed.
    void listChanged();
    // Interpolation labels, lock caption or input box changed.
    void labelsChanged();

private:
    void makeHeader();
    core::Long limitedPosition();
    void reportDamage(const QStringList& problems);
    void setValueLabel(const QString& text, core::Long color);
    void interpolFault(int type, const QString& fault);
    bool confirmed(const QString& question);
    void tell(const QString& text, platform::Icon icon, const QString& title);
    void turnToMinPosition();

    core::ProgramState& state_;
    platform::Platform& platform_;
    QString directory_;
    EngineLink* engine_;
    RigLink* rig_;

    TableData data_;
    bool tableChanged_ = false;
    core::Integer interpolType_ = 0;
    core::Long stepperOffset_ = 0;
    core::Long tableStepsPer360_ = 0;
    TableViewState view_;
};

} // namespace table
