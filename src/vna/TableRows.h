#pragma once

#include "table/TableFile.h"
#include "vna/Sweep.h"
#include "vna/TableBuild.h"

#include <optional>
#include <vector>

// The rows of a built table, chosen from the resonances measured along the band.
namespace vna {

// A resonance measured at a stepper position.
struct CurvePoint {
    double position = 0;
    double kHz = 0;
    std::optional<double> bandwidthKHz;
};

// The measured curve: its points in ascending frequency; the position at a frequency and the
// frequency at a position on the straight line through the two points nearest, beyond the
// ends too; the bandwidth between the nearest points that hold one.
class Curve {
public:
    explicit Curve(std::vector<CurvePoint> points);

    bool covers(double kHz) const;
    double lowKHz() const { return points_.front().kHz; }
    double highKHz() const { return points_.back().kHz; }
    double positionAt(double kHz) const;
    double kHzAt(double position) const;
    std::optional<double> bandwidthAt(double kHz) const;
    // The resonance's change per step, Hz (the least-squares slope; negative when the
    // resonance falls as the position grows).
    double hzPerStep() const;
    const std::vector<CurvePoint>& points() const { return points_; }

private:
    std::vector<CurvePoint> points_;     // by frequency
    std::vector<CurvePoint> byPosition_;
};

// The rows for the band as the request spaces them, limited to what the curve covers; the
// table file's 100 rows at most. An error text when the spacing asks for more rows.
Result<std::vector<table::TableRow>> ChooseRows(const Curve& curve, const BuildRequest& request);

// The table of rows with the request's header (limits, interpolation, steps per 360, no
// offset).
table::TableData MakeTable(const std::vector<table::TableRow>& rows, const BuildRequest& request);

} // namespace vna
