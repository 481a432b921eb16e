// Rows chosen from a measured curve, and the repeatability and backlash measured.
#include "table/RowBandwidth.h"
#include "table/TableLookup.h"
#include "vna/LoopModel.h"
#include "vna/RepeatabilityReport.h"
#include "vna/TableRows.h"

#include <gtest/gtest.h>

using namespace vna;

namespace {

// The modelled loop's resonances every 8 steps over 40 m.
Curve FortyMetres() {
    const LoopModel loop;
    std::vector<CurvePoint> points;
    for (double position = 870; position <= 1190; position += 8) {
        const double hz = loop.resonanceHzAt(position);
        points.push_back({position, hz / 1000, loop.bandwidthHzAt(hz) / 1000});
    }
    return Curve(points);
}

BuildRequest Band(BuildRequest::Spacing spacing) {
    BuildRequest request;
    request.lowKHz = 7000;
    request.highKHz = 7200;
    request.spacing = spacing;
    request.maxPosition = 2000;
    return request;
}

} // namespace

TEST(TableRowsTest, everyKHz_rowsAtTheSpacingAndTheBandsEnds_withTheirBandwidth) {
    const Curve curve = FortyMetres();
    BuildRequest request = Band(BuildRequest::Spacing::EveryKHz);
    request.everyKHz = 15;
    const auto rows = ChooseRows(curve, request);
    ASSERT_TRUE(rows.ok()) << rows.error.toStdString();
    ASSERT_EQ(rows.value->size(), 15u); // 7000, 7015, ... 7195, and 7200
    EXPECT_EQ(rows.value->front().freq, 7000.0f);
    EXPECT_EQ((*rows.value)[1].freq, 7015.0f);
    EXPECT_EQ(rows.value->back().freq, 7200.0f);
    const LoopModel loop;
    for (const table::TableRow& row : *rows.value) {
        EXPECT_NEAR(row.pos, loop.shaftPositionFor(row.freq * 1000.0), 1.0) << row.freq;
        const auto bandwidth = table::RowBandwidth(row.text);
        ASSERT_TRUE(bandwidth) << row.text.toStdString();
        EXPECT_NEAR(*bandwidth, loop.bandwidthHzAt(row.freq * 1000.0) / 1000, 0.05);
    }
    request.everyKHz = 1;
    EXPECT_EQ(ChooseRows(curve, request).error, "A row every 1 kHz makes more than 100 rows.");
}

TEST(TableRowsTest, whereTheCurveBends_fewRowsAndTheTableWithinAStep) {
    const Curve curve = FortyMetres();
    for (const int type : {0, 2}) {
        BuildRequest request = Band(BuildRequest::Spacing::WhereCurveBends);
        request.interpolType = type;
        const auto rows = ChooseRows(curve, request);
        ASSERT_TRUE(rows.ok());
        const table::TableData table = MakeTable(*rows.value, request);
        for (const CurvePoint& point : curve.points()) {
            if (point.kHz < 7000 || point.kHz > 7200)
                continue;
            const table::Lookup lookup = table::LookUpPosition(table, core::Single(point.kHz));
            ASSERT_TRUE(lookup.ok());
            EXPECT_NEAR(lookup.position, point.position, 1.5) << type << " " << point.kHz;
        }
        // A straight line in 1/f² fits a linear capacitor with the band's two ends.
        if (type == 2)
            EXPECT_LE(rows.value->size(), 3u);
        else
            EXPECT_GT(rows.value->size(), 2u);
    }
}

TEST(TableRowsTest, curveBeyondTheBand_rowsOnlyWhereMeasured) {
    BuildRequest request = Band(BuildRequest::Spacing::EveryKHz);
    request.highKHz = 7300; // the curve ends near 7210 kHz
    const auto rows = ChooseRows(FortyMetres(), request);
    ASSERT_TRUE(rows.ok());
    EXPECT_LT(rows.value->back().freq, 7215.0f);
    EXPECT_FALSE(ChooseRows(Curve({}), request).ok());
}

TEST(TableRowsTest, repeatability_spreadAndBacklashInSteps) {
    // -700 Hz a step: from below the capacitor lags 4 steps, reading 2.8 kHz higher.
    const std::vector<Approach> approaches = {
        {1000, +1, 7102800}, {1000, -1, 7100000}, {1000, +1, 7103000}, {1000, -1, 7100100},
        {1100, +1, 7032800}, {1100, -1, 7030000}};
    const Repeatability report = AssessRepeatability(approaches, -700);
    ASSERT_EQ(report.positions.size(), 2u);
    EXPECT_NEAR(report.positions[0].spreadKHz, 0.2, 1e-9);
    EXPECT_NEAR(report.positions[0].spreadSteps, 0.2 / 0.7, 1e-9);
    EXPECT_NEAR(report.positions[0].backlashSteps, 2850.0 / 700, 1e-9);
    EXPECT_NEAR(report.backlashSteps, (2850.0 / 700 + 4) / 2, 1e-9);
    EXPECT_EQ(report.overlaySteps, 4);
    EXPECT_EQ(AssessRepeatability({{1000, +1, 7100000}, {1000, -1, 7100100}}, -700).overlaySteps, 0);
}
