// The report's picture: well-formed SVG with a line per measured curve and a dot per row.
#include "vna/BuildPicture.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace vna;

namespace {

Measurement At(Measurement::Phase phase, long position, double kHz, int approach = +1) {
    Measurement m;
    m.phase = phase;
    m.position = position;
    m.approach = approach;
    m.resonance.hz = kHz * 1000;
    m.resonance.swr = 1.1;
    m.resonance.bandwidthHz = 16'500;
    return m;
}

} // namespace

TEST(BuildPictureTest, frame_mapsValuesToPixelsWithYUpwards) {
    const PlotFrame frame{QRectF(10, 20, 100, 50), 0, 2000, 7000, 7200};
    EXPECT_EQ(frame.map(0, 7000), QPointF(10, 70));
    EXPECT_EQ(frame.map(2000, 7200), QPointF(110, 20));
    EXPECT_EQ(frame.map(1000, 7100), QPointF(60, 45));
}

TEST(BuildPictureTest, svg_curvesRowsAndApproaches) {
    BuildResult result;
    result.measurements = {At(Measurement::Phase::Search, 0, 7250),
                           At(Measurement::Phase::Measure, 1100, 7020),
                           At(Measurement::Phase::Measure, 900, 7190),
                           At(Measurement::Phase::Measure, 1000, 7100),
                           At(Measurement::Phase::Repeat, 1000, 7100.4, +1),
                           At(Measurement::Phase::Repeat, 1000, 7099.9, -1)};
    result.table.TableLast = 2;
    result.table.TableFreq[1] = 7000;
    result.table.TablePos[1] = 1120;
    result.table.TableFreq[2] = 7200;
    result.table.TablePos[2] = 890;

    QXmlStreamReader xml(BuildPictureSvg(result));
    int circles = 0;
    std::vector<int> polylinePoints;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("circle"))
            ++circles;
        if (xml.name() == QLatin1String("polyline"))
            polylinePoints.push_back(int(xml.attributes().value("points").split(u' ').size()));
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(circles, 4); // two rows, two approaches
    EXPECT_EQ(polylinePoints, std::vector<int>({3, 3, 3})); // resonance, SWR, bandwidth
    // An empty build still draws its frames.
    QXmlStreamReader empty(BuildPictureSvg({}));
    while (!empty.atEnd())
        empty.readNext();
    EXPECT_FALSE(empty.hasError());
}
