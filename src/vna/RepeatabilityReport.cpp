#include "vna/RepeatabilityReport.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace vna {

namespace {

// A backlash below half a step is no play the overlay can take up.
constexpr double SmallestBacklash = 0.5;

struct Sides {
    std::vector<double> below;
    std::vector<double> above;
};

double Spread(const std::vector<double>& values) {
    if (values.empty())
        return 0;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (const double value : values)
        sum += value;
    return values.empty() ? 0 : sum / double(values.size());
}

} // namespace

Repeatability AssessRepeatability(const std::vector<Approach>& approaches, double hzPerStep) {
    std::map<long, Sides> byPosition;
    for (const Approach& approach : approaches)
        (approach.side > 0 ? byPosition[approach.position].below
                           : byPosition[approach.position].above)
            .push_back(approach.hz);
    Repeatability report;
    const double stepHz = std::abs(hzPerStep);
    double backlashSum = 0;
    int backlashCount = 0;
    for (const auto& [position, sides] : byPosition) {
        RepeatabilityAt at;
        at.position = position;
        at.spreadKHz = std::max(Spread(sides.below), Spread(sides.above)) / 1000;
        at.spreadSteps = stepHz > 0 ? at.spreadKHz * 1000 / stepHz : 0;
        if (!sides.below.empty() && !sides.above.empty() && hzPerStep != 0) {
            at.backlashSteps = (Mean(sides.above) - Mean(sides.below)) / hzPerStep;
            backlashSum += at.backlashSteps;
            ++backlashCount;
        }
        report.spreadKHz = std::max(report.spreadKHz, at.spreadKHz);
        report.spreadSteps = std::max(report.spreadSteps, at.spreadSteps);
        report.positions.push_back(at);
    }
    report.backlashSteps = backlashCount > 0 ? backlashSum / backlashCount : 0;
    report.overlaySteps =
        report.backlashSteps >= SmallestBacklash ? int(std::ceil(report.backlashSteps - 0.05)) : 0;
    return report;
}

} // namespace vna
