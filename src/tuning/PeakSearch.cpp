#include "tuning/PeakSearch.h"

#include "core/TextRules.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tuning {

namespace {

// Positions below and above the present one that the search visits.
constexpr core::Long SearchBelow = 15;
constexpr core::Long SearchAbove = 14;
// Time for the rig's S-meter to settle at each position, in ms.
constexpr double SampleSettleMs = 200;
// Longest wait for an S-meter reading, in ms.
constexpr double SMeterReplyLimitMs = 2000;

const QString IdleCaption = QStringLiteral("S-Meter cali&breren");

} // namespace

PeakSearch::PeakSearch(const core::ProgramState& state, platform::Platform& platform,
                       engine::Engine& engine, RigState& shown, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), shown_(shown),
      caption_(IdleCaption) {}

bool PeakSearch::goesOn() const {
    return searching_ && !stopped_ && !shown_.pttOn();
}

void PeakSearch::Stop() {
    if (searching_)
        stopped_ = true;
}

void PeakSearch::PortClosed() {
    Stop();
    replyAwaited_ = false;
}

std::optional<float> PeakSearch::readSMeter() {
    reply_.reset();
    replyAwaited_ = true;
    if (!rig_->requestSMeter()) {
        replyAwaited_ = false;
        return std::nullopt;
    }
    const double deadline = platform_.steadyMs() + SMeterReplyLimitMs;
    while (replyAwaited_ && platform_.steadyMs() < deadline)
        platform_.waitMs(10, true);
    replyAwaited_ = false;
    return reply_;
}

void PeakSearch::sMeterArrived(std::optional<float> value) {
    if (!replyAwaited_)
        return;
    replyAwaited_ = false;
    reply_ = value;
}

void PeakSearch::Run(rig::RigConnection& rig) {
    if (searching_)
        return;
    rig_ = &rig;
    searching_ = true;
    stopped_ = false;
    caption_ = QStringLiteral("Works now");
    emit changed();

    const core::Long start = state_.StepCounter;
    const core::Long from = std::max<core::Long>(state_.MinPosition, start - SearchBelow);
    const core::Long to = std::min<core::Long>(state_.MaxPosition, start + SearchAbove);
    std::vector<std::pair<core::Long, float>> samples;
    int sample = 0;
    for (core::Long position = from; position <= to && goesOn(); ++position, ++sample) {
        // The rig transmitting ends the search where the stepper stands.
        if (engine_.TurnTo({position, engine::TurnOrigin::Search}) != engine::TurnOutcome::Done)
            stopped_ = true;
        if (!goesOn())
            break;
        platform_.waitMs(SampleSettleMs, true);
        if (!goesOn())
            break;
        const std::optional<float> value = readSMeter();
        if (value)
            samples.emplace_back(position, *value);
        caption_ = core::PlainNumberText(sample) + QStringLiteral(" x S-meter = ") +
                   core::NumberText(value.value_or(0));
        emit changed();
    }
    // Stopped (Esc, the port closed, our PTT on): the stepper stays where it is. Otherwise it goes
    // to the loudest position, the later one of equals; flat readings (no S-meter, a quiet band,
    // failed reads) tell nothing, and it goes back to where it began.
    if (goesOn()) {
        // minmax_element gives the last of equal largest elements.
        const auto [quietest, loudest] =
            std::minmax_element(samples.begin(), samples.end(),
                                [](const auto& a, const auto& b) { return a.second < b.second; });
        const bool flat = samples.empty() || quietest->second == loudest->second;
        engine_.TurnTo({flat ? start : loudest->first, engine::TurnOrigin::Search});
    }
    searching_ = false;
    stopped_ = false;
    caption_ = IdleCaption;
    shown_.resetSMeter();
    rig_ = nullptr;
    emit changed();
}

} // namespace tuning
