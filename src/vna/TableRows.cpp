#include "vna/TableRows.h"

#include "table/RowBandwidth.h"
#include "table/TableLookup.h"

#include <algorithm>
#include <cmath>

namespace vna {

namespace {

// The label of a built row; the bandwidth follows it.
const QString RowLabel = QStringLiteral("VNA");
// Where the curve bends most, rows are added until the table is within this many steps of
// every point measured.
constexpr double BendTolerance = 1.0;

template <typename Value> Value Between(double share, Value low, Value high) {
    return low + (high - low) * share;
}

// y at x on the line through the two points (sorted by x) nearest to x.
template <typename X, typename Y>
double Through(const std::vector<CurvePoint>& sorted, double x, X xOf, Y yOf) {
    if (sorted.size() == 1)
        return yOf(sorted.front());
    std::size_t upper = 1;
    while (upper + 1 < sorted.size() && xOf(sorted[upper]) < x)
        ++upper;
    const CurvePoint& a = sorted[upper - 1];
    const CurvePoint& b = sorted[upper];
    return xOf(b) == xOf(a) ? yOf(a) : Between((x - xOf(a)) / (xOf(b) - xOf(a)), yOf(a), yOf(b));
}

double PositionOf(const CurvePoint& point) {
    return point.position;
}

double KHzOf(const CurvePoint& point) {
    return point.kHz;
}

table::TableRow RowAt(const Curve& curve, double kHz) {
    // Frequencies to a hundredth of a kHz: the table keeps 32-bit floats.
    const double kept = std::round(kHz * 100) / 100;
    table::TableRow row{core::Single(kept), core::Long(std::lround(curve.positionAt(kept))), RowLabel};
    if (const std::optional<double> bandwidth = curve.bandwidthAt(kept))
        row.text = table::DescriptionWithBandwidth(RowLabel, *bandwidth);
    return row;
}

} // namespace

Curve::Curve(std::vector<CurvePoint> points) : points_(std::move(points)), byPosition_(points_) {
    std::sort(points_.begin(), points_.end(),
              [](const CurvePoint& a, const CurvePoint& b) { return a.kHz < b.kHz; });
    std::sort(byPosition_.begin(), byPosition_.end(),
              [](const CurvePoint& a, const CurvePoint& b) { return a.position < b.position; });
}

bool Curve::covers(double kHz) const {
    return !points_.empty() && kHz >= lowKHz() && kHz <= highKHz();
}

double Curve::positionAt(double kHz) const {
    return Through(points_, kHz, KHzOf, PositionOf);
}

double Curve::kHzAt(double position) const {
    return Through(byPosition_, position, PositionOf, KHzOf);
}

std::optional<double> Curve::bandwidthAt(double kHz) const {
    // The nearest measured bandwidths on either side; the loop's bandwidth changes slowly.
    std::optional<CurvePoint> below, above;
    for (const CurvePoint& point : points_) {
        if (!point.bandwidthKHz)
            continue;
        if (point.kHz <= kHz)
            below = point;
        else if (!above)
            above = point;
    }
    if (below && above)
        return Between((kHz - below->kHz) / (above->kHz - below->kHz), *below->bandwidthKHz,
                       *above->bandwidthKHz);
    return below ? below->bandwidthKHz : above ? above->bandwidthKHz : std::nullopt;
}

double Curve::hzPerStep() const {
    const double n = double(points_.size());
    double sp = 0, sf = 0, spp = 0, spf = 0;
    for (const CurvePoint& point : points_) {
        sp += point.position;
        sf += point.kHz * 1000;
        spp += point.position * point.position;
        spf += point.position * point.kHz * 1000;
    }
    const double denominator = n * spp - sp * sp;
    return denominator == 0 ? 0 : (n * spf - sp * sf) / denominator;
}

table::TableData MakeTable(const std::vector<table::TableRow>& rows, const BuildRequest& request) {
    table::TableData table;
    table.Clear();
    table.InterpolType = core::Integer(request.interpolType);
    table.StepperOffset = 0;
    table.TableFreq[0] = core::Single(request.minPosition);
    table.TablePos[0] = request.maxPosition;
    table.TableText[0] = table.HeaderText(request.stepsPer360);
    for (const table::TableRow& row : rows) {
        ++table.TableLast;
        table.TableFreq[table.TableLast] = row.freq;
        table.TablePos[table.TableLast] = row.pos;
        table.TableText[table.TableLast] = row.text;
    }
    table.SortTable();
    return table;
}

Result<std::vector<table::TableRow>> ChooseRows(const Curve& curve, const BuildRequest& request) {
    using Rows = std::vector<table::TableRow>;
    const double low = std::max(request.lowKHz, curve.points().empty() ? request.lowKHz : curve.lowKHz());
    const double high = std::min(request.highKHz, curve.points().empty() ? request.lowKHz : curve.highKHz());
    if (curve.points().size() < 2 || high <= low)
        return Result<Rows>::failure(QStringLiteral("Too few resonances were measured in the band."));
    Rows rows;
    if (request.spacing == BuildRequest::Spacing::EveryKHz) {
        const double every = request.everyKHz;
        const long count = long(std::floor((high - low) / every + 1e-9)) + 1;
        if (count + 1 > table::TableData::MaxDataRows)
            return Result<Rows>::failure(
                QStringLiteral("A row every %1 kHz makes more than %2 rows.")
                    .arg(every)
                    .arg(table::TableData::MaxDataRows));
        for (long i = 0; i < count; ++i)
            rows.push_back(RowAt(curve, low + every * double(i)));
        if (rows.back().freq < core::Single(std::round(high * 100) / 100))
            rows.push_back(RowAt(curve, high));
        return {rows, {}};
    }
    rows = {RowAt(curve, low), RowAt(curve, high)};
    while (int(rows.size()) < table::TableData::MaxDataRows) {
        const table::TableData table = MakeTable(rows, request);
        double worst = 0;
        std::optional<double> worstKHz;
        for (const CurvePoint& point : curve.points()) {
            if (point.kHz <= low || point.kHz >= high)
                continue;
            const table::Lookup lookup = table::LookUpPosition(table, core::Single(point.kHz));
            const double miss = lookup.ok() ? std::abs(lookup.position - point.position)
                                            : BendTolerance * 2;
            if (miss > worst && table.FindFreq(core::Single(std::round(point.kHz * 100) / 100)) == 0) {
                worst = miss;
                worstKHz = point.kHz;
            }
        }
        if (!worstKHz || worst <= BendTolerance)
            break;
        rows.push_back(RowAt(curve, *worstKHz));
    }
    std::sort(rows.begin(), rows.end(),
              [](const table::TableRow& a, const table::TableRow& b) { return a.freq < b.freq; });
    return {rows, {}};
}

} // namespace vna
