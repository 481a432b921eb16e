#include "station/PositionJournal.h"

#include "core/AtomicFile.h"
#include "core/TextFile.h"
#include "core/VersionTexts.h"
#include "station/StationLogging.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace station {

using core::Long;

namespace {

QString StepperName(std::size_t stepper) {
    return QStringLiteral("Stepper %1").arg(stepper + 1);
}

} // namespace

PositionJournal::PositionJournal(core::ProgramState& state, platform::Platform& platform,
                                 engine::Engine& engine, QString journalPath, QString configPath,
                                 QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine),
      path_(std::move(journalPath)), configPath_(std::move(configPath)) {}

void PositionJournal::Restore(bool configPositionsRead) {
    configPositionsRead_ = configPositionsRead;
    written_.reset();
    message_.clear();
    uncertain_.reset();
    doubts_ = {};
    nextNumber_ = 1;
    newestCopy_ = -1;
    const QFileInfo single(path_);
    singleFileLeft_ = single.exists() || single.isSymLink();

    struct Found {
        int copy; // -1: the single journal of earlier versions
        JournalCopy file;
    };
    std::vector<Found> found;
    const std::array<JournalCopy, 2> copies = ReadJournalCopies(path_);
    for (int i = 0; i < 2; ++i) {
        if (copies[i].present)
            found.push_back({i, copies[i]});
    }
    if (found.empty() && singleFileLeft_)
        found.push_back({-1, ReadJournalCopy(path_)});

    const Found* newest = nullptr;
    for (const Found& f : found) {
        if (f.file.record && (!newest || f.file.record->number > newest->file.record->number))
            newest = &f;
    }
    if (newest) {
        nextNumber_ = newest->file.record->number + 1;
        newestCopy_ = newest->copy;
    }
    const QFileInfo config(configPath_);
    const bool configured = config.exists();
    const QByteArray fingerprint = ConfigFingerprint(configPath_);
    // A normal end saves the configuration after the last record. A record that names the
    // configuration it was written beside tells by that, whatever the clock did; the records of
    // earlier versions by the files' times.
    auto writtenBeforeConfig = [&](const JournalCopy& file) {
        if (!configured)
            return false;
        if (file.record && !file.record->config.isEmpty())
            return file.record->config != fingerprint;
        return file.modified < config.lastModified();
    };
    // A configuration whose positions could not be read knows none: the journal's stand.
    auto beforeConfig = [&](const JournalCopy& file) {
        return configPositionsRead && writtenBeforeConfig(file);
    };
    // Spoilt copies written after the record used (and the configuration): a newer record lost.
    // After a record written since the configuration, only the two copies' times are compared:
    // they were written by one run, on one clock.
    const bool newestAfterConfig = newest && !beforeConfig(newest->file);
    QStringList lost;
    for (const Found& f : found) {
        if (f.file.record || (!newestAfterConfig && beforeConfig(f.file)) ||
            (newest && f.file.modified < newest->file.modified))
            continue;
        lost << QFileInfo(f.file.path).fileName() + QLatin1Char(' ') + f.file.problem;
    }
    if (!newest || beforeConfig(newest->file)) {
        if (!lost.isEmpty())
            noneWhole(lost);
        else if (newest)
            qCInfo(lcStation) << QFileInfo(newest->file.path).fileName() << "is older than"
                              << config.fileName() << "- not used";
        return;
    }
    take(*newest->file.record, QFileInfo(newest->file.path).fileName(), configured,
         !writtenBeforeConfig(newest->file), lost);
}

