#pragma once

#include <QString>
#include <complex>
#include <optional>
#include <vector>

namespace vna {

// A sweep asked of the VNA: points frequencies from startHz to stopHz, ends included.
struct SweepRequest {
    double startHz = 0;
    double stopHz = 0;
    int points = 0;
};

// A reflection coefficient of a passive load is at most 1; calibration error may take it a
// little beyond. A larger value is no measurement.
inline constexpr double MostPlausibleS11 = 10.0;

// One point of a sweep: the reflection S11 at hz. A point the VNA reported as failed (a
// sentinel value in place of a number) is kept, marked not valid, so it is never read as a
// measurement.
struct SweepPoint {
    double hz = 0;
    std::complex<double> s11;
    bool valid = true;
};
using Sweep = std::vector<SweepPoint>;

// The outcome of a device call: a value, or the text that tells the user what went wrong.
template <typename T> struct [[nodiscard]] Result {
    std::optional<T> value;
    QString error;

    bool ok() const { return value.has_value(); }
    static Result failure(QString why) { return Result{std::nullopt, std::move(why)}; }
};

} // namespace vna
