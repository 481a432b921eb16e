#include "table/TableLookup.h"

#include "table/Interpolation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace table {
namespace {

// a + b held within the 32-bit range.
core::Long addSteps(core::Long a, core::Long b) {
    return static_cast<core::Long>(std::clamp<qint64>(qint64(a) + b,
                                                      std::numeric_limits<core::Long>::min(),
                                                      std::numeric_limits<core::Long>::max()));
}

} // namespace

Lookup LookUpPosition(const TableData& table, core::Single x) {
    Lookup result;
    // A rig that does not answer reads as 0 kHz; that is no frequency, even for a table whose
    // first row is at 0.
    if (x == 0 || !std::isfinite(x))
        return result;
    if (!table.InRange(x)) {
        result.kind = Lookup::Kind::OutOfRange;
        return result;
    }
    int upper = 1;
    while (upper < table.TableLast && table.TableFreq[upper] < x)
        ++upper;
    // An exact hit, compared as floats, is the row itself. It is tested before the neighbours
    // are: at row 1 the lower neighbour would be the header, whose value is a position. In
    // ascending rows the neighbours of a miss always differ.
    if (table.TableFreq[upper] == x) {
        result.exact = true;
        result.rowPosition = table.TablePos[upper];
    } else {
        const int type = table.InterpolType;
        const auto tLo = Transform(type, table.TableFreq[upper - 1]);
        const auto tHi = Transform(type, table.TableFreq[upper]);
        const auto t = Transform(type, double(x));
        for (const auto* transformed : {&tLo, &tHi, &t}) {
            if (!transformed->ok()) {
                result.kind = Lookup::Kind::Fault;
                result.fault = transformed->fault;
                return result;
            }
        }
        const auto step = Interpolate(table.TablePos[upper - 1], table.TablePos[upper], tHi.value,
                                      tLo.value, t.value);
        if (!step.ok()) {
            result.kind = Lookup::Kind::Fault;
            result.fault = step.fault;
            return result;
        }
        result.rowPosition = step.value;
    }
    result.kind = Lookup::Kind::Position;
    result.position = addSteps(table.OffsetAt(x), result.rowPosition);
    return result;
}

std::optional<core::Long> FreqToPosition(const TableData& table, core::Single x) {
    const Lookup lookup = LookUpPosition(table, x);
    return lookup.ok() ? std::optional<core::Long>(lookup.position) : std::nullopt;
}

QString InterpolFaultMessage(int type, const QString& fault) {
    const auto& names = InterpolNames();
    const QString name = type >= 0 && type < InterpolTypeCount ? names[type] : QString();
    return name + QStringLiteral("\r\nInterpol error ") + fault;
}

} // namespace table
