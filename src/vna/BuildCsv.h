#pragma once

#include "vna/TableBuild.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace vna {

// Every measurement of a build as CSV, one line each (CR LF), with a header line:
//   seconds,phase,position,approach,resonance_kHz,swr,bandwidth_kHz,q
// A bandwidth or Q that was not measured is an empty field.
QByteArray MeasurementsCsv(const std::vector<Measurement>& measurements);

// The CSV's file beside a table: "40m.cat" -> "40m-vna.csv".
QString CsvPathFor(const QString& tablePath);

} // namespace vna
