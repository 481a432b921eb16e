#include "vna/BuildPicture.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

namespace vna {

namespace {

constexpr double Width = 720;
constexpr double Height = 540;
const QString CurveColour = QStringLiteral("#1f5fbf");
const QString RowColour = QStringLiteral("#202020");
const QString BelowColour = QStringLiteral("#2a9d3a");
const QString AboveColour = QStringLiteral("#c0392b");
const QString SwrColour = QStringLiteral("#2a9d3a");
const QString BandwidthColour = QStringLiteral("#d07a00");

QString N(double value) {
    return QLocale::c().toString(value, 'f', 1);
}

QString Label(double value) {
    return QLocale::c().toString(value, 'f', std::abs(value) >= 100 ? 0 : 1);
}

struct Range {
    double low = 0;
    double high = 0;
    bool empty = true;

    void take(double value) {
        low = empty ? value : std::min(low, value);
        high = empty ? value : std::max(high, value);
        empty = false;
    }
    // A range that is never empty or of no width, with a little room on both sides.
    Range padded() const {
        Range r = *this;
        if (r.empty)
            r.low = 0, r.high = 1;
        if (r.high - r.low <= 0)
            r.low -= 1, r.high += 1;
        const double room = (r.high - r.low) * 0.05;
        r.low -= room;
        r.high += room;
        return r;
    }
};

QString Polyline(const PlotFrame& frame, const std::vector<QPointF>& values, const QString& colour) {
    QString points;
    for (const QPointF& value : values) {
        const QPointF p = frame.map(value.x(), value.y());
        points += N(p.x()) + QLatin1Char(',') + N(p.y()) + QLatin1Char(' ');
    }
    return QStringLiteral("<polyline fill=\"none\" stroke=\"%1\" stroke-width=\"1.5\" points=\"%2\"/>\n")
        .arg(colour, points.trimmed());
}

QString Dot(const PlotFrame& frame, double x, double y, double radius, const QString& colour) {
    const QPointF p = frame.map(x, y);
    return QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
        .arg(N(p.x()), N(p.y()), N(radius), colour);
}

QString Text(double x, double y, const QString& text, const QString& anchor = QStringLiteral("start"),
             const QString& colour = QStringLiteral("#202020")) {
    return QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"%3\" fill=\"%4\">%5</text>\n")
        .arg(N(x), N(y), anchor, colour, text.toHtmlEscaped());
}

// The frame, its title and the values at its corners.
QString Axes(const PlotFrame& frame, const QString& title, const QString& xName, const QString& yName,
             const QString& yColour = QStringLiteral("#202020")) {
    const QRectF& a = frame.area;
    return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"none\" "
                          "stroke=\"#909090\"/>\n")
               .arg(N(a.x()), N(a.y()), N(a.width()), N(a.height())) +
           Text(a.left(), a.top() - 8, title) +
           Text(a.left(), a.bottom() + 16, Label(frame.xLow)) +
           Text(a.right(), a.bottom() + 16, Label(frame.xHigh), QStringLiteral("end")) +
           Text(a.center().x(), a.bottom() + 16, xName, QStringLiteral("middle")) +
           Text(a.left() - 6, a.bottom(), Label(frame.yLow), QStringLiteral("end"), yColour) +
           Text(a.left() - 6, a.top() + 10, Label(frame.yHigh), QStringLiteral("end"), yColour) +
           Text(a.left() - 6, a.center().y(), yName, QStringLiteral("end"), yColour);
}

} // namespace

QPointF PlotFrame::map(double x, double y) const {
    const double sx = xHigh == xLow ? 0.5 : (x - xLow) / (xHigh - xLow);
    const double sy = yHigh == yLow ? 0.5 : (y - yLow) / (yHigh - yLow);
    return {area.left() + sx * area.width(), area.bottom() - sy * area.height()};
}

QByteArray BuildPictureSvg(const BuildResult& result) {
    std::vector<QPointF> curve, swr, bandwidth;
    Range positions, resonances, swrs, widths, frequencies;
    // The search's sweeps stand far from the band: the picture is the band's.
    for (const Measurement& m : result.measurements) {
        if (m.phase == Measurement::Phase::Search)
            continue;
        positions.take(double(m.position));
        resonances.take(m.resonance.hz / 1000);
        if (m.phase != Measurement::Phase::Measure)
            continue;
        curve.push_back({double(m.position), m.resonance.hz / 1000});
        swr.push_back({m.resonance.hz / 1000, m.resonance.swr});
        frequencies.take(m.resonance.hz / 1000);
        swrs.take(m.resonance.swr);
        if (m.resonance.bandwidthHz) {
            bandwidth.push_back({m.resonance.hz / 1000, *m.resonance.bandwidthHz / 1000});
            widths.take(*m.resonance.bandwidthHz / 1000);
        }
    }
    std::sort(curve.begin(), curve.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    std::sort(swr.begin(), swr.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    std::sort(bandwidth.begin(), bandwidth.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });

    for (int row = 1; row <= result.table.TableLast; ++row) {
        positions.take(result.table.TablePos[row]);
        resonances.take(result.table.TableFreq[row]);
    }
    const Range p = positions.padded(), r = resonances.padded(), f = frequencies.padded();
    const PlotFrame upper{QRectF(90, 40, Width - 200, 210), p.low, p.high, r.low, r.high};
    Range swrAxis = swrs;
    swrAxis.take(1);
    swrAxis.take(2);
    Range widthAxis = widths;
    widthAxis.take(0);
    const PlotFrame lower{QRectF(90, 310, Width - 200, 180), f.low, f.high, 1, swrAxis.padded().high};
    const PlotFrame lowerWidth{lower.area, f.low, f.high, 0, widthAxis.padded().high};

    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                                 "viewBox=\"0 0 %1 %2\" font-family=\"sans-serif\" font-size=\"12\">\n"
                                 "<rect width=\"%1\" height=\"%2\" fill=\"white\"/>\n")
                      .arg(N(Width), N(Height));
    svg += Axes(upper, QStringLiteral("Resonance against stepper position"), QStringLiteral("steps"),
                QStringLiteral("kHz"));
    svg += Polyline(upper, curve, CurveColour);
    for (int row = 1; row <= result.table.TableLast; ++row)
        svg += Dot(upper, result.table.TablePos[row], result.table.TableFreq[row], 3, RowColour);
    for (const Measurement& m : result.measurements) {
        if (m.phase == Measurement::Phase::Repeat)
            svg += Dot(upper, double(m.position), m.resonance.hz / 1000, 2,
                       m.approach > 0 ? BelowColour : AboveColour);
    }
    svg += Axes(lower, QStringLiteral("SWR at resonance and 2:1 bandwidth against frequency"),
                QStringLiteral("kHz"), QStringLiteral("SWR"), SwrColour);
    svg += Text(lower.area.right() + 6, lower.area.top() + 10, Label(lowerWidth.yHigh),
                QStringLiteral("start"), BandwidthColour);
    svg += Text(lower.area.right() + 6, lower.area.bottom(), Label(0), QStringLiteral("start"),
                BandwidthColour);
    svg += Text(lower.area.right() + 6, lower.area.center().y(), QStringLiteral("bandwidth kHz"),
                QStringLiteral("start"), BandwidthColour);
    svg += Polyline(lower, swr, SwrColour);
    svg += Polyline(lowerWidth, bandwidth, BandwidthColour);
    svg += Text(90, Height - 12,
                QStringLiteral("dots: table rows; marks: approaches from below (green) and above (red)"));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

} // namespace vna
