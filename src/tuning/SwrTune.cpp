#include "tuning/SwrTune.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/RigCaps.h"
#include "rig/RigLogging.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tuning {

namespace {

const QString IdleCaption = QStringLiteral("S&WR tune");
// The modes a rig sends a plain carrier in, in the order they are preferred.
const QStringList CarrierModes{QStringLiteral("CW"), QStringLiteral("AM"), QStringLiteral("FM")};
// How far the power read back may be from the power set, in W: the rig's own steps.
constexpr double PowerToleranceW = 0.5;
// The longest wait for the inhibit line's tail ([inhibit] tailMs is at most 5000).
constexpr double LineReleaseLimitMs = 5500;

QString Watts(double watts) {
    return core::NumberText(watts) + QStringLiteral(" W");
}

int CarrierMode(const QStringList& names) {
    for (const QString& mode : CarrierModes) {
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(mode, Qt::CaseInsensitive) == 0)
                return i + 1;
    }
    // A CW of its own width (CWW, CWn); not reverse CW, which some rigs send on the other side.
    for (int i = 0; i < names.size(); ++i)
        if (names[i].startsWith(QStringLiteral("CW"), Qt::CaseInsensitive) &&
            !names[i].startsWith(QStringLiteral("CWR"), Qt::CaseInsensitive))
            return i + 1;
    return 0;
}

} // namespace

SwrTune::SwrTune(const core::ProgramState& state, platform::Platform& platform,
                 engine::Engine& engine, const RigState& shown, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), shown_(shown),
      keyLimit_(platform_.createTimer([this] {
          keyLimit_->stop();
          abort(QStringLiteral("The rig was keyed for %1 s, the longest allowed.")
                    .arg(settings_.seconds));
      })),
      caption_(IdleCaption) {}

QString SwrTune::Unavailable(const rig::RigConnection& rig, const rig::SwrMeter* meter) {
    if (!rig.capabilities().canSetRig)
        return QStringLiteral("This link only listens: it cannot key the rig.");
    if (!meter)
        return QStringLiteral("This link does not read the rig's SWR meter.");
    if (CarrierMode(rig.capabilities().modeNames) == 0)
        return QStringLiteral("This rig has no CW, AM or FM mode for a carrier.");
    return {};
}

QString SwrTune::PowerRefusal(const rig::SwrMeter& meter, const SwrTuneSettings& settings) {
    const QString unsettable = meter.powerUnsettable();
    if (unsettable.isEmpty())
        return {};
    // A rig whose power cannot be set is keyed only when all it can give is within the limit.
    if (const std::optional<double> most = meter.mostPowerW(); most && *most <= settings.maxPowerW)
        return {};
    return unsettable + QStringLiteral("\r\nThe SWR tune never keys the rig at a power it does "
                                       "not know.");
}

QString SwrTune::ToolTip() const {
    return QStringLiteral("Keys the rig: a %1 carrier in CW (or AM, FM), the stepper turned %2 "
                          "steps either side of the table's position reading the SWR, at most %3 "
                          "s; then to the lowest SWR, and the rig's mode and power set back. Esc "
                          "or a second click stops it at once.")
        .arg(Watts(settings_.powerW))
        .arg(settings_.steps)
        .arg(settings_.seconds);
}

void SwrTune::tell(const QString& text) {
    platform_.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation,
                         platform::Buttons::Ok);
}

// --- ending ---

void SwrTune::unkey() {
    if (!keyed_)
        return;
    // The carrier goes first, before anything that can fail or take time.
    unkeySent_ = rig_->setPtt(false) == rig::CatResult::Sent;
    keyLimit_->stop();
    keyedMs_ += platform_.steadyMs() - keyedSinceMs_;
    keyed_ = false;
    emit changed();
}

void SwrTune::abort(const QString& reason) {
    if (!running_)
        return;
    unkey();
    if (!reason_.isEmpty())
        return;
    reason_ = reason;
    qCInfo(lcRig).noquote() << "SWR tune ends:" << reason;
    // A turn of the tune's under way ends where it is (the engine's stop comes back here).
    if (turning_)
        engine_.StopTurningAndFollowing();
}

void SwrTune::Stop() {
    abort(QStringLiteral("The SWR tune was stopped."));
}

void SwrTune::PortClosing() {
    abort(QStringLiteral("The rig link closed."));
    // The tune itself ends only after the link has gone (its turn or wait lies below us).
    if (running_ && rig_->isOpen())
        restore();
}

void SwrTune::TransmitDropped() {
    abort(QStringLiteral("The rig stopped transmitting."));
}

