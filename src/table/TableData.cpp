#include "table/TableData.h"

#include "core/TextRules.h"
#include "table/AmateurBands.h"
#include "table/Interpolation.h"

#include <QStringList>
#include <algorithm>
#include <numeric>

namespace table {

void TableData::Clear() {
    TableFreq.fill(0);
    TablePos.fill(0);
    TableText.fill(QString());
    TableLast = 0;
}

void TableData::SortTable() {
    const int n = dataRows();
    std::array<int, RowCount> order{};
    std::iota(order.begin(), order.begin() + n, 1);
    std::stable_sort(order.begin(), order.begin() + n,
                     [this](int a, int b) { return TableFreq[a] < TableFreq[b]; });
    const TableData old = *this;
    for (int k = 0; k < n; ++k) {
        TableFreq[k + 1] = old.TableFreq[order[k]];
        TablePos[k + 1] = old.TablePos[order[k]];
        TableText[k + 1] = old.TableText[order[k]];
    }
}

bool TableData::DeleteRow(int row) {
    if (row < 1 || row > TableLast)
        return false;
    for (int i = row; i < TableLast; ++i) {
        TableFreq[i] = TableFreq[i + 1];
        TablePos[i] = TablePos[i + 1];
        TableText[i] = TableText[i + 1];
    }
    // The freed row is cleared, so nothing that scans beyond TableLast finds a deleted row.
    TableFreq[TableLast] = 0;
    TablePos[TableLast] = 0;
    TableText[TableLast].clear();
    --TableLast;
    return true;
}

int TableData::FindFreq(core::Single x) const {
    for (int row = 1; row <= TableLast; ++row) {
        if (TableFreq[row] == x)
            return row;
    }
    return 0;
}

int TableData::StartupRow() const {
    // Only the rows in use are scanned: a row beyond TableLast is no part of the table.
    for (int row = 1; row <= TableLast; ++row) {
        const QString& text = TableText[row];
        if ((text.size() > 0 && text[0] == QLatin1Char('*')) ||
            (text.size() > 1 && text[1] == QLatin1Char('*')))
            return row;
    }
    return 1;
}

bool TableData::InRange(core::Single x) const {
    return TableLast >= 1 && TableFreq[1] <= x && x <= TableFreq[TableLast];
}

double HeaderNumber(const QString& headerText, int field) {
    const QStringList fields = headerText.split(QLatin1Char(':'));
    return field < fields.size() ? core::LeadingNumber(fields[field]) : 0.0;
}

std::optional<int> HeaderInterpolType(const QString& headerText) {
    const core::Long type = core::RoundToLong(HeaderNumber(headerText, 0));
    if (type < 0 || type >= InterpolTypeCount)
        return std::nullopt;
    return type;
}

bool HasHeaderField(const QString& headerText, int field) {
    const QStringList fields = headerText.split(QLatin1Char(':'));
    return field < fields.size() && !fields[field].trimmed().isEmpty();
}

QString StorableDescription(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            continue;
        kept += c.unicode() > 0xFF ? QLatin1Char('?') : c;
    }
    return kept;
}

core::Long TableData::OffsetAt(core::Single x) const {
    if (OffsetBandKHz == 0)
        return StepperOffset;
    const auto band = AmateurBandOf(OffsetBandKHz);
    return band && x >= band->lowKHz && x <= band->highKHz ? StepperOffset : 0;
}

QString TableData::HeaderText(core::Single stepsPer360) const {
    QString text = core::PlainNumberText(InterpolType) + QLatin1Char(':') +
                   core::PlainNumberText(stepsPer360) + QLatin1Char(':') +
                   core::PlainNumberText(StepperOffset);
    if (OffsetBandKHz != 0)
        text += QLatin1Char(':') + core::PlainNumberText(OffsetBandKHz);
    return text;
}

} // namespace table
