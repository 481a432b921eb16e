#include "vna/BuildAsk.h"

#include "table/AmateurBands.h"
#include "table/TableData.h"

#include <QDir>
#include <cmath>

namespace vna {

namespace {

// A frequency the VNAs of the NanoVNA family sweep (50 kHz to a few GHz).
bool Sweepable(double kHz) {
    return std::isfinite(kHz) && kHz >= 50 && kHz <= 3'000'000;
}

// The rows of a band widthKHz wide with a row every everyKHz, and one at its upper end.
double RowsEvery(double widthKHz, double everyKHz) {
    return std::floor(widthKHz / everyKHz + 1e-9) + 2;
}

// 5 kHz between rows, or the first of 10, 20, 50, 100 ... kHz whose rows the table holds.
double FittingSpacingKHz(double widthKHz) {
    constexpr double Steps[] = {2, 2, 2.5};
    double every = 5;
    for (int i = 0; RowsEvery(widthKHz, every) > table::TableData::MaxDataRows; ++i)
        every *= Steps[i % 3];
    return every;
}

QString KHzText(double kHz) {
    return QString::number(kHz, 'g', 10);
}

} // namespace

Result<BuildRequest> MakeBuildRequest(const BuildAsk& ask, const core::ProgramState& state,
                                      const QString& directory, BuildRequest::Existing existing) {
    using Failure = Result<BuildRequest>;
    BuildRequest request;
    QString name;
    if (!ask.band.isEmpty()) {
        const std::optional<table::AmateurBand> band = table::AmateurBandNamed(ask.band);
        if (!band)
            return Failure::failure(QStringLiteral("There is no amateur band %1.").arg(ask.band));
        request.lowKHz = band->lowKHz;
        request.highKHz = band->highKHz;
        name = ask.band;
    } else {
        if (!Sweepable(ask.lowKHz) || !Sweepable(ask.highKHz) || ask.highKHz <= ask.lowKHz)
            return Failure::failure(
                QStringLiteral("The band must run from a lower to a higher frequency between 50 "
                               "and 3000000 kHz."));
        request.lowKHz = ask.lowKHz;
        request.highKHz = ask.highKHz;
        name = QStringLiteral("%1-%2kHz").arg(KHzText(ask.lowKHz), KHzText(ask.highKHz));
    }
    request.lowPosition = ask.lowPosition.value_or(state.MinPosition);
    request.highPosition = ask.highPosition.value_or(state.MaxPosition);
    if (request.lowPosition < state.MinPosition || request.highPosition > state.MaxPosition ||
        request.highPosition - request.lowPosition < 2)
        return Failure::failure(QStringLiteral("The positions searched must lie within the "
                                               "stepper's limits %1 to %2, the lower first.")
                                    .arg(state.MinPosition)
                                    .arg(state.MaxPosition));
    request.spacing = ask.spacing;
    if (ask.spacing == BuildRequest::Spacing::EveryKHz) {
        const double every =
            ask.everyKHz.value_or(FittingSpacingKHz(request.highKHz - request.lowKHz));
        if (!(std::isfinite(every) && every > 0))
            return Failure::failure(QStringLiteral("A row every %1 kHz cannot be.").arg(every));
        // Told before anything turns, not after the band is measured.
        if (RowsEvery(request.highKHz - request.lowKHz, every) > table::TableData::MaxDataRows)
            return Failure::failure(QStringLiteral("A row every %1 kHz makes more than %2 rows.")
                                        .arg(every)
                                        .arg(table::TableData::MaxDataRows));
        request.everyKHz = every;
    }
    if (!ask.repeatability)
        request.repeatPositions = 0;
    request.minPosition = state.MinPosition;
    request.maxPosition = state.MaxPosition;
    request.stepsPer360 = state.StepsPer360;
    request.tablePath = QDir(directory).filePath(name + QStringLiteral(".cat"));
    request.existing = existing;
    return {request, {}};
}

} // namespace vna
