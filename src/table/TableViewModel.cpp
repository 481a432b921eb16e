#include "table/TableViewModel.h"

#include "core/TextRules.h"
#include "table/AmateurBands.h"
#include "table/Interpolation.h"

#include <algorithm>
#include <array>

namespace table {

TableViewModel::TableViewModel(const core::ProgramState& state, TableEditor& editor,
                               QObject* parent)
    : QObject(parent), state_(state), editor_(editor) {
    connect(&editor_, &TableEditor::changed, this, [this] {
        // Rows may have gone: a selection beyond them ends.
        if (rowAt(view_.ListIndex) == 0)
            view_.ListIndex = -1;
        emit changed();
    });
    connect(&editor_, &TableEditor::listRefreshed, this, &TableViewModel::listRefreshed);
}

int TableViewModel::rowAt(int index) const {
    return index >= 0 && index < editor_.data().TableLast ? index + 1 : 0;
}

void TableViewModel::listRefreshed(int select) {
    if (select == TableEditor::SelectInputRow) {
        const QString input = view_.InputText.trimmed();
        const int row =
            input.isEmpty()
                ? 0
                : editor_.data().FindFreq(static_cast<core::Single>(core::LeadingNumber(input)));
        select = row > 0 ? row - 1 : 0;
    }
    const int rows = editor_.data().TableLast;
    view_.ListIndex = rows >= 1 ? std::clamp(select, 0, rows - 1) : -1;
    emit changed();
}

QString TableViewModel::ListLine(int row) const {
    const TableData& data = editor_.data();
    return QStringLiteral("%1").arg(row, 3, 10, QLatin1Char('0')) + QStringLiteral("  ") +
           core::NumberText(data.TableFreq[row]) + QLatin1Char(' ') + state_.FrequencyUnit +
           QStringLiteral("  ") + core::NumberText(data.TablePos[row]) + QStringLiteral("   ") +
           data.TableText[row];
}

QStringList TableViewModel::ListLines() const {
    QStringList lines;
    for (int row = 1; row <= editor_.data().TableLast; ++row)
        lines << ListLine(row);
    return lines;
}

QString TableViewModel::StatusText() const {
    const TableData& data = editor_.data();
    return state_.TableFileName + QStringLiteral("     Recs ") +
           core::PlainNumberText(data.TableLast) + QStringLiteral("  ") +
           core::PlainNumberText(data.TableFreq[0]) + QLatin1Char('>') +
           core::PlainNumberText(data.TablePos[0]) + QLatin1Char(' ') +
           InterpolNames()[data.InterpolType] + OffsetText(data) +
           (statusNoteTable_ == state_.TableFileName && !statusNote_.isEmpty()
                ? QStringLiteral("   ") + statusNote_
                : QString()) +
           (rigNote_.isEmpty() ? QString() : QStringLiteral("   ") + rigNote_);
}

void TableViewModel::SetRigNote(const QString& note) {
    if (rigNote_ == note)
        return;
    rigNote_ = note;
    emit changed();
}

void TableViewModel::SetStatusNote(const QString& note) {
    statusNote_ = note;
    statusNoteTable_ = state_.TableFileName;
    emit changed();
}

QString TableViewModel::OffsetText(const TableData& data) {
    if (data.StepperOffset == 0)
        return {};
    QString text = QStringLiteral("  offset ") +
                   (data.StepperOffset > 0 ? QStringLiteral("+") : QString()) +
                   core::PlainNumberText(data.StepperOffset);
    if (const auto band = data.OffsetBandKHz != 0 ? AmateurBandOf(data.OffsetBandKHz)
                                                  : std::nullopt)
        text += QStringLiteral(" in ") + QLatin1String(band->name);
    return text;
}

QString TableViewModel::StatusToolTip() const {
    return QStringLiteral("The loaded tablefile, amount of records and type interpol (") +
           editor_.data().TableText[0] + QStringLiteral(").");
}

QString TableViewModel::StepperOffsetCaption() const {
    return QStringLiteral("&Stepper offset(") + core::NumberText(editor_.data().StepperOffset) +
           QStringLiteral(")...");
}

QString TableViewModel::rowCaption(const QString& command, const QString& none) const {
    const int row = rowAt(view_.ListIndex);
    if (row == 0)
        return none;
    return command + core::NumberText(editor_.data().TableFreq[row]) + QLatin1Char(' ') +
           state_.FrequencyUnit;
}

QString TableViewModel::TurnToCaption() const {
    return rowCaption(QStringLiteral("Turn to "), QStringLiteral("&TurnTo ?"));
}

QString TableViewModel::DeleteCaption() const {
    return rowCaption(QStringLiteral("Delete "), QStringLiteral("&Delete ?"));
}

QString TableViewModel::AddCommentCaption() const {
    return QStringLiteral("Add Change ") + editor_.data().TableText[rowAt(view_.ListIndex)];
}

void TableViewModel::SetInputText(const QString& text) {
    view_.InputText = text;
    emit changed();
}

void TableViewModel::SetInfoInterpolText(const QString& text) {
    view_.InfoInterpolText = text;
    emit changed();
}

void TableViewModel::SelectListIndex(int index) {
    view_.ListIndex = rowAt(index) > 0 ? index : -1;
    emit changed();
}

void TableViewModel::ClickRow(int index) {
    SelectListIndex(index);
    if (const int row = rowAt(index); row > 0)
        SetInputText(core::PlainNumberText(editor_.data().TableFreq[row]));
}

TableEditor::AddResult TableViewModel::AddInputRow() {
    const auto result = editor_.AddOrReplaceRow(core::LeadingNumber(view_.InputText));
    if (result == TableEditor::AddResult::TooHigh)
        SetInputText(QStringLiteral("To High"));
    return result;
}

void TableViewModel::setValueLabel(const QString& text, core::Long color) {
    view_.InterpolValueText = text;
    view_.InterpolValueColor = color;
    emit changed();
}

void TableViewModel::ShowPending() {
    setValueLabel(QString(std::max<qsizetype>(1, view_.InterpolValueText.size()), QLatin1Char('?')),
                  LabelRed);
}

void TableViewModel::ShowLookup(const Lookup& lookup) {
    switch (lookup.kind) {
    case Lookup::Kind::NoReading:
    case Lookup::Kind::OutOfRange:
        setValueLabel(NoPosition, LabelRed);
        return;
    case Lookup::Kind::Fault:
        setValueLabel(NoPosition, LabelBlue);
        return;
    case Lookup::Kind::Position:
        ShowInterpolPosition(lookup.rowPosition);
        setValueLabel(core::PlainNumberText(lookup.position),
                      lookup.exact ? LabelMagenta : LabelBlue);
        return;
    }
}

void TableViewModel::ShowInterpolPosition(core::Long p) {
    const QString& info = view_.InfoInterpolText;
    const TableData& data = editor_.data();
    if (info.startsWith(QLatin1Char('?')) || info == NoPosition || data.TableLast < 1)
        return;
    for (int row = 1; row <= data.TableLast; ++row) {
        if (data.TablePos[row] >= p) {
            SelectListIndex(row - 1);
            return;
        }
    }
}

void TableViewModel::ResetInterpolLabels() {
    view_.InterpolValueText = InterpolValueTitle;
    view_.InterpolValueColor = LabelBlack;
    view_.InfoInterpolText.clear();
    emit changed();
}

namespace {

const std::array<QString, 5> Units{QStringLiteral("kHz"), QStringLiteral("pF"),
                                   QStringLiteral("Ohm"), QStringLiteral("uH"),
                                   QStringLiteral("mH")};

} // namespace

void TableViewModel::NextUnit() {
    view_.UnitCounter = view_.UnitCounter % int(Units.size()) + 1;
    editor_.SetFrequencyUnit(Units[static_cast<std::size_t>(view_.UnitCounter - 1)]);
    emit changed();
}

void TableViewModel::ForceKHz() {
    view_.UnitCounter = 1;
    editor_.SetFrequencyUnit(Units[0]);
    emit changed();
}

void TableViewModel::ResetUnit() {
    view_.UnitCounter = 0;
}

} // namespace table
