#include "station/PositionJournal.h"

#include "core/AtomicFile.h"
#include "core/TextFile.h"
#include "core/VersionTexts.h"
#include "station/StationLogging.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>

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

void PositionJournal::Restore() {
    const QFileInfo journal(path_);
    const QString name = journal.fileName();
    written_.clear();
    message_.clear();
    icon_ = platform::Icon::Information;
    uncertain_.reset();
    const core::TextFileRead read = core::ReadTextFile(path_);
    if (read.status == core::TextFileRead::Status::Missing)
        return;
    if (read.status == core::TextFileRead::Status::Unreadable) {
        message_ = QStringLiteral("%1 cannot be read (%2); the positions in %3 are used.")
                       .arg(name, read.error, QFileInfo(configPath_).fileName());
        icon_ = platform::Icon::Exclamation;
        return;
    }
    written_ = read.bytes;
    int badLine = 0;
    const auto record = JournalRecord::Parse(written_, &badLine);
    if (!record) {
        message_ = QStringLiteral("%1 is damaged at line %2 and is not used; the positions in "
                                  "%3 are used.")
                       .arg(name)
                       .arg(badLine)
                       .arg(QFileInfo(configPath_).fileName());
        icon_ = platform::Icon::Exclamation;
        return;
    }
    const QFileInfo config(configPath_);
    if (config.exists() && journal.lastModified() < config.lastModified()) {
        qCInfo(lcStation) << name << "is older than" << config.fileName() << "- not used";
        return;
    }
    take(*record, config.exists());
}

void PositionJournal::take(const JournalRecord& record, bool configured) {
    const QString name = QFileInfo(path_).fileName();
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
                         .arg(configured ? configName + QStringLiteral(" said")
                                         : QStringLiteral("without ") + configName)
                         .arg(profile.StepCounter);
            profile.StepCounter = s.counter;
            profile.OverlayPosition = s.overlay;
        }
        if (s.turningTo) {
            turning << QStringLiteral("%1 was turning from %2 to %3%4: it may stand up to %5 "
                                      "steps from its counter (%2).")
                           .arg(StepperName(i))
                           .arg(s.counter)
                           .arg(*s.turningTo)
                           .arg(s.reach ? QStringLiteral(" (its position was written at most "
                                                         "about a second before)")
                                        : QString())
                           .arg(s.uncertainty());
            // The selected stepper first when both were turning (parking at the end).
            if (!uncertain_ || static_cast<Long>(i) == state_.SelectedStepper)
                uncertain_ = static_cast<Long>(i);
        }
    }
    if (taken.isEmpty() && turning.isEmpty())
        return;
    const QString crlf = QStringLiteral("\r\n");
    message_ = QStringLiteral("Ventrolo did not end normally last time (a crash, a kill or a "
                              "power cut).");
    if (!taken.isEmpty())
        message_ += QStringLiteral(" The positions are taken from %1, %2:")
                        .arg(name, configured ? QStringLiteral("which is newer than ") + configName
                                              : QStringLiteral("as there is no ") + configName) +
                    crlf + taken.join(crlf);
    if (!turning.isEmpty())
        message_ += crlf + crlf + turning.join(crlf) + crlf + crlf +
                    QStringLiteral("Start the calibration run of %1 to find its position?")
                        .arg(StepperName(static_cast<std::size_t>(*uncertain_)));
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
            platform_.messageBox(message_, core::MessageTitle(), icon_);
        }
        message_.clear();
        uncertain_.reset();
    }
    // The way out may have begun while the question was open: the end has written the journal.
    armed_ = !exiting_;
    recordSteady();
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
    const QByteArray contents = record.Serialize();
    if (!armed_ || contents == written_)
        return;
    QString error;
    if (core::WriteFileAtomically(path_, contents, &error)) {
        written_ = contents;
        writtenAtMs_ = platform_.steadyMs();
        return;
    }
    qCWarning(lcStation) << "cannot write" << path_ << error;
    if (failureTold_)
        return;
    failureTold_ = true;
    // Told from the event loop: this may run inside a turn.
    const QString text = QStringLiteral("%1 cannot be written (%2): a crash would lose the "
                                        "position since the configuration was last saved.")
                             .arg(path_, error);
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            platform_.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation);
        },
        Qt::QueuedConnection);
}

} // namespace station
