#include "vna/BuildCsv.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace vna {

namespace {

QString PhaseName(Measurement::Phase phase) {
    switch (phase) {
    case Measurement::Phase::Search:
        return QStringLiteral("search");
    case Measurement::Phase::Measure:
        return QStringLiteral("measure");
    case Measurement::Phase::Repeat:
        return QStringLiteral("repeat");
    case Measurement::Phase::Check:
        return QStringLiteral("check");
    }
    return {};
}

QString Number(double value, int decimals) {
    return QLocale::c().toString(value, 'f', decimals);
}

} // namespace

QByteArray MeasurementsCsv(const std::vector<Measurement>& measurements) {
    QString text = QStringLiteral("seconds,phase,position,approach,resonance_kHz,swr,bandwidth_kHz,q\r\n");
    for (const Measurement& m : measurements) {
        const Resonance& r = m.resonance;
        text += Number(m.seconds, 1) + QLatin1Char(',') + PhaseName(m.phase) + QLatin1Char(',') +
                QString::number(m.position) + QLatin1Char(',') +
                (m.approach > 0 ? QStringLiteral("below") : QStringLiteral("above")) +
                QLatin1Char(',') + Number(r.hz / 1000, 3) + QLatin1Char(',') + Number(r.swr, 3) +
                QLatin1Char(',') + (r.bandwidthHz ? Number(*r.bandwidthHz / 1000, 3) : QString()) +
                QLatin1Char(',') + (r.q ? Number(*r.q, 0) : QString()) + QStringLiteral("\r\n");
    }
    return text.toLatin1();
}

QString CsvPathFor(const QString& tablePath) {
    const QFileInfo table(tablePath);
    return table.dir().filePath(table.completeBaseName() + QStringLiteral("-vna.csv"));
}

} // namespace vna
