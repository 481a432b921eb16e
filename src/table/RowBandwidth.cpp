#include "table/RowBandwidth.h"

#include "table/TableLookup.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace table {

namespace {

const QString Tag = QStringLiteral(",bw=");

} // namespace

QString DescriptionWithBandwidth(const QString& description, double bandwidth) {
    const qsizetype old = description.indexOf(Tag);
    const QString label = old < 0 ? description : description.left(old);
    return label + Tag + QLocale::c().toString(std::round(bandwidth * 100) / 100, 'g', 8);
}

std::optional<double> RowBandwidth(const QString& description) {
    const qsizetype at = description.lastIndexOf(Tag);
    if (at < 0)
        return std::nullopt;
    bool ok = false;
    const double bandwidth = QLocale::c().toDouble(description.mid(at + Tag.size()).trimmed(), &ok);
    return ok && std::isfinite(bandwidth) && bandwidth > 0 ? std::optional<double>(bandwidth)
                                                           : std::nullopt;
}

std::optional<double> BandwidthAt(const TableData& table, core::Single x) {
    if (!table.InRange(x))
        return std::nullopt;
    int upper = 1;
    while (upper < table.TableLast && table.TableFreq[upper] < x)
        ++upper;
    const std::optional<double> high = RowBandwidth(table.TableText[upper]);
    if (table.TableFreq[upper] == x || !high)
        return table.TableFreq[upper] == x ? high : std::nullopt;
    const std::optional<double> low = RowBandwidth(table.TableText[upper - 1]);
    if (!low)
        return std::nullopt;
    const double share = (double(x) - table.TableFreq[upper - 1]) /
                         (double(table.TableFreq[upper]) - table.TableFreq[upper - 1]);
    return *low + (*high - *low) * share;
}

std::optional<core::Long> QuarterBandwidthSteps(const TableData& table, core::Single x) {
    const std::optional<double> bandwidth = BandwidthAt(table, x);
    if (!bandwidth)
        return std::nullopt;
    // The table's slope over a quarter bandwidth around x, kept inside the rows at the band's
    // ends.
    const double quarter = *bandwidth / 4;
    const double low = std::max<double>(x - quarter / 2, table.TableFreq[1]);
    const double high = std::min<double>(x + quarter / 2, table.TableFreq[table.TableLast]);
    const std::optional<core::Long> from = FreqToPosition(table, core::Single(low));
    const std::optional<core::Long> to = FreqToPosition(table, core::Single(high));
    if (!from || !to || high <= low)
        return 0;
    return std::llround(std::abs(double(*to - *from)) * quarter / (high - low));
}

} // namespace table
