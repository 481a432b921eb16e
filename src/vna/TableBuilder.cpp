#include "vna/TableBuilder.h"

#include "core/AtomicFile.h"
#include "platform/Platform.h"
#include "table/RowBandwidth.h"
#include "table/TableFile.h"
#include "table/TableLookup.h"
#include "vna/BuildCsv.h"
#include "vna/RepeatabilityReport.h"
#include "vna/VnaLogging.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <random>

namespace vna {

namespace {

// The search turns through the range in this many jumps.
constexpr int SearchJumps = 40;
// The resonance counts as in view below this SWR, and inside the sweep.
constexpr double SightingSwr = 5;
// The band's measurement has at most this many stops; before the search ends, the time left
// is reckoned with the guess.
constexpr long MostFineStops = 150;
constexpr int GuessedBandStops = 40;
// Sweeps of the band's measurement are this many bandwidths to each side of the resonance
// expected, and widen twice when it is not inside.
constexpr double HalfWidthInBandwidths = 3;
constexpr int Widenings = 2;
// A sweep fails this often in a row before the build stops.
constexpr int SweepTries = 2;
// A turn is stopped this often without transmit before the build stops.
constexpr int TurnTries = 2;
constexpr double TransmitPollMs = 100;
// A stop of the band's measurement may miss the resonance; more than this share ends the build.
constexpr double MostMissedShare = 0.2;
// The frequencies a sweep may start at.
constexpr double LowestHz = 10'000;

bool Sighted(const std::optional<Resonance>& resonance) {
    return resonance && !resonance->atEdge && resonance->swr <= SightingSwr;
}

double MedianBandwidthHz(const std::vector<CurvePoint>& points, double fallbackHz) {
    std::vector<double> widths;
    for (const CurvePoint& point : points) {
        if (point.bandwidthKHz)
            widths.push_back(*point.bandwidthKHz * 1000);
    }
    if (widths.empty())
        return fallbackHz;
    std::nth_element(widths.begin(), widths.begin() + long(widths.size() / 2), widths.end());
    return widths[widths.size() / 2];
}

CurvePoint PointOf(long position, const Resonance& resonance) {
    CurvePoint point{double(position), resonance.hz / 1000, std::nullopt};
    if (resonance.bandwidthHz)
        point.bandwidthKHz = *resonance.bandwidthHz / 1000;
    return point;
}

// A figure to one decimal; a rounding of a tiny negative value shows no minus sign.
QString Tenths(double value) {
    return QString::number(std::abs(value) < 0.05 ? 0.0 : value, 'f', 1);
}

QString KHz(double kHz) {
    return QString::number(kHz, 'f', kHz == std::round(kHz) ? 0 : 1);
}

} // namespace

TableBuilder::TableBuilder(platform::Platform& platform, Vna& vna, StepperMover& mover)
    : platform_(platform), vna_(vna), mover_(mover) {}

Result<QString> TableBuilder::TargetPath(const BuildRequest& request) {
    const QFileInfo file(request.tablePath);
    if (!file.exists())
        return {request.tablePath, {}};
    switch (request.existing) {
    case BuildRequest::Existing::Overwrite:
        return {request.tablePath, {}};
    case BuildRequest::Existing::NewName:
        for (int n = 2; n < 1000; ++n) {
            const QString name = file.dir().filePath(
                QStringLiteral("%1-%2.%3").arg(file.completeBaseName()).arg(n).arg(file.suffix()));
            if (!QFileInfo::exists(name))
                return {name, {}};
        }
        break;
    case BuildRequest::Existing::Refuse:
        break;
    }
    return Result<QString>::failure(
        QStringLiteral("The table %1 exists; it is built over only when you say so.")
            .arg(file.fileName()));
}

void TableBuilder::cancel() {
    // Stopping the stepper may tell the stop back here.
    if (!running_ || cancelled_)
        return;
    cancelled_ = true;
    mover_.stop();
    vna_.abort();
}

bool TableBuilder::fail(const QString& why) {
    if (failure_.isEmpty())
        failure_ = why;
    qCWarning(lcVna) << "build failed:" << why;
    return false;
}

void TableBuilder::report(const QString& activity, bool built) {
    BuildProgress progress;
    // Until the end, one sweep more than done is always left.
    const int planned = built ? sweepsDone_ : std::max(sweepsPlanned_, sweepsDone_ + 1);
    // A plan that grows (the band measured at more stops than guessed) never moves the bar back.
    shownFraction_ = std::max(shownFraction_, planned > 0 ? double(sweepsDone_) / planned : 1.0);
    progress.fraction = shownFraction_;
    const double elapsedS = (platform_.steadyMs() - startMs_) / 1000;
    progress.secondsLeft = sweepsDone_ > 0 ? elapsedS / sweepsDone_ * (planned - sweepsDone_) : 0;
    progress.activity = activity;
    emit progressed(progress);
}

bool TableBuilder::waitWhileTransmitting() {
    bool waited = false;
    while (!cancelled_ && mover_.transmitting()) {
        if (!waited)
            report(QStringLiteral("Waiting: the rig transmits"));
        waited = true;
        platform_.waitMs(TransmitPollMs);
    }
    if (waited && !cancelled_)
        report(activity_);
    return !cancelled_;
}

bool TableBuilder::moveTo(long position) {
    for (int stopped = 0;;) {
        if (!waitWhileTransmitting())
            return false;
        const StepperMover::Move move = mover_.moveTo(position);
        if (cancelled_)
            return false;
        switch (move.outcome) {
        case StepperMover::Outcome::Arrived:
            return true;
        case StepperMover::Outcome::Refused:
            if (mover_.transmitting())
                continue;
            return fail(QStringLiteral("The stepper cannot turn to %1: %2").arg(position).arg(move.reason));
        case StepperMover::Outcome::Stopped:
            if (mover_.transmitting())
                continue;
            if (++stopped >= TurnTries)
                return fail(QStringLiteral("The turn to %1 was stopped.").arg(position));
            continue;
        }
    }
}

bool TableBuilder::approach(long position, int side) {
    // Far enough to take up any play the drive has before the stepper comes back.
    const long distance = std::max(20L, (highFine_ - lowFine_) / 10);
    const long here = mover_.position();
    if (side > 0 && here >= position && !moveTo(std::max(request_.lowPosition, position - distance)))
        return false;
    if (side < 0 && here <= position && !moveTo(std::min(request_.highPosition, position + distance)))
        return false;
    return moveTo(position);
}

TableBuilder::Seen TableBuilder::measure(double centreHz, double halfWidthHz, int points,
                                         Measurement::Phase phase, int side) {
    const SweepRequest request{std::max(LowestHz, centreHz - halfWidthHz),
                               std::max(LowestHz, centreHz - halfWidthHz) + 2 * halfWidthHz,
                               points};
    for (int failures = 0;;) {
        if (!waitWhileTransmitting())
            return {false, {}};
        const Result<Sweep> sweep = vna_.sweep(request);
        if (cancelled_)
            return {false, {}};
        if (mover_.transmitting())
            continue; // the rig's carrier was in this sweep
        if (!sweep.ok()) {
            if (++failures < SweepTries) {
                qCWarning(lcVna) << "sweep failed, once more:" << sweep.error;
                continue;
            }
            fail(sweep.error);
            return {false, {}};
        }
        ++sweepsDone_;
        report(activity_);
        Seen seen{true, FindResonance(*sweep.value)};
        if (seen.resonance && !seen.resonance->atEdge)
            result_.measurements.push_back({(platform_.steadyMs() - startMs_) / 1000, phase,
                                            mover_.position(), side, *seen.resonance});
        return seen;
    }
}

TableBuilder::Seen TableBuilder::measureAround(double expectedHz, double halfWidthHz,
                                               Measurement::Phase phase, int side) {
    for (int widening = 0; widening <= Widenings; ++widening) {
        const Seen seen = measure(expectedHz, halfWidthHz * (1 << widening), finePoints_, phase, side);
        if (!seen.ok || (seen.resonance && !seen.resonance->atEdge))
            return seen;
        if (seen.resonance)
            expectedHz = seen.resonance->hz;
    }
    return {true, std::nullopt};
}

double TableBuilder::expectedHzAt(long position) const {
    return 1000 * Curve(curve_.size() >= 2 ? curve_ : sightings_).kHzAt(double(position));
}

bool TableBuilder::search() {
    activity_ = QStringLiteral("Searching the resonance");
    const double lowHz = request_.lowKHz * 1000;
    const double highHz = request_.highKHz * 1000;
    const double extra = std::max(0.5 * (highHz - lowHz), 20'000.0);
    const double centre = (lowHz + highHz) / 2;
    const double halfWidth = (highHz - lowHz) / 2 + extra;
    const long range = request_.highPosition - request_.lowPosition;
    const long jump = std::max(1L, range / SearchJumps);
    sweepsPlanned_ = int(range / jump) + 2 + GuessedBandStops +
                     2 * request_.repeatPositions * request_.approaches + request_.checkSamples;
    report(activity_);
    // Turns to position and sweeps the band there; nullopt when the build ends, else whether
    // the resonance is in view (it is noted then).
    const auto look = [&](long position) -> std::optional<bool> {
        if (!moveTo(position))
            return std::nullopt;
        const Seen seen = measure(centre, halfWidth, coarsePoints_, Measurement::Phase::Search, +1);
        if (!seen.ok)
            return std::nullopt;
        if (!Sighted(seen.resonance))
            return false;
        sightings_.push_back(PointOf(position, *seen.resonance));
        return true;
    };
    if (!approach(request_.lowPosition, +1))
        return false;
    for (long position = request_.lowPosition;; position = std::min(position + jump, request_.highPosition)) {
        const std::optional<bool> inView = look(position);
        if (!inView)
            return false;
        if (!*inView && sightings_.size() >= 2)
            break; // the resonance has left the band behind
        if (position == request_.highPosition)
            break;
    }
    if (sightings_.size() == 1) {
        // A steep loop crosses the band within one jump: look closer around the sighting.
        const long seenAt = long(sightings_.front().position);
        const long from = std::max(request_.lowPosition, seenAt - jump);
        const long to = std::min(request_.highPosition, seenAt + jump);
        if (!approach(from, +1))
            return false;
        for (long position = from; position <= to; position += std::max(1L, jump / 4)) {
            if (position != seenAt && !look(position))
                return false;
        }
    }
    if (sightings_.empty())
        return fail(QStringLiteral("The loop shows no resonance in %1–%2 kHz between positions %3 "
                                   "and %4. Is the VNA connected to the loop?")
                        .arg(KHz(request_.lowKHz), KHz(request_.highKHz))
                        .arg(request_.lowPosition)
                        .arg(request_.highPosition));
    if (sightings_.size() < 2)
        return fail(QStringLiteral("The loop resonates in the band at position %1 only; it cannot "
                                   "be tuned across the band.")
                        .arg(long(sightings_.front().position)));
    return true;
}

bool TableBuilder::measureBand() {
    activity_ = QStringLiteral("Measuring the band");
    const Curve sighted(sightings_);
    const double hzPerStep = sighted.hzPerStep();
    if (hzPerStep == 0)
        return fail(QStringLiteral("The loop's resonance does not move with the stepper."));
    const double a = sighted.positionAt(request_.lowKHz);
    const double b = sighted.positionAt(request_.highKHz);
    // Seen only beside the band, with both of its edges beyond the same end of the range: no
    // position tunes the loop into the band.
    const auto outside = [this](const CurvePoint& point) {
        return std::max(request_.lowKHz - point.kHz, point.kHz - request_.highKHz);
    };
    const bool seenInBand =
        std::any_of(sightings_.begin(), sightings_.end(),
                    [&](const CurvePoint& point) { return outside(point) <= 0; });
    if (!seenInBand && (std::max(a, b) < double(request_.lowPosition) ||
                        std::min(a, b) > double(request_.highPosition))) {
        const CurvePoint& nearest = *std::min_element(
            sightings_.begin(), sightings_.end(),
            [&](const CurvePoint& x, const CurvePoint& y) { return outside(x) < outside(y); });
        return fail(QStringLiteral("The loop does not reach %1–%2 kHz between positions %3 and "
                                   "%4: at the nearest it resonates at %5 kHz, at position %6.")
                        .arg(KHz(request_.lowKHz), KHz(request_.highKHz))
                        .arg(request_.lowPosition)
                        .arg(request_.highPosition)
                        .arg(nearest.kHz, 0, 'f', 1)
                        .arg(long(nearest.position)));
    }
    // A loop's 2:1 bandwidth is a few tenths of a percent of its frequency.
    bandwidthHz_ = MedianBandwidthHz(sightings_, request_.highKHz * 1000 / 400);
    // A stop every third of a bandwidth, or fewer stops over a wide range.
    fineStep_ = std::max(1L, std::lround(bandwidthHz_ / 3 / std::abs(hzPerStep)));
    fineStep_ = std::max(fineStep_, long(std::ceil(std::abs(b - a) / MostFineStops)));
    const long margin = 2 * fineStep_;
    lowFine_ = std::clamp(long(std::floor(std::min(a, b))) - margin, request_.lowPosition, request_.highPosition);
    highFine_ = std::clamp(long(std::ceil(std::max(a, b))) + margin, request_.lowPosition, request_.highPosition);
    // Every fineStep_ from lowFine_, and highFine_ itself when the steps do not end on it.
    const long stops = (highFine_ - lowFine_ + fineStep_ - 1) / fineStep_ + 1;
    sweepsPlanned_ = sweepsDone_ + int(stops) + 2 * request_.repeatPositions * request_.approaches +
                     request_.checkSamples;
    report(activity_);
    if (!approach(lowFine_, +1))
        return false;
    long missed = 0;
    for (long position = lowFine_;; position = std::min(position + fineStep_, highFine_)) {
        if (!moveTo(position))
            return false;
        const double halfWidth = std::max(HalfWidthInBandwidths * bandwidthHz_,
                                          2 * std::abs(hzPerStep) * double(fineStep_));
        const Seen seen = measureAround(expectedHzAt(position), halfWidth, Measurement::Phase::Measure, +1);
        if (!seen.ok)
            return false;
        if (seen.resonance) {
            curve_.push_back(PointOf(position, *seen.resonance));
            if (seen.resonance->bandwidthHz)
                bandwidthHz_ = *seen.resonance->bandwidthHz;
        } else {
            ++missed;
        }
        if (position == highFine_)
            break;
    }
    if (curve_.size() < 2 || double(missed) > MostMissedShare * double(stops))
        return fail(QStringLiteral("The resonance was lost at %1 of %2 positions between %3 and %4.")
                        .arg(missed)
                        .arg(stops)
                        .arg(lowFine_)
                        .arg(highFine_));
    return true;
}

bool TableBuilder::assessRepeatability() {
    activity_ = QStringLiteral("Measuring repeatability and backlash");
    const int count = request_.repeatPositions;
    std::vector<Approach> approaches;
    for (int i = 0; i < count; ++i) {
        const long position = lowFine_ + (highFine_ - lowFine_) * (2 * i + 1) / (2 * count);
        for (int k = 0; k < request_.approaches; ++k) {
            for (const int side : {+1, -1}) {
                if (!approach(position, side))
                    return false;
                const Seen seen = measureAround(expectedHzAt(position),
                                                HalfWidthInBandwidths * bandwidthHz_,
                                                Measurement::Phase::Repeat, side);
                if (!seen.ok)
                    return false;
                if (seen.resonance)
                    approaches.push_back({position, side, seen.resonance->hz});
            }
        }
    }
    result_.repeatability = AssessRepeatability(approaches, Curve(curve_).hzPerStep());
    return true;
}

bool TableBuilder::checkAccuracy() {
    activity_ = QStringLiteral("Checking the table");
    const table::TableData& table = result_.table;
    const double low = table.TableFreq[1];
    const double high = table.TableFreq[table.TableLast];
    std::mt19937 random(request_.seed);
    std::uniform_real_distribution<double> pick(low, high);
    struct Target {
        double kHz;
        long position;
    };
    std::vector<Target> targets;
    for (int i = 0; i < request_.checkSamples; ++i) {
        const double kHz = pick(random);
        const table::Lookup lookup = table::LookUpPosition(table, core::Single(kHz));
        if (lookup.ok())
            targets.push_back({kHz, lookup.position});
    }
    // Upwards, so that each position is approached from below as the table was measured.
    std::sort(targets.begin(), targets.end(),
              [](const Target& a, const Target& b) { return a.position < b.position; });
    for (const Target& target : targets) {
        if (!approach(target.position, +1))
            return false;
        const Seen seen = measureAround(target.kHz * 1000, HalfWidthInBandwidths * bandwidthHz_,
                                        Measurement::Phase::Check, +1);
        if (!seen.ok)
            return false;
        ++result_.check.total;
        const std::optional<double> bandwidthKHz =
            seen.resonance && seen.resonance->bandwidthHz
                ? std::optional<double>(*seen.resonance->bandwidthHz / 1000)
                : table::BandwidthAt(table, core::Single(target.kHz));
        if (seen.resonance && bandwidthKHz &&
            std::abs(seen.resonance->hz / 1000 - target.kHz) <= *bandwidthKHz / 4)
            ++result_.check.passed;
    }
    return true;
}

bool TableBuilder::write() {
    // A file that appeared during the build is treated as one that was there before.
    const Result<QString> path = TargetPath(request_);
    if (!path.ok())
        return fail(path.error);
    QString error;
    if (!table::WriteTableFile(*path.value, result_.table, &error))
        return fail(QStringLiteral("Cannot write the table: %1").arg(error));
    result_.tablePath = *path.value;
    const QString csv = CsvPathFor(*path.value);
    if (core::WriteFileAtomically(csv, MeasurementsCsv(result_.measurements), &error))
        result_.csvPath = csv;
    else
        qCWarning(lcVna) << "cannot write" << csv << error;
    return true;
}

BuildResult TableBuilder::finish() {
    vna_.close();
    running_ = false;
    if (cancelled_) {
        result_.status = BuildResult::Status::Cancelled;
        result_.message = QStringLiteral("The build was stopped; no table was written.");
    } else if (!failure_.isEmpty()) {
        result_.status = BuildResult::Status::Failed;
        result_.message = failure_ + QStringLiteral(" No table was written.");
    } else {
        result_.status = BuildResult::Status::Built;
        const table::TableData& t = result_.table;
        const Repeatability& r = result_.repeatability;
        result_.message =
            QStringLiteral("%1: %2 rows, %3–%4 kHz, built in %5 min. %6 of %7 turns to random "
                           "frequencies of the band landed within a quarter of the loop's "
                           "bandwidth. Backlash %8 steps (overlay %9), spread %10 kHz (%11 steps).")
                .arg(QFileInfo(result_.tablePath).fileName())
                .arg(t.TableLast)
                .arg(KHz(t.TableFreq[1]), KHz(t.TableFreq[t.TableLast]))
                .arg((platform_.steadyMs() - startMs_) / 60000, 0, 'f', 1)
                .arg(result_.check.passed)
                .arg(result_.check.total)
                .arg(Tenths(r.backlashSteps))
                .arg(r.overlaySteps)
                .arg(r.spreadKHz, 0, 'f', 2)
                .arg(Tenths(r.spreadSteps));
        if (!result_.csvPath.isEmpty())
            result_.message += QStringLiteral(" Every measurement is in %1.").arg(QFileInfo(result_.csvPath).fileName());
        // Rows are kept to a hundredth of a kHz.
        constexpr double RowKHz = 0.01;
        if (t.TableFreq[1] > request_.lowKHz + RowKHz ||
            t.TableFreq[t.TableLast] < request_.highKHz - RowKHz)
            result_.message += QStringLiteral(" Only %1–%2 kHz of the band %3–%4 kHz resonates "
                                              "between positions %5 and %6.")
                                   .arg(KHz(t.TableFreq[1]), KHz(t.TableFreq[t.TableLast]))
                                   .arg(KHz(request_.lowKHz), KHz(request_.highKHz))
                                   .arg(request_.lowPosition)
                                   .arg(request_.highPosition);
    }
    report(result_.message, result_.status == BuildResult::Status::Built);
    return result_;
}

BuildResult TableBuilder::run(const BuildRequest& request) {
    if (running_) {
        BuildResult busy;
        busy.message = QStringLiteral("A table is being built already.");
        return busy;
    }
    request_ = request;
    result_ = {};
    running_ = true;
    cancelled_ = false;
    failure_.clear();
    sightings_.clear();
    curve_.clear();
    sweepsDone_ = 0;
    shownFraction_ = 0;
    startMs_ = platform_.steadyMs();
    lowFine_ = request.lowPosition;
    highFine_ = request.highPosition;

    if (!(request.lowKHz > 0 && request.highKHz > request.lowKHz))
        fail(QStringLiteral("The band %1–%2 kHz cannot be built.").arg(request.lowKHz).arg(request.highKHz));
    else if (request.highPosition - request.lowPosition < 2)
        fail(QStringLiteral("The positions %1 to %2 are too few to search.")
                 .arg(request.lowPosition)
                 .arg(request.highPosition));
    else if (request.spacing == BuildRequest::Spacing::EveryKHz && !(request.everyKHz > 0))
        fail(QStringLiteral("A row every %1 kHz cannot be.").arg(request.everyKHz));
    if (halted())
        return finish();
    if (const Result<QString> path = TargetPath(request); !path.ok()) {
        fail(path.error);
        return finish();
    }
    const Result<VnaIdentity> identity = vna_.open();
    if (!identity.ok()) {
        fail(identity.error);
        return finish();
    }
    coarsePoints_ = std::min(201, identity.value->maxPoints);
    finePoints_ = std::min(101, identity.value->maxPoints);
    if (!search() || !measureBand())
        return finish();
    const Result<std::vector<table::TableRow>> rows = ChooseRows(Curve(curve_), request_);
    if (!rows.ok()) {
        fail(rows.error);
        return finish();
    }
    result_.table = MakeTable(*rows.value, request_);
    if (assessRepeatability() && checkAccuracy())
        write();
    return finish();
}

} // namespace vna
