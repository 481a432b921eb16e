#pragma once

#include "table/TableData.h"

#include <QString>
#include <optional>

// The loop's bandwidth kept with a table row, in the row's description after a comma:
// "VNA,bw=16.7" (in the table's unit, kHz). Older readers of the file split the description
// at its first comma and keep only what is before it, so they ignore the bandwidth; this
// program shows the description whole.
namespace table {

// description with the bandwidth after it, rounded to 0.01; a bandwidth it held is replaced.
QString DescriptionWithBandwidth(const QString& description, double bandwidth);
// The bandwidth a description holds; nullopt when it holds none or no usable number.
std::optional<double> RowBandwidth(const QString& description);
// The bandwidth at x: straight between the data rows that enclose x (the row's own at a row's
// frequency); nullopt outside the rows or when one of them holds no bandwidth.
std::optional<double> BandwidthAt(const TableData& table, core::Single x);
// A quarter of the bandwidth at x in steps, by the table's slope around x; nullopt where
// BandwidthAt gives none.
std::optional<core::Long> QuarterBandwidthSteps(const TableData& table, core::Single x);

} // namespace table