void PositionJournal::take(const JournalRecord& record, const QString& name, bool configured,
                           bool afterConfig, const QStringList& lost) {
    const QString configName = QFileInfo(configPath_).fileName();
    QStringList taken;
    QStringList turning;
    for (std::size_t i = 0; i < record.steppers.size(); ++i) {
        const JournalRecord::Stepper& s = record.steppers[i];
        core::StepperProfile& profile = state_.StoredProfiles[i];
        if (s.counter != profile.StepCounter || s.overlay != profile.OverlayPosition) {
            taken << QStringLiteral("%1 at %2 (%3 %4)")
                         .arg(StepperName(i))
                         .arg(s.counter)
                         .arg(!configured            ? QStringLiteral("without ") + configName
                              : configPositionsRead_ ? configName + QStringLiteral(" said")
                                                     : QStringLiteral("in place of"))
                         .arg(profile.StepCounter);
            profile.StepCounter = s.counter;
            profile.OverlayPosition = s.overlay;
        }
        if (s.turningTo) {
            // With a reach the counter is one written during the turn, not where it began.
            turning << (s.reach ? QStringLiteral("%1 was turning to %3, its counter last written "
                                                 "at %2 (at most about a second before)")
                                : QStringLiteral("%1 was turning from %2 to %3"))
                               .arg(StepperName(i))
                               .arg(s.counter)
                               .arg(*s.turningTo) +
                           QStringLiteral(": it may stand up to %1 steps from its counter (%2).")
                               .arg(s.uncertainty())
                               .arg(s.counter);
            doubts_[i] = QStringLiteral("%1 may stand up to %2 steps from its counter: it was "
                                        "turning when the program last ended abnormally")
                             .arg(StepperName(i))
                             .arg(s.uncertainty());
            // The selected stepper first when both were turning (parking at the end).
            if (!uncertain_ || static_cast<Long>(i) == state_.SelectedStepper)
                uncertain_ = static_cast<Long>(i);
        }
    }
    if (taken.isEmpty() && turning.isEmpty() && lost.isEmpty())
        return;
    const QString crlf = QStringLiteral("\r\n");
    if (afterConfig) {
        message_ = QStringLiteral("Ventrolo did not end normally last time (a crash, a kill or a "
                                  "power cut).");
        if (!taken.isEmpty())
            message_ +=
                QStringLiteral(" The positions are taken from %1, %2:")
                    .arg(name, configured ? QStringLiteral("which is newer than ") + configName
                                          : QStringLiteral("as there is no ") + configName) +
                crlf + taken.join(crlf);
    } else if (!taken.isEmpty()) {
        message_ = QStringLiteral("The positions are taken from %1, as they could not be read "
                                  "from %2:")
                       .arg(name, configName) +
                   crlf + taken.join(crlf);
    }
    auto paragraph = [&](const QString& text) {
        message_ += (message_.isEmpty() ? QString() : crlf + crlf) + text;
    };
    if (!turning.isEmpty())
        paragraph(turning.join(crlf));
    if (!lost.isEmpty()) {
        paragraph(QStringLiteral("%1, so a newer record may be lost: the steppers may have "
                                 "turned after the record used was written.")
                      .arg(lost.join(QStringLiteral("; "))) +
                  crlf + anywhereText());
        doubtEverywhere();
        if (!uncertain_)
            uncertain_ = state_.SelectedStepper == 1 ? 1 : 0;
    }
    if (uncertain_)
        paragraph(QStringLiteral("Start the calibration run of %1 to find its position?")
                      .arg(StepperName(static_cast<std::size_t>(*uncertain_))));
}

void PositionJournal::noneWhole(const QStringList& damage) {
    const QString crlf = QStringLiteral("\r\n");
    const QFileInfo config(configPath_);
    uncertain_ = state_.SelectedStepper == 1 ? 1 : 0;
    message_ = QStringLiteral("Where the steppers stood when Ventrolo last ran is lost: %1. %2, "
                              "but the steppers may have turned since.")
                   .arg(damage.join(QStringLiteral("; ")),
                        config.exists() && configPositionsRead_
                            ? QStringLiteral("The positions in %1 are used").arg(config.fileName())
                            : QStringLiteral("The first start's positions are used")) +
               crlf + anywhereText() + crlf + crlf +
               QStringLiteral("Start the calibration run of %1 to find its position?")
                   .arg(StepperName(static_cast<std::size_t>(*uncertain_)));
    doubtEverywhere();
}

void PositionJournal::doubtEverywhere() {
    for (std::size_t i = 0; i < doubts_.size(); ++i) {
        if (doubts_[i].isEmpty())
            doubts_[i] = QStringLiteral("%1 may stand anywhere within its limits: the record of "
                                        "its last moves is lost")
                             .arg(StepperName(i));
    }
}

