// The loop's bandwidth kept in a row's description: written and read back, ignored by a reader
// that splits the description at its comma, and found between rows.
#include "table/RowBandwidth.h"

#include "table/TableFile.h"

#include <gtest/gtest.h>

using namespace table;

TEST(RowBandwidthTest, keptInTheDescription_readBack_andIgnoredByOlderReaders) {
    EXPECT_EQ(DescriptionWithBandwidth("VNA", 16.7149), "VNA,bw=16.71");
    EXPECT_EQ(DescriptionWithBandwidth("VNA,bw=12", 14), "VNA,bw=14");
    EXPECT_EQ(RowBandwidth("VNA,bw=16.71"), 16.71);
    EXPECT_FALSE(RowBandwidth("80m"));
    EXPECT_FALSE(RowBandwidth("VNA,bw=lots"));
    EXPECT_FALSE(RowBandwidth("VNA,bw=-3"));

    TableData table;
    table.TableFreq[0] = 0;
    table.TablePos[0] = 2000;
    table.TableText[0] = "2:200:0";
    table.TableLast = 1;
    table.TableFreq[1] = 7100;
    table.TablePos[1] = 1027;
    table.TableText[1] = DescriptionWithBandwidth("*VNA", 16.7);
    const QByteArray bytes = SerializeTable(table);
    EXPECT_TRUE(bytes.endsWith("7100,1027,\"*VNA,bw=16.7\"\r\n"));
    // This program reads the description whole, without complaint.
    const TableFileContents read = ParseTableFile(bytes);
    EXPECT_TRUE(read.problems.isEmpty());
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(RowBandwidth(read.rows[0].text), 16.7);
    // A reader that splits each line at every comma keeps "*VNA": the start-up mark stays.
    const QList<QByteArray> fields = bytes.split('\n').at(2).trimmed().split(',');
    EXPECT_EQ(fields.at(2), "\"*VNA");
}

TEST(RowBandwidthTest, bandwidthAt_straightBetweenRows_nothingWhereARowLacksIt) {
    TableData table;
    table.TableLast = 3;
    table.TableFreq[1] = 7000;
    table.TableText[1] = "VNA,bw=16";
    table.TableFreq[2] = 7100;
    table.TableText[2] = "VNA,bw=17";
    table.TableFreq[3] = 7200;
    table.TableText[3] = "by hand";
    EXPECT_EQ(BandwidthAt(table, 7000), 16.0);
    EXPECT_NEAR(*BandwidthAt(table, 7025), 16.25, 1e-9);
    EXPECT_EQ(BandwidthAt(table, 7100), 17.0);
    EXPECT_FALSE(BandwidthAt(table, 7150));
    EXPECT_FALSE(BandwidthAt(table, 6999));
}

TEST(RowBandwidthTest, quarterBandwidthSteps_byTheTablesSlope_evenAtTheBandsEnds) {
    // 0.5 steps a kHz below 7100, 2 steps a kHz above.
    TableData table;
    table.TableText[0] = "0:200:0";
    table.TableLast = 3;
    table.TableFreq[1] = 7000;
    table.TablePos[1] = 100;
    table.TableText[1] = "VNA,bw=48";
    table.TableFreq[2] = 7100;
    table.TablePos[2] = 150;
    table.TableText[2] = "VNA,bw=48";
    table.TableFreq[3] = 7200;
    table.TablePos[3] = 350;
    table.TableText[3] = "VNA,bw=48";
    EXPECT_EQ(QuarterBandwidthSteps(table, 7050), 6);  // 12 kHz at 0.5 steps a kHz
    EXPECT_EQ(QuarterBandwidthSteps(table, 7150), 24); // 12 kHz at 2
    EXPECT_EQ(QuarterBandwidthSteps(table, 7000), 6);  // the slope inside the band
    EXPECT_EQ(QuarterBandwidthSteps(table, 7200), 24);
    EXPECT_FALSE(QuarterBandwidthSteps(table, 7250)); // outside the rows
    table.TableText[3] = "by hand";
    EXPECT_FALSE(QuarterBandwidthSteps(table, 7150));
}
