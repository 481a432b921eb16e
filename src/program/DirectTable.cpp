#include "program/DirectTable.h"

#include "core/Degrees.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "program/ProgramLanguage.h"
#include "program/ProgramLogging.h"

#include <QPointer>
#include <algorithm>

namespace program {

namespace {

// A pause ends within this long of a stop.
constexpr double PauseSliceMs = 20;
// A pass through a program that does not wait (only speeds, zero pauses, turns to where the
// stepper stands) still lets the window run for this long, so it never spins.
constexpr double MinPassMs = 20;
// Delays above this run on the main window's slow timers, which a program cannot follow.
constexpr core::Long SlowestRunnableDelayMs = 1000;

} // namespace

DirectTable::DirectTable(const core::ProgramState& state, platform::Platform& platform,
                         Turner& turner, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), turner_(turner) {}

void DirectTable::TextEdited(const QString& typed) {
    if (typed == text_)
        return;
    if (running_)
        RunClicked();
    text_ = FilterProgramText(typed);
    if (text_ != typed)
        emit textChanged();
}

QString DirectTable::RunCaption() const {
    return running_ ? QStringLiteral("Ru&nning") : QStringLiteral("&Start");
}

void DirectTable::RunClicked() {
    const bool wasRunning = running_;
    turner_.stopTurning();
    if (wasRunning) {
        endRun();
        return;
    }
    if (state_.StepDelayMs > SlowestRunnableDelayMs ||
        state_.SlowestDelayMs > SlowestRunnableDelayMs) {
        platform_.messageBox(QStringLiteral("Set SlowSpeed to 1 Sec or less to run me"),
                             core::MessageTitle(), platform::Icon::Information);
        return;
    }
    if (text_.isEmpty())
        return;
    running_ = true;
    ++runId_;
    emit runningChanged();
    setCurrent(QStringLiteral("Running"));
    ExtractvarData();
}

void DirectTable::endRun() {
    running_ = false;
    emit runningChanged();
    setCurrent(QStringLiteral("Stopped"));
}

void DirectTable::WindowGone() {
    gone_ = true;
    running_ = false;
    turner_.stopTurning();
}

void DirectTable::ExtractvarData() {
    // Anything may happen while the run waits: a stop, another run started, the window closed
    // and this table deleted. Every wait is followed by this check, which reads no member of a
    // deleted table.
    const QPointer<DirectTable> alive(this);
    const std::uint64_t run = runId_;
    const std::uint64_t stops = turner_.stopCount();
    const auto goOn = [&] {
        return alive && !gone_ && running_ && runId_ == run && turner_.stopCount() == stops;
    };

    // The appended comma is the table's own rewrite, not an edit that would stop the run.
    if (!text_.endsWith(QLatin1Char(','))) {
        text_ += QLatin1Char(',');
        emit textChanged();
    }
    const QString text = text_;
    const QStringList values = ProgramValues(text);
    const std::vector<TextSpan> spans = ValueSpans(text);
    if (values.isEmpty() || values[0].isEmpty()) {
        endRun();
        return;
    }
    // A value without its number ("100,,200", "." or "*") is a typo: the program does not run,
    // and the value is shown for correction.
    for (int i = 0; i < int(values.size()); ++i) {
        if (!HasNumber(values[i])) {
            qCInfo(lcProgram) << "direct table: value" << i + 1 << values[i] << "has no number";
            platform_.beep();
            endRun();
            emit valueMarked(spans[std::size_t(i)].start, spans[std::size_t(i)].length);
            return;
        }
    }

    std::optional<core::Long> speed; // the step delay of the next turn, from a "#" value
    double passStart = platform_.steadyMs();
    bool refused = false;
    for (int i = 0;;) {
        const ProgramValue value = ParseValue(values[i]);
        switch (value.kind) {
        case ProgramValue::Kind::Pause: {
            const core::Long ms = PauseOf(value);
            setCurrent(QString::number(ms) + QStringLiteral(" mSec"));
            pause(ms, goOn);
            break;
        }
        case ProgramValue::Kind::Speed: {
            bool clamped = false;
            speed = SpeedDelayOf(value, state_.FastestDelayMs, &clamped);
            if (clamped)
                platform_.beep();
            break;
        }
        case ProgramValue::Kind::Position:
        case ProgramValue::Kind::Degrees:
            if (spans[std::size_t(i)].length > 0)
                emit valueMarked(spans[std::size_t(i)].start, spans[std::size_t(i)].length);
            target_ = TargetOf(value, state_.StepsPer360, state_.MinPosition, state_.MaxPosition);
            platform_.processEvents();
            if (!goOn())
                break;
            showCurrent();
            qCDebug(lcProgram) << "direct table turns to" << target_ << "delay"
                               << speed.value_or(0);
            if (!turner_.turnTo(target_, speed)) {
                // Asked again, it would be refused again, pass after pass, each refusal a
                // line of the move log: the run ends here.
                qCInfo(lcProgram) << "direct table: the turn to" << target_
                                  << "was refused; the program stops";
                refused = true;
            }
            speed.reset();
            break;
        }
        if (refused || !goOn())
            break;
        if (values.size() == 1) {
            // A program of one value runs once.
            endRun();
            return;
        }
        if (++i == int(values.size())) {
            i = 0;
            const double passEnd = passStart + MinPassMs;
            if (platform_.steadyMs() < passEnd)
                platform_.waitUntil(passEnd, true);
            if (!goOn())
                break;
            passStart = platform_.steadyMs();
        }
    }
    // A stop of the engine (Esc) or a refused turn ends the run here; the Start button and
    // WindowGone have ended it already, and a newer run owns the table now.
    if (alive && !gone_ && running_ && runId_ == run)
        endRun();
}

void DirectTable::pause(core::Long ms, const std::function<bool()>& goOn) {
    const double deadline = platform_.steadyMs() + ms;
    while (goOn()) {
        const double now = platform_.steadyMs();
        if (now >= deadline)
            return;
        platform_.waitUntil(std::min(deadline, now + PauseSliceMs), true);
    }
}

void DirectTable::setCurrent(const QString& text) {
    current_ = text;
    emit currentChanged();
}

void DirectTable::showCurrent() {
    if (state_.StepsPer360 <= 1 || !counterInDegrees_) {
        currentColor_ = 0;
        setCurrent(QString::number(state_.StepCounter) + QLatin1Char('>') +
                   QString::number(target_));
        return;
    }
    const core::Single degreesPerStep = core::DegreesPerStepOf(state_.StepsPer360);
    const auto degrees = [&](core::Long steps) {
        return core::PlainNumberText(core::Single(core::StepsToDegrees(steps, degreesPerStep))) +
               QStringLiteral("°");
    };
    currentColor_ = state_.PelorusDegreeColor;
    setCurrent(degrees(state_.StepCounter) + QLatin1Char('>') + degrees(target_));
}

void DirectTable::ToggleCounterInDegrees() {
    counterInDegrees_ = !counterInDegrees_;
    if (running_)
        showCurrent();
}

} // namespace program