QString PositionJournal::doubt() const {
    QStringList doubts;
    for (const QString& d : doubts_) {
        if (!d.isEmpty())
            doubts << d;
    }
    return doubts.join(QStringLiteral("; "));
}

void PositionJournal::PositionFound(core::Long stepper) {
    if (stepper == 0 || stepper == 1)
        doubts_[static_cast<std::size_t>(stepper)].clear();
}

QString PositionJournal::anywhereText() const {
    QStringList lines;
    for (std::size_t i = 0; i < state_.StoredProfiles.size(); ++i) {
        const core::StepperProfile& p = state_.StoredProfiles[i];
        const std::int64_t counter = p.StepCounter;
        const std::int64_t low = std::min<std::int64_t>(p.MinPosition, counter);
        const std::int64_t high = std::max<std::int64_t>(p.MaxPosition, counter);
        lines << QStringLiteral("%1 may stand anywhere within its limits %2 to %3, up to %4 steps "
                                "from its counter (%5).")
                     .arg(StepperName(i))
                     .arg(p.MinPosition)
                     .arg(p.MaxPosition)
                     .arg(std::max(counter - low, high - counter))
                     .arg(counter);
    }
    return lines.join(QStringLiteral("\r\n"));
}

void PositionJournal::Arm() {
    if (armed_ || exiting_)
        return;
    armed_ = true;
    // What the start found stays on record until the user has heard of it: a crash meanwhile
    // still finds it.
    if (message_.isEmpty())
        recordSteady();
}

std::optional<Long> PositionJournal::TellUser() {
    std::optional<Long> calibrate;
    if (!message_.isEmpty()) {
        qCWarning(lcStation).noquote() << message_;
        if (uncertain_) {
            if (platform_.messageBox(message_, core::MessageTitle(), platform::Icon::Question,
                                     platform::Buttons::YesNo) == platform::Answer::Yes)
                calibrate = uncertain_;
        } else {
            platform_.messageBox(message_, core::MessageTitle(), platform::Icon::Information);
        }
        message_.clear();
        uncertain_.reset();
    }
    // The way out may have begun while the question was open: the end has written the journal.
    if (!exiting_) {
        armed_ = true;
        recordSteady();
    }
    return calibrate;
}

// ---------------------------------------------------------------------------------------------
// The engine's news

void PositionJournal::TurnStarted() {
    inTurn_ = true;
    recordTurn();
}

void PositionJournal::TurnEnded() {
    inTurn_ = false;
    // A slow turn goes on, one step per timer tick.
    if (engine_.slowTurnRunning()) {
        if (turnTarget() != recordedTarget_)
            recordTurn();
        return;
    }
    recordSteady();
}

// The most steps a turn can make before the next record: the record comes with the first
// counter shown after JournalIntervalMs, the display at most DisplayPacing::MaxHoldMs late, and
// no step is shorter than 90% of the fastest delay the turn may use.
Long PositionJournal::reachBeforeNextRecord() const {
    const Long fastest = state_.SpeedModulate ? std::min(state_.FastestDelayMs, state_.StepDelayMs)
                                              : state_.StepDelayMs;
    const double gapMs = JournalIntervalMs + engine::DisplayPacing::MaxHoldMs + 2.0 * fastest;
    return static_cast<Long>(std::ceil(gapMs / (0.9 * std::max<Long>(fastest, 1))));
}

void PositionJournal::CounterChanged() {
    if (exiting_) {
        // The parking at the end: both steppers go to their lower limits.
        if (armed_ && !parkRecorded_) {
            parkRecorded_ = true;
            JournalRecord record = current(true);
            for (std::size_t i = 0; i < record.steppers.size(); ++i) {
                if (record.steppers[i].counter > state_.StoredProfiles[i].MinPosition)
                    record.steppers[i].turningTo = state_.StoredProfiles[i].MinPosition;
            }
            write(record);
        }
        return;
    }
    if (inTurn_ || engine_.slowTurnRunning()) {
        // Another turn took over (a request that came during the wait), or the record is a
        // second old: a crash then costs at most a second of steps.
        if (turnTarget() != recordedTarget_ ||
            platform_.steadyMs() - writtenAtMs_ >= JournalIntervalMs)
            recordTurn();
        return;
    }
    recordSteady();
}

