#include "table/ParamsDialog.h"

#include "core/TextRules.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace table {

ParamsDialog::ParamsDialog(TableEditor& editor, const core::ProgramState& state,
                           const TableEditor::LimitsProposal& proposal, QWidget* parent)
    : QDialog(parent), editor_(editor), state_(state) {
    setObjectName(QStringLiteral("Params"));
    setWindowTitle(QStringLiteral("Params"));
    setModal(true);
    auto field = [this](const char* name, const char* toolTip, core::Long value) {
        auto* edit = new QLineEdit(core::PlainNumberText(value));
        edit->setObjectName(QString::fromLatin1(name));
        edit->setToolTip(QString::fromLatin1(toolTip));
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
            const QString kept = core::NumericFieldText(text);
            if (kept != text)
                edit->setText(kept);
        });
        return edit;
    };
    Text1 = field("Text1", "Min steps.", proposal.lower);
    Text2 = field("Text2", "Max steps.", proposal.upper);
    Text3 = field("Text3", "Default steps for 180 degrees.", proposal.steps);
    OKButton = new QPushButton(QStringLiteral("OK"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(OKButton, &QPushButton::clicked, this, &ParamsDialog::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Min"), Text1);
    fields->addRow(QStringLiteral("Max"), Text2);
    fields->addRow(QStringLiteral("Steps"), Text3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(cmdCancel);
    auto* page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addLayout(buttons);
}

bool ParamsDialog::eventFilter(QObject* watched, QEvent* event) {
    // Entering a field selects its text, so typing replaces it (after the click's own
    // placing of the cursor).
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void ParamsDialog::okClicked() {
    if (core::LeadingNumber(Text3->text()) <= 0)
        Text3->setText(core::PlainNumberText(
            core::RoundToLong(2.0 * (double(state_.MaxPosition) - state_.MinPosition))));
    if (editor_.SetTableLimits(core::LeadingNumber(Text1->text()),
                               core::LeadingNumber(Text2->text()),
                               core::LeadingNumber(Text3->text()))) {
        accept();
        return;
    }
    Text1->setFocus();
    Text1->selectAll();
}

} // namespace table
