#include "table/TableLookup.h"

#include "table/Interpolation.h"

#include <gtest/gtest.h>

using namespace table;

namespace {

// Rows (1000 kHz, 0), (3000 kHz, 300), (9000 kHz, 800); limits 0..800 in the header.
TableData ThreeRows(int type, core::Long offset = 0) {
    TableData table;
    table.TableFreq = {0, 1000, 3000, 9000};
    table.TablePos = {800, 0, 300, 800};
    table.TableLast = 3;
    table.InterpolType = static_cast<core::Integer>(type);
    table.StepperOffset = offset;
    return table;
}

} // namespace

TEST(TableLookup, eachTransformBetweenTheBracketingRows_givesTheStepOfItsCurve) {
    // 5000 kHz lies between rows 2 and 3; the steps were computed apart from the program, as
    // 300 + 500 × (t(5000) - t(3000)) / (t(9000) - t(3000)) rounded halves to even.
    const std::array<core::Long, InterpolTypeCount> expected{467, 600, 660, 532, 532,
                                                             567, 499, 411, 549, 549};
    for (int type = 0; type < InterpolTypeCount; ++type) {
        const Lookup lookup = LookUpPosition(ThreeRows(type, -4), 5000);
        ASSERT_TRUE(lookup.ok()) << type;
        EXPECT_EQ(lookup.rowPosition, expected[type]) << type;
        EXPECT_EQ(lookup.position, expected[type] - 4) << type;
        EXPECT_FALSE(lookup.exact);
        // A row's own frequency is its position plus the offset, whatever the curve, and the
        // first row's lower neighbour, the header, plays no part.
        const Lookup hit = LookUpPosition(ThreeRows(type, -4), 1000);
        EXPECT_TRUE(hit.exact && hit.position == -4) << type;
    }
    // Between rows 1 and 2 the lower neighbour is row 1, never the header.
    EXPECT_EQ(FreqToPosition(ThreeRows(0), 2000), 150);
    // Straight-line halves round to even.
    EXPECT_EQ(FreqToPosition(ThreeRows(0), 1010), 2); // 1.5
    EXPECT_EQ(FreqToPosition(ThreeRows(0), 1030), 4); // 4.5
    EXPECT_EQ(FreqToPosition(ThreeRows(0), 1050), 8); // 7.5
}

TEST(TableLookup, outsideTheRowsWithoutRowsAndWithoutAReading_givesNoPosition) {
    const TableData rows = ThreeRows(0);
    EXPECT_EQ(LookUpPosition(rows, 999.99f).kind, Lookup::Kind::OutOfRange);
    EXPECT_EQ(LookUpPosition(rows, 9000.01f).kind, Lookup::Kind::OutOfRange);
    EXPECT_EQ(LookUpPosition(rows, 0).kind, Lookup::Kind::NoReading);
    EXPECT_EQ(LookUpPosition(rows, std::numeric_limits<float>::quiet_NaN()).kind,
              Lookup::Kind::NoReading);

    TableData headerOnly = rows;
    headerOnly.TableLast = 0;
    for (const float x : {0.0f, 800.0f, 1000.0f})
        EXPECT_FALSE(FreqToPosition(headerOnly, x)) << x;

    TableData zeroRow = rows; // a first row at 0 kHz still takes no missing reading for 0
    zeroRow.TableFreq[1] = 0;
    EXPECT_EQ(LookUpPosition(zeroRow, 0).kind, Lookup::Kind::NoReading);
    EXPECT_EQ(FreqToPosition(zeroRow, 1500), 150);

    TableData oneRow = rows; // a single point
    oneRow.TableLast = 1;
    EXPECT_EQ(FreqToPosition(oneRow, 1000), 0);
    EXPECT_FALSE(FreqToPosition(oneRow, 1000.5f));
}

TEST(TableLookup, numericFault_isDescribedAndGivesNoPosition) {
    TableData lnOfOne = ThreeRows(9); // 1/ln(1)
    lnOfOne.TableFreq = {0, 1, 2, 3};
    const Lookup lookup = LookUpPosition(lnOfOne, 1.5f);
    EXPECT_EQ(lookup.kind, Lookup::Kind::Fault);
    EXPECT_EQ(InterpolFaultMessage(9, lookup.fault),
              "f(x)=1/ln(x)\r\nInterpol error Division by zero");
    TableData negativeRow = ThreeRows(4); // ln of a negative row value
    negativeRow.TableFreq = {0, -1, 2, 3};
    EXPECT_EQ(LookUpPosition(negativeRow, 1).fault, InvalidArgumentFault);
}

TEST(Transform, outsideItsDomain_givesTheFaultNotANumber) {
    EXPECT_EQ(Transform(4, 0).fault, InvalidArgumentFault);  // ln 0
    EXPECT_EQ(Transform(3, -2).fault, InvalidArgumentFault); // log of a negative value
    EXPECT_EQ(Transform(6, -1).fault, InvalidArgumentFault); // root of a negative value
    EXPECT_EQ(Transform(1, 0).fault, DivisionByZeroFault);
    EXPECT_EQ(Transform(8, 1).fault, DivisionByZeroFault); // 1/log(1)
    EXPECT_EQ(Transform(7, 1e200).fault, OverflowFault);
    EXPECT_EQ(Transform(10, 5).fault, InvalidArgumentFault);
}

TEST(Interpolate, equalEndsOrAHugeResult_giveTheFault) {
    EXPECT_EQ(Interpolate(0, -1, 2, 0, 1).value, 0); // -0.5 to even
    EXPECT_EQ(Interpolate(100, 200, 5, 5, 6).fault, DivisionByZeroFault);
    EXPECT_EQ(Interpolate(100, 200, 5, 5, 5).fault, OverflowFault); // 0/0
    EXPECT_EQ(Interpolate(0, 2e9, 1, 0, 2).fault, OverflowFault);
    EXPECT_TRUE(Interpolate(0, 2e9, 1, 0, 1).ok());
}