void SwrTune::restore() {
    if (std::exchange(setBack_, true))
        return;
    if (!rig_->isOpen()) {
        // Closed under the tune: the rig keeps the carrier's mode and power.
        if (modeChanged_ || powerChanged_ || powerAsked_)
            tell(QStringLiteral("The rig's mode and power were not set back") +
                 ((powerChanged_ || powerAsked_) && savedPowerW_
                      ? QStringLiteral(" (it had ") + Watts(*savedPowerW_) + QLatin1Char(')')
                      : QString()) +
                 QStringLiteral(": the link closed. Check them before transmitting."));
        return;
    }
    if (modeChanged_) {
        // Some rigs take no mode just after their PTT dropped.
        if (const double ms = rig::Caps(rig::ToModel(state_.RigModel)).modeAfterPttMs; ms > 0)
            platform_.waitMs(ms, false);
        if (rig_->setMode(savedMode_) != rig::CatResult::Sent)
            qCWarning(lcRig) << "SWR tune: the mode could not be set back";
    }
    // A power asked for and not yet answered may still be taken: it is set back too.
    if ((powerChanged_ || powerAsked_) && savedPowerW_) {
        const double saved = *savedPowerW_;
        if (!awaitDone([this, saved](rig::SwrMeter::Done done) { meter_->setPower(saved, done); }))
            tell(QStringLiteral("The rig's power could not be set back to ") + Watts(saved) +
                 QStringLiteral(": check it before transmitting."));
    }
}

// --- talking to the rig ---

std::optional<rig::RigReading> SwrTune::read() {
    auto slot = std::make_shared<std::optional<rig::RigReading>>();
    const double deadline = platform_.steadyMs() + ReplyLimitMs;
    const QMetaObject::Connection heard = connect(rig_, &rig::RigConnection::readingArrived, this,
                                                  [slot](const rig::RigReading& reading) {
                                                      if (!reading.transmitOnly)
                                                          *slot = reading;
                                                  });
    // A poll still under way keeps the link busy for a moment.
    bool asked = false;
    while (!asked && rig_->isOpen() && platform_.steadyMs() < deadline) {
        slot->reset();
        asked = rig_->requestReading();
        if (!asked)
            platform_.waitMs(10, true);
    }
    while (asked && !*slot && rig_->isOpen() && platform_.steadyMs() < deadline)
        platform_.waitMs(10, true);
    disconnect(heard);
    return *slot;
}

std::optional<double> SwrTune::await(const std::function<void(rig::SwrMeter::Value)>& ask) {
    // Shared with the answer: a late one, after the wait was given up, lands here harmlessly.
    struct Answer {
        bool came = false;
        std::optional<double> value;
    };
    auto answer = std::make_shared<Answer>();
    ask([answer](std::optional<double> value) {
        answer->came = true;
        answer->value = value;
    });
    const double deadline = platform_.steadyMs() + ReplyLimitMs;
    while (!answer->came && rig_->isOpen() && platform_.steadyMs() < deadline)
        platform_.waitMs(10, true);
    return answer->value;
}

bool SwrTune::awaitDone(const std::function<void(rig::SwrMeter::Done)>& ask) {
    const std::optional<double> done = await([&ask](rig::SwrMeter::Value value) {
        ask([value](bool ok) { value(ok ? std::optional<double>(1) : std::nullopt); });
    });
    return done.has_value();
}

QString SwrTune::unexpected(const std::optional<rig::RigReading>& reading) const {
    if (!reading || !reading->kHz)
        return QStringLiteral("The rig did not answer.");
    if (keyedKHz_ && *reading->kHz != *keyedKHz_)
        return QStringLiteral("The rig's frequency changed.");
    if ((keyedModeCode_ && reading->modeCode != keyedModeCode_) ||
        shown_.modeIndex() != keyedModeIndex_)
        return QStringLiteral("The rig's mode changed.");
    if (!shown_.pttOn() || (rig_->capabilities().reportsTransmit && reading->transmitting == false))
        return QStringLiteral("The rig stopped transmitting.");
    return {};
}

// --- the tune ---