void PositionJournal::SlowStepMade() {
    if (state_.StepCounter == state_.TargetPosition)
        recordSteady();
    else if (turnTarget() != recordedTarget_)
        recordTurn();
}

void PositionJournal::Stopped() {
    if (!inTurn_)
        recordSteady();
}

void PositionJournal::StepperSwitched() {
    recordSteady();
}

void PositionJournal::ExitStarted() {
    exiting_ = true;
}

void PositionJournal::Ended() {
    armed_ = true;
    write(current(true));
    // The last word: nothing after the end may write otherwise.
    armed_ = false;
    exiting_ = true;
}

// ---------------------------------------------------------------------------------------------

JournalRecord PositionJournal::current(bool stored) const {
    JournalRecord record;
    const std::size_t selected = state_.SelectedStepper == 1 ? 1 : 0;
    for (std::size_t i = 0; i < record.steppers.size(); ++i) {
        const core::StepperProfile& p =
            !stored && i == selected ? state_.working() : state_.StoredProfiles[i];
        record.steppers[i] = {p.StepCounter, p.OverlayPosition, std::nullopt};
    }
    return record;
}

// Where the turn under way can take the stepper: its target, held within the limits as the
// engine holds it (a counter beyond a limit stays where it is).
Long PositionJournal::turnTarget() const {
    const Long low = std::min(state_.StepCounter, state_.MinPosition);
    const Long high = std::max(state_.StepCounter, state_.MaxPosition);
    return std::clamp(state_.TargetPosition, low, high);
}

void PositionJournal::recordTurn() {
    if (exiting_)
        return;
    recordedTarget_ = turnTarget();
    JournalRecord record = current(false);
    if (recordedTarget_ != state_.StepCounter) {
        JournalRecord::Stepper& turning = record.steppers[state_.SelectedStepper == 1 ? 1 : 0];
        turning.turningTo = recordedTarget_;
        if (const Long reach = reachBeforeNextRecord();
            reach < std::abs(std::int64_t{recordedTarget_} - state_.StepCounter))
            turning.reach = reach;
    }
    write(record);
}

void PositionJournal::recordSteady() {
    // On the way out the working variables may belong to the stepper being parked; the end
    // writes what was saved.
    if (!exiting_)
        write(current(false));
}

void PositionJournal::write(const JournalRecord& record) {
    if (!armed_ || (written_ && written_->steppers == record.steppers))
        return;
    JournalRecord numbered = record;
    numbered.number = nextNumber_;
    numbered.config = ConfigFingerprint(configPath_);
    const QByteArray contents = numbered.Serialize();
    // Over the older copy; when that cannot be written, over the newer one, so the newest
    // record is on disk whenever either copy can be written.
    const int older = newestCopy_ == 0 ? 1 : 0;
    QString failure;
    for (const int copy : {older, 1 - older}) {
        const QString path = JournalCopyPath(path_, copy);
        QString error;
        if (!core::WriteFileAtomically(path, contents, &error)) {
            // Logged once per failure, not per write.
            if (!std::exchange(copyFailing_[copy], true))
                qCWarning(lcStation).noquote() << "cannot write" << path << error;
            if (failure.isEmpty())
                failure = QStringLiteral("%1 cannot be written (%2)").arg(path, error);
            continue;
        }
        if (std::exchange(copyFailing_[copy], false))
            qCInfo(lcStation).noquote() << path << "is written again";
        newestCopy_ = copy;
        ++nextNumber_;
        written_ = record;
        writtenAtMs_ = platform_.steadyMs();
        // The single journal of earlier versions is not read once a copy exists.
        if (std::exchange(singleFileLeft_, false))
            QFile::remove(path_);
        if (std::exchange(unwritten_, false))
            platform_.notify(QStringLiteral("%1 is written again: a crash no longer loses where "
                                            "the steppers stand.")
                                 .arg(path),
                             core::MessageTitle(), platform::Icon::Information);
        return;
    }
    // Told once, and without waiting: this may run mid-turn, and the turn goes on.
    if (!std::exchange(unwritten_, true))
        platform_.notify(failure + QStringLiteral(": a crash now would lose where the steppers "
                                                  "stand. Turning goes on; you are told when "
                                                  "the journal is written again."),
                         core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace station
