#pragma once

#include "vna/TableBuild.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>

namespace vna {

// A plot area: values in [xLow, xHigh] × [yLow, yHigh] drawn into area, y growing upwards.
struct PlotFrame {
    QRectF area;
    double xLow = 0;
    double xHigh = 1;
    double yLow = 0;
    double yHigh = 1;

    QPointF map(double x, double y) const;
};

// The build's report as an SVG picture (no script, no fonts of its own): above, the resonance
// against the stepper's position (the band's measurement as a line, the table's rows as dots,
// the approaches from below and above as marks); below, the SWR at resonance and the 2:1
// bandwidth against frequency.
QByteArray BuildPictureSvg(const BuildResult& result);

} // namespace vna