bool SwrTune::visit(core::Long position) {
    turning_ = true;
    const engine::TurnOutcome outcome = engine_.TurnTo({position, engine::TurnOrigin::SwrTune});
    turning_ = false;
    if (!goesOn())
        return false;
    if (outcome != engine::TurnOutcome::Done || state_.StepCounter != position) {
        abort(QStringLiteral("The stepper did not reach %1.").arg(position));
        return false;
    }
    platform_.waitMs(SettleMs, true);
    if (!goesOn())
        return false;
    const std::optional<rig::RigReading> reading = read();
    if (!goesOn())
        return false;
    if (const QString news = unexpected(reading); !news.isEmpty()) {
        abort(news);
        return false;
    }
    const std::optional<double> swr =
        await([this](rig::SwrMeter::Value done) { meter_->readSwr(done); });
    if (!goesOn())
        return false;
    if (!swr || !std::isfinite(*swr) || *swr < 1) {
        abort(QStringLiteral("The SWR could not be read at %1.").arg(position));
        return false;
    }
    samples_.push_back({position, *swr});
    caption_ = QStringLiteral("SWR %1 at %2").arg(core::NumberText(*swr)).arg(position);
    emit changed();
    return true;
}

core::Long SwrTune::Lowest(const std::vector<Sample>& samples) {
    const double lowest =
        std::min_element(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) {
            return a.swr < b.swr;
        })->swr;
    // A two-level meter reads low over a stretch: its middle is the best guess.
    std::size_t bestFrom = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < samples.size();) {
        std::size_t end = i;
        while (end < samples.size() && samples[end].swr == lowest)
            ++end;
        if (end - i > bestLength) {
            bestFrom = i;
            bestLength = end - i;
        }
        i = std::max(end, i + 1);
    }
    return samples[bestFrom + (bestLength - 1) / 2].position;
}

