#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "table/TableData.h"
#include "table/TableLinks.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace table {

// The frequency table of the program's run and everything that changes it: the table file,
// the rows, the header (interpolation type, steps per 360, offset, limits), the table limits
// and the choice of the file. It reaches the user only through Platform, the engine and the rig
// only through EngineLink and RigLink; what it changed it tells through its signals.
class TableEditor : public QObject {
    Q_OBJECT

public:
    enum class AddResult { Added, Replaced, NotReplaced, TooHigh, Full };
    // listRefreshed's index for "the row of the input box's value, else the first".
    static constexpr int SelectInputRow = -1;

    TableEditor(core::ProgramState& state, platform::Platform& platform, QString programDirectory,
                QObject* parent = nullptr);

    // The links stay owned by the caller and must outlive their use; nullptr restores the
    // do-nothing link.
    void setEngineLink(EngineLink* link);
    void setRigLink(RigLink* link);
    // While the table window is on screen a table's offset is questioned when it is applied.
    void SetWindowVisible(bool visible) { windowVisible_ = visible; }

    const TableData& data() const { return data_; }
    bool TableChanged() const { return tableChanged_; }
    // The file of TableFileName in the program directory.
    QString tablePath() const;
    // cboCatFiles: "\" + name of every *.cat file, and names typed in since.
    const QStringList& CatFiles() const { return catFiles_; }
    // chkMinMax.
    bool TableLimitsApplied() const { return state_.AppliedTableLimits.has_value(); }

    // --- the table file ---
    // Reads the file of TableFileName; a missing file becomes a new table, written at once. A
    // damaged file loads what can be read and the user is told what was left out; the file
    // itself is not touched until the table is saved, and is then first kept beside as
    // "<file>.damaged". Applied table limits end.
    void LoadTable();
    // Writes the table atomically (beeping first), clears TableChanged and ends applied table
    // limits. On failure the old file stays, the user is told and the result is false.
    bool SaveTable();
    // Rebuilds the header text from InterpolType, the header's own steps per 360 (the working
    // StepsPer360 when the header has none) and StepperOffset.
    void CreateCommentZero();
    // Applies the header text: InterpolType, TableStepsPer360, StepperOffset (asking whether to
    // reset a non-zero offset while the window is visible and marked shown).
    void ExtractCommentZero();
    // Makes a header when there is none, applies it and tells the window to show the list with
    // list index `select` (or SelectInputRow) selected.
    void RefreshList(int select);

    // --- rows ---
    // Stores the current position (less the offset, held within the limits) under x.
    AddResult AddOrReplaceRow(double x);
    // False when there is no such data row.
    bool DeleteRow(int row);
    // Sets a row's description (without quotes and line breaks); false when there is no row.
    bool SetRowText(int row, const QString& text);
    // mnuAddComment: asks for the row's description, offering the old one. The input box gives
    // an empty text for Cancel as for an emptied field: an empty answer keeps the description
    // (a star that marks the start-up row is not lost by a cancel); blanks clear it.
    bool AskRowText(int row);
    // The unit of the x values (kHz, pF, ...), shown in the list and the input box's label.
    void SetFrequencyUnit(const QString& unit);

    // --- the header ---
    // Sets the interpolation type (0..9); false for another value.
    bool SetInterpolType(int type);
    // Sets the stepper offset, rounded; -30..30 is accepted, another value is refused with a
    // message and the old offset stays.
    bool SetStepperOffset(double offset);
    // mnuStepperOffset: asks for the offset, advising the one that puts the stepper's present
    // position on the table's position for catFrequency. Cancel changes nothing.
    bool AskStepperOffset(core::Single catFrequency);
    // Drift: after the stepper was corrected by hand at the rig's frequency, the difference to
    // the table's position there becomes the offset, and the table is saved. Refused (nothing
    // changed, the reason returned) without a frequency in the table or beyond the offset's
    // limit; an empty text when done.
    QString RetuneHere(core::Single catFrequency);
    // "Offset 0": the offset ends, and the table is saved.
    bool ZeroOffset();
    // The offset holds only within the amateur band of kHz (where it was taken), or, with 0,
    // everywhere; the table is saved. False, and the reason told, for a kHz in no amateur band.
    bool SetOffsetBand(core::Single kHz);
    // cmdStatusSave: the header takes the working limits and steps per 360; returns the
    // proposals for the table-limits dialog.
    struct LimitsProposal {
        core::Long lower = 0;
        core::Long upper = 0;
        core::Long steps = 0;
    };
    LimitsProposal StoreWorkingLimits();
    // The table-limits dialog's OK: values rounded; steps of 0 or less become
    // 2 × (MaxPosition - MinPosition). A lower limit not below the upper one is refused with a
    // message and the header stays as it was.
    bool SetTableLimits(double lower, double upper, double steps);
    // chkMinMax: on, the working limits (and steps per 360 when the header has more than 1)
    // become the header's, never stored as the stepper's own; off, they come back from the
    // selected stepper's stored profile.
    void ApplyTableLimits(bool apply);

    // --- start-up row and file choice ---
    // With the rig's port open and data rows present, sends the start-up row's frequency to
    // the rig and locks.
    void SetRigFreqToFirstUnit();
    void FillCatFileList();
    // A name typed into the file box and Enter.
    void EnterTableName(const QString& typed);
    // A name chosen from the file list: saves a changed table, offers to park the stepper at
    // MinPosition when the name differs, then loads the chosen table.
    void SelectTableFile(const QString& name);
    // A band set's changeover to another table of the same loop: a changed table is saved
    // first, and the new one is loaded without parking the stepper and without questioning its
    // offset (nobody may be there to answer while the rig is followed). False when the table in
    // hand could not be saved: it stays loaded.
    bool OpenBandTable(const QString& name);
    // Asks, deletes the table file and loads the next one (or a new "NewFile").
    void DeleteTableFile();

signals:
    // The table, its header, its file or the file list changed: the window shows it again.
    void changed();
    // The list was rebuilt: the window selects list index `select` (or SelectInputRow).
    void listRefreshed(int select);

private:
    void makeHeader();
    void markChanged();
    // Writes the table atomically; on failure the user is told, the old file stays.
    bool writeTable();
    // The offset or its band changed: into the header, and applied at the next poll.
    void offsetChanged();
    // The current position less the offset at x, held within the limits.
    core::Long limitedPosition(core::Single x);
    void reportDamage(const QStringList& problems);
    bool confirmed(const QString& question);
    void tell(const QString& text, platform::Icon icon = platform::Icon::Exclamation);
    void turnToMinPosition();

    core::ProgramState& state_;
    platform::Platform& platform_;
    QString directory_;
    EngineLink* engine_;
    RigLink* rig_;

    TableData data_;
    bool tableChanged_ = false;
    // The file as read when it was damaged, until it is kept beside at the first save over it.
    std::optional<QByteArray> damaged_;
    bool unreadable_ = false; // the file could not be read: kept beside before a save
    bool windowVisible_ = false;
    QStringList catFiles_;
};

} // namespace table
