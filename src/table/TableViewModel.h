#pragma once

#include "core/ProgramState.h"
#include "table/TableEditor.h"
#include "table/TableLookup.h"
#include "table/TableViewState.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace table {

// What the table window shows: the list, the status line, the labels and the selection, from
// the editor's table and the window's own state. The window renders it on changed() and
// forwards the user's input here or to the editor.
class TableViewModel : public QObject {
    Q_OBJECT

public:
    TableViewModel(const core::ProgramState& state, TableEditor& editor, QObject* parent = nullptr);

    const TableViewState& view() const { return view_; }

    // lstTable: one line per data row.
    QStringList ListLines() const;
    QString ListLine(int row) const;
    // lblStatus and its tool tip.
    QString StatusText() const;
    QString StatusToolTip() const;
    // "  offset +5" (" in 40m" where it holds in one band only); empty without an offset.
    static QString OffsetText(const TableData& data);
    // A note shown after the status line while the table open now is the one it came with
    // (what opened it); empty: none.
    void SetStatusNote(const QString& note);
    // What the watch on the rig tells (no reading for long, its announcements stopped), at the
    // status line's end whatever table is open; empty: nothing.
    void SetRigNote(const QString& note);
    QString StepperOffsetCaption() const;
    // The pop-up's entries for the selected row; "&TurnTo ?" and "&Delete ?" while none is.
    QString TurnToCaption() const;
    QString DeleteCaption() const;
    QString AddCommentCaption() const;

    void SetInputText(const QString& text);
    void SetInfoInterpolText(const QString& text);
    // Selects list index `index` (-1 or beyond the rows: none).
    void SelectListIndex(int index);
    // A click on a list row: selects it and shows its frequency in the input box.
    void ClickRow(int index);
    // cmdInput: stores the present position under the input box's number; a number too high
    // is answered with "To High" in the box.
    TableEditor::AddResult AddInputRow();

    // The value label while the step is computed for the rig: as many "?" as it had characters.
    void ShowPending();
    // A lookup on the value label: the position (magenta for a row's own frequency, blue
    // otherwise) with the first row at that position or above selected, or "No" (red outside
    // the table, blue after a numeric fault).
    void ShowLookup(const Lookup& lookup);
    // Selects the first list row whose position is p or above it.
    void ShowInterpolPosition(core::Long p);
    // The interpolation labels as after opening the window.
    void ResetInterpolLabels();

    // cmdUnity: the next unit of kHz, pF, Ohm, uH, mH (the first click gives kHz).
    void NextUnit();
    // The rig's frequencies are kHz: the unit becomes kHz (the next click gives pF).
    void ForceKHz();
    // The unit button's count as on opening the window.
    void ResetUnit();

signals:
    void changed();

private:
    void listRefreshed(int select);
    void setValueLabel(const QString& text, core::Long color);
    // The data row shown at list index `index`, 0 when none.
    int rowAt(int index) const;
    // command + the selected row's frequency and unit; none while no row is selected.
    QString rowCaption(const QString& command, const QString& none) const;

    const core::ProgramState& state_;
    TableEditor& editor_;
    TableViewState view_;
    QString statusNote_;
    QString statusNoteTable_; // the TableFileName the note belongs to
    QString rigNote_;
};

} // namespace table