void SwrTune::Run(rig::RigConnection& rig, rig::SwrMeter* meter, core::Long center) {
    if (running_)
        return;
    if (const QString why = Unavailable(rig, meter); !why.isEmpty()) {
        tell(why);
        return;
    }
    if (!rig.isOpen())
        return;
    if (const QString why = PowerRefusal(*meter, settings_); !why.isEmpty()) {
        tell(why);
        return;
    }
    const bool ownPower = !meter->powerUnsettable().isEmpty();
    const std::optional<double> most = meter->mostPowerW();
    if (settings_.powerW > settings_.maxPowerW) {
        tell(QStringLiteral("The SWR tune's carrier of ") + Watts(settings_.powerW) +
             QStringLiteral(" is above the limit of ") + Watts(settings_.maxPowerW) +
             QStringLiteral(" ([swrtune] power and maxpower in Ventrolo.ini)."));
        return;
    }
    if (shown_.pttOn()) {
        tell(QStringLiteral("The rig is keyed: the SWR tune starts only while it receives."));
        return;
    }

    rig_ = &rig;
    meter_ = meter;
    running_ = true;
    reason_.clear();
    keyedMs_ = 0;
    modeChanged_ = powerChanged_ = powerAsked_ = setBack_ = false;
    unkeySent_ = true;
    samples_.clear();
    result_.reset();
    keyedKHz_.reset();
    keyedModeCode_.reset();
    caption_ = QStringLiteral("SWR tune: stop");
    emit changed();

    const std::optional<rig::RigReading> before = read();
    const std::optional<double> power =
        before && !ownPower ? await([this](rig::SwrMeter::Value done) { meter_->readPower(done); })
                            : std::nullopt;
    if (!before || !before->kHz)
        reason_ = QStringLiteral("The rig did not answer.");
    else if (before->transmitting.value_or(false))
        reason_ = QStringLiteral("The rig is transmitting: the SWR tune starts only while it "
                                 "receives.");
    else if (!power && !ownPower)
        reason_ = QStringLiteral("The rig did not tell its transmit power.");
    // The mode the rig reports, where its reading names one, is the one to set back.
    if (before && before->modeCode)
        (void)rig.selectModeByCode(*before->modeCode);
    savedMode_ = shown_.modeIndex();
    savedPowerW_ = power;

    const int carrier = CarrierMode(rig.capabilities().modeNames);
    if (goesOn() && carrier != savedMode_ && savedMode_ == 0)
        reason_ = QStringLiteral("The rig's mode is not known: it could not be set back.");
    if (goesOn() && carrier != savedMode_) {
        if (rig.setMode(carrier) != rig::CatResult::Sent)
            reason_ = QStringLiteral("The rig did not take the carrier's mode.");
        modeChanged_ = true;
    }
    if (goesOn() && !ownPower) {
        const double watts = settings_.powerW;
        powerAsked_ = true;
        powerChanged_ =
            awaitDone([this, watts](rig::SwrMeter::Done done) { meter_->setPower(watts, done); });
        powerAsked_ = false;
        if (!powerChanged_)
            reason_ = QStringLiteral("The rig did not take the power of ") + Watts(watts) +
                      QLatin1Char('.');
    }
    // Keyed only at a power read back from the rig.
    if (goesOn() && !ownPower) {
        const std::optional<double> set =
            await([this](rig::SwrMeter::Value done) { meter_->readPower(done); });
        if (!set || std::abs(*set - settings_.powerW) > PowerToleranceW)
            reason_ = QStringLiteral("The rig's power reads ") +
                      (set ? Watts(*set) : QStringLiteral("nothing")) +
                      QStringLiteral(" instead of ") + Watts(settings_.powerW) +
                      QStringLiteral(": not keyed.");
    }
    // The tail of a turn just made may still hold the inhibit line, under which the rig sends
    // no carrier: the tune keys once it has passed.
    const double lineDeadline = platform_.steadyMs() + LineReleaseLimitMs;
    while (goesOn() && engine_.transmitInhibited() && rig.isOpen() &&
           platform_.steadyMs() < lineDeadline)
        platform_.waitMs(10, true);
    if (goesOn() && engine_.transmitInhibited())
        reason_ = QStringLiteral("The transmit-inhibit line holds the rig back: not keyed.");
    bool keyedOnce = false;
    if (goesOn()) {
        keyedSinceMs_ = platform_.steadyMs();
        keyed_ = keyedOnce = true;
        keyLimit_->start(settings_.seconds * 1000);
        emit changed();
        if (ownPower)
            qCInfo(lcRig) << "SWR tune keys the rig at its own power, at most" << *most
                          << "W, around" << center;
        else
            qCInfo(lcRig) << "SWR tune keys the rig at" << settings_.powerW << "W around" << center;
        if (rig.setPtt(true) != rig::CatResult::Sent)
            abort(QStringLiteral("The rig could not be keyed."));
    }
    if (goesOn()) {
        // What the rig says now, keyed in the carrier's mode, every reading must say again.
        const std::optional<rig::RigReading> keyed = read();
        if (goesOn() && keyed && keyed->kHz && *keyed->kHz != *before->kHz)
            abort(QStringLiteral("The rig's frequency changed."));
        if (goesOn() && keyed) {
            keyedKHz_ = keyed->kHz;
            keyedModeCode_ = keyed->modeCode;
            keyedModeIndex_ = shown_.modeIndex();
        }
        if (goesOn())
            if (const QString news = unexpected(keyed); !news.isEmpty())
                abort(news);
    }
    const core::Long from = std::max<core::Long>(state_.MinPosition, center - settings_.steps);
    const core::Long to = std::min<core::Long>(state_.MaxPosition, center + settings_.steps);
    // From the nearer end: the shorter first turn.
    const bool down = std::abs(std::int64_t{state_.StepCounter} - to) <
                      std::abs(std::int64_t{state_.StepCounter} - from);
    for (core::Long i = 0; goesOn() && i <= to - from; ++i)
        (void)visit(down ? to - i : from + i);
    // Sorted by position, so that a stretch of equal readings is one run.
    std::sort(samples_.begin(), samples_.end(),
              [](const Sample& a, const Sample& b) { return a.position < b.position; });
    bool complete = goesOn() && !samples_.empty();
    unkey();
    // A rig that may still send the carrier is no place to turn to.
    complete = complete && unkeySent_;
    restore();
    if (complete) {
        const core::Long best = Lowest(samples_);
        const auto at = std::find_if(samples_.begin(), samples_.end(),
                                     [best](const Sample& s) { return s.position == best; });
        result_ = std::make_pair(best, at->swr);
        // Unkeyed: an ordinary turn now, the stepper at its lowest SWR.
        engine_.TurnTo({best, engine::TurnOrigin::SwrTune});
        qCInfo(lcRig) << "SWR tune: lowest SWR" << at->swr << "at" << best;
    }
    const QString reason = reason_;
    running_ = false;
    rig_ = nullptr;
    meter_ = nullptr;
    caption_ = complete ? QStringLiteral("SWR %1 at %2 (tune again)")
                              .arg(core::NumberText(result_->second))
                              .arg(result_->first)
                        : IdleCaption;
    emit changed();
    if (keyedOnce && !unkeySent_) {
        // The release never left (the line was lost): the rig may still send the carrier. The
        // record of our PTT has the line's next opening release it.
        tell((reason.isEmpty() ? QString() : reason + QStringLiteral("\r\n")) +
             QStringLiteral("The rig could not be told to unkey: release its PTT at the rig. The "
                            "stepper stays where it is."));
    } else if (!reason.isEmpty()) {
        tell(keyedOnce ? reason + QStringLiteral("\r\nThe rig is unkeyed; the stepper stays "
                                                 "where it is.")
                       : reason);
    }
}

} // namespace tuning
