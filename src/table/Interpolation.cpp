#include "table/Interpolation.h"

#include <cmath>
#include <limits>

namespace table {
namespace {

Checked<double> fault(const QString& description) {
    return {0.0, description};
}

Checked<double> finite(double value) {
    return std::isfinite(value) ? Checked<double>{value, {}} : fault(OverflowFault);
}

Checked<double> naturalLog(double v) {
    if (!(v > 0.0))
        return fault(InvalidArgumentFault);
    return finite(std::log(v));
}

Checked<double> squareRoot(double v) {
    if (!(v >= 0.0))
        return fault(InvalidArgumentFault);
    return finite(std::sqrt(v));
}

Checked<double> reciprocal(const Checked<double>& d) {
    if (!d.ok())
        return d;
    if (d.value == 0.0)
        return fault(DivisionByZeroFault);
    return finite(1.0 / d.value);
}

Checked<double> decimalLog(double v) {
    const auto ln = naturalLog(v);
    if (!ln.ok())
        return ln;
    return finite(ln.value / std::log(10.0));
}

} // namespace

const std::array<QString, InterpolTypeCount>& InterpolNames() {
    static const std::array<QString, InterpolTypeCount> names{
        QStringLiteral("f(x)=x"),        QStringLiteral("f(x)=1/x"),
        QStringLiteral("f(x)=x^2"),      QStringLiteral("f(x)=1/x^2"),
        QStringLiteral("f(x)=sqr(x)"),   QStringLiteral("f(x)=1/sqr(x)"),
        QStringLiteral("f(x)=log(x)"),   QStringLiteral("f(x)=ln(x)"),
        QStringLiteral("f(x)=1/log(x)"), QStringLiteral("f(x)=1/ln(x)")};
    return names;
}

Checked<double> Transform(int interpolType, double v) {
    switch (interpolType) {
    case 0:
        return finite(v);
    case 1:
        return reciprocal(finite(v));
    case 2:
        return reciprocal(finite(v * v));
    case 3:
        return decimalLog(v);
    case 4:
        return naturalLog(v);
    case 5:
        return reciprocal(squareRoot(v));
    case 6:
        return squareRoot(v);
    case 7:
        return finite(v * v);
    case 8:
        return reciprocal(decimalLog(v));
    case 9:
        return reciprocal(naturalLog(v));
    default:
        return fault(InvalidArgumentFault);
    }
}

Checked<core::Long> Interpolate(double yLo, double yHi, double tHi, double tLo, double t) {
    const double dividend = (yHi - yLo) * (t - tLo);
    const double divisor = tHi - tLo;
    if (divisor == 0.0)
        return {0, dividend == 0.0 ? OverflowFault : DivisionByZeroFault};
    const double value = yLo + dividend / divisor;
    if (!std::isfinite(value))
        return {0, OverflowFault};
    // The default floating-point rounding mode rounds halves to even.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<core::Long>::min() ||
        rounded > std::numeric_limits<core::Long>::max())
        return {0, OverflowFault};
    return {static_cast<core::Long>(rounded), {}};
}

} // namespace table
