#include "tuning/RigPoller.h"

#include "core/TextRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tuning {

namespace {

constexpr std::array<int, 4> PollIntervals{200, 500, 1000, 1500};
constexpr int DefaultPollMs = 1000;

bool KnownInterval(int ms) {
    return std::find(PollIntervals.begin(), PollIntervals.end(), ms) != PollIntervals.end();
}

} // namespace

RigPoller::RigPoller(core::ProgramState& state, platform::Platform& platform, QObject* parent)
    : QObject(parent), state_(state), platform_(platform),
      timer_(platform_.createTimer([this] { emit due(); })) {}

// --- the rate ---

void RigPoller::Load() {
    if (!KnownInterval(state_.ComPollMs))
        state_.ComPollMs = DefaultPollMs;
    downward_ = true;
}

bool RigPoller::NextRate() {
    int ms = state_.ComPollMs;
    if (!KnownInterval(ms))
        return false;
    // Down to 200 ms and back up to 1500 ms; the direction turns at either end.
    if (downward_ && ms == PollIntervals.front())
        downward_ = false;
    else if (!downward_ && ms == PollIntervals.back())
        downward_ = true;
    const auto at = std::find(PollIntervals.begin(), PollIntervals.end(), ms);
    ms = downward_ ? *(at - 1) : *(at + 1);
    if (ms == PollIntervals.front())
        downward_ = false;
    else if (ms == PollIntervals.back())
        downward_ = true;
    state_.ComPollMs = ms;
    return true;
}

QString RigPoller::RateCaption() const {
    return QStringLiteral("Polling(") + core::PlainNumberText(state_.ComPollMs / 1000.0) +
           QStringLiteral(" Sec)");
}

QString RigPoller::RateToolTip() const {
    return QStringLiteral("Sample rate Comport") + core::NumberText(state_.ComPollMs) +
           QStringLiteral(" mS.");
}

// --- the timer ---

bool RigPoller::timerRunning() const {
    return timer_->isActive();
}

void RigPoller::Schedule(bool allowed, bool watchTransmit) {
    // A rig that does not report transmit is not read during turns: its long read would hold
    // the turn.
    const bool wanted = allowed && pauses_ == 0 && (!turning_ || watchTransmit) && !awaiting_;
    if (!wanted) {
        timer_->stop();
        return;
    }
    // The short transmit reads of a turn follow one another; the polls keep their own pace.
    watchingSlowTurn_ = slowTurn_ && !turning_ && watchTransmit;
    double dueAt =
        turning_ || watchingSlowTurn_
            ? lastReplyAtMs_ + TransmitRestMs
            : std::max(lastPollAtMs_ + state_.ComPollMs, lastReplyAtMs_ + state_.ComPollMs / 2.0);
    if (checkOwed_ && !turning_)
        dueAt = lastReplyAtMs_;
    if (timer_->isActive() && dueAtMs_ == dueAt)
        return;
    dueAtMs_ = dueAt;
    timer_->start(int(std::max(0.0, std::ceil(dueAt - platform_.steadyMs()))));
}

void RigPoller::Opened() {
    awaiting_ = false;
    checkOwed_ = checking_ = false;
    lastPollAtMs_ = platform_.steadyMs();
}

// --- the exchange ---

void RigPoller::CheckSoon() {
    if (!checking_)
        checkOwed_ = true;
}

bool RigPoller::Request(rig::RigConnection& rig) {
    checking_ = std::exchange(checkOwed_, false) && !turning_;
    const double now = platform_.steadyMs();
    const bool pollDue =
        !turning_ && !checking_ && (!watchingSlowTurn_ || now >= lastPollAtMs_ + state_.ComPollMs);
    // A check, and the transmit reads of a turn, keep the polls' pace.
    if (pollDue)
        lastPollAtMs_ = now;
    awaiting_ = true;
    timer_->stop();
    // During a turn, and between polls while a slow turn waits for its next step, only the
    // transmit state is read: it is what may stop the turn.
    const bool requested = checking_ ? rig.requestFrequencyCheck()
                           : pollDue ? rig.requestReading()
                                     : rig.requestTransmitState();
    if (requested)
        return true;
    awaiting_ = false;
    lastReplyAtMs_ = platform_.steadyMs();
    return false;
}

void RigPoller::ReadingArrived(const rig::RigReading& reading) {
    // A reading nobody waits for (the port was closed meanwhile) is dropped.
    if (!awaiting_)
        return;
    awaiting_ = false;
    lastReplyAtMs_ = platform_.steadyMs();
    emit answered(reading);
}

} // namespace tuning
