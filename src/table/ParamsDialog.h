#pragma once

#include "core/ProgramState.h"
#include "table/TableEditor.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace table {

// Params, the table-limits dialog: the header's lower and upper limit and its steps per 360
// degrees, proposed by the table window's "Store limits". The fields keep digits and "." only
// and select their text when entered. OK writes the header through the editor and closes; a
// lower limit not below the upper one is refused ("Values not okay") and the dialog stays,
// with the header as it was.
class ParamsDialog : public QDialog {
    Q_OBJECT

public:
    ParamsDialog(TableEditor& editor, const core::ProgramState& state,
                 const TableEditor::LimitsProposal& proposal, QWidget* parent = nullptr);

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QPushButton* OKButton;
    QPushButton* cmdCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void okClicked();

    TableEditor& editor_;
    const core::ProgramState& state_;
};

} // namespace table
