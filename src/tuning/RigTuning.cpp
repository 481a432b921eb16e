// Automatic tuning: the port, the polls' answers, the lock's buttons and the lookups.
// Commands of the window (turns, frequency steps, PTT, modes, the peak search) are in
// RigTuningCommands.cpp.
#include "tuning/RigTuning.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/RigCaps.h"
#include "rig/RigLogging.h"
#include "table/Interpolation.h"
#include "tuning/BandChangeover.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tuning {

namespace {

using core::CrLf;
// How long the value label shows "???" before a position between rows is shown, in ms.
constexpr int BlinkMs = 100;

} // namespace

// --- PollPause ---

RigTuning::PollPause::PollPause(RigTuning& tuning) : tuning_(&tuning) {
    tuning_->poller_.Pause();
    tuning_->updatePollTimer();
}

RigTuning::PollPause::PollPause(PollPause&& other) noexcept
    : tuning_(std::exchange(other.tuning_, nullptr)) {}

RigTuning::PollPause::~PollPause() {
    if (!tuning_)
        return;
    tuning_->poller_.Unpause();
    tuning_->updatePollTimer();
}

// --- construction ---

RigTuning::RigTuning(const Parts& parts, QObject* parent)
    : QObject(parent), state_(parts.state), platform_(parts.platform), engine_(parts.engine),
      wheel_(parts.wheel), rig_(&parts.rig), catRig_(&parts.rig),
      guard_(parts.links.directory() + QStringLiteral("/Ventrolo.ini")), links_(parts.links),
      editor_(parts.editor), view_(parts.view),
      blinkTimer_(platform_.createTimer([this] { endBlink(); })), poller_(state_, platform_),
      ptt_(state_, platform_, shown_), search_(state_, platform_, engine_, shown_),
      simulatedSwr_(
          state_, parts.links.simulatedRig(),
          [this](double kHz) -> std::optional<core::Long> {
              const table::Lookup lookup = table::LookUpPosition(editor_.data(), core::Single(kHz));
              return lookup.ok() ? std::optional<core::Long>(lookup.position) : std::nullopt;
          }),
      swr_(state_, platform_, engine_, shown_),
      follower_({platform_, state_, engine_, wheel_, editor_, view_, search_, shown_, *this},
                *rig_) {
    connectRig();
    connect(&shown_, &RigState::changed, this, &RigTuning::changed);
    connect(&poller_, &RigPoller::due, this, &RigTuning::PollRig);
    connect(&poller_, &RigPoller::answered, this, &RigTuning::readingArrived);
    connect(&announcements_, &AnnouncementWatch::changed, this, &RigTuning::changed);
    connect(&fallback_, &RigFallback::readingArrived, this, &RigTuning::fallbackReading);
    connect(&fallback_, &RigFallback::changed, this, [this] {
        follower_.setFollowedLink(fallback_.active() ? fallback_.choice().text() : QString());
        emit changed();
    });
    connect(&ptt_, &PttControl::watchdogExpired, this, [this] { rigCommands_.PttToggle(true); });
    connect(&search_, &PeakSearch::changed, this, [this] {
        updatePollTimer();
        emit changed();
    });
    connect(&swr_, &SwrTune::changed, this, [this] {
        updatePollTimer();
        emit changed();
    });
    using engine::Engine;
    connect(&engine_, &Engine::turnStarted, this, &RigTuning::TurnStarted);
    connect(&engine_, &Engine::turnEnded, this, &RigTuning::TurnEnded);
    connect(&engine_, &Engine::stopped, this, &RigTuning::EngineStopped);
    // A slow turn runs on past turnEnded: it ends with its record or a stop.
    connect(&engine_, &Engine::turnFinished, this, &RigTuning::slowTurnTold);
    connect(&engine_, &Engine::stopped, this, &RigTuning::slowTurnTold);
    editor_.setRigLink(this);
}

RigTuning::~RigTuning() {
    editor_.setRigLink(nullptr);
    disconnect(rig_, nullptr, this, nullptr);
    // The rig is never left keyed, whatever ends the program.
    if (rig_->isOpen())
        rig_->close();
}

void RigTuning::connectRig() {
    // First: whoever hears the link's news below reads the state it tells.
    shown_.follow(rig_);
    connect(rig_, &rig::RigConnection::readingArrived, this,
            [this](const rig::RigReading& reading) { poller_.ReadingArrived(reading); });
    connect(rig_, &rig::RigConnection::readingAnnounced, this, &RigTuning::readingAnnounced);
    connect(rig_, &rig::RigConnection::heardUnasked, &announcements_,
            &AnnouncementWatch::Announced);
    connect(rig_, &rig::RigConnection::sMeterArrived, this,
            [this](std::optional<float> value) { search_.sMeterArrived(value); });
    connect(rig_, &rig::RigConnection::transmitInhibited, this, [this] {
        if (swr_.running())
            swr_.TransmitDropped();
        else
            rigCommands_.PttToggle(true);
    });
    connect(rig_, &rig::RigConnection::changed, this, &RigTuning::changed);
    connect(rig_, &rig::RigConnection::powerSwitched, this, [this] {
        dropBlink();
        view_.ResetInterpolLabels();
        emit changed();
    });
    connect(
        rig_, &rig::RigConnection::readingArrived, this, [this](const rig::RigReading& reading) {
            if (reading.transmitOnly ? reading.transmitting.has_value() : reading.kHz.has_value())
                emit rigHeard();
        });
    connect(rig_, &rig::RigConnection::readingAnnounced, this,
            [this](const rig::RigReading& reading) {
                if (reading.kHz)
                    emit rigHeard();
            });
}

bool RigTuning::setConnection(rig::RigConnection& rig) {
    if (!port_.menusEnabled())
        return false;
    disconnect(rig_, nullptr, this, nullptr);
    rig_ = &rig;
    follower_.setConnection(rig);
    connectRig();
    emit changed();
    return true;
}

void RigTuning::tell(const QString& text, platform::Icon icon) {
    const PollPause pause(*this);
    platform_.messageBox(text, core::MessageTitle(), icon, platform::Buttons::Ok);
}

// --- the table window ---

void RigTuning::LoadLink() {
    guard_.Load();
    poller_.Load();
    swr_.setSettings(links_.swrTuneSettings());
    // An open link keeps its own: it stayed open from before the table window.
    port_.useChosenLink();
}

void RigTuning::Load() {
    engine_.StopTurningAndFollowing();
    LoadLink();
    showModes();
    shown_.resetSwrState();
    // The table is applied before the window is on screen: a stored offset is not questioned
    // on opening.
    editor_.SetWindowVisible(false);
    editor_.FillCatFileList();
    editor_.LoadTable();
    editor_.SetWindowVisible(true);
    state_.CatScrollSetting = static_cast<core::Integer>(std::clamp<int>(
        state_.CatScrollSetting, TableCommands::JumpMinimum, TableCommands::JumpMaximum));
    follower_.Reset();
    following_ = true;
    watchFallback();
    // The link stayed open while another table window was: the stepper goes where the dial is,
    // as after opening the port without the start-up row.
    if (open())
        follower_.Resume();
    dropBlink();
    view_.ResetInterpolLabels();
    view_.ResetUnit();
    port_.hidePollLine();
    emit changed();
}

bool RigTuning::Unload(bool exiting, bool keepLink) {
    search_.Stop();
    swr_.Stop();
    if (exiting || keepLink) {
        // The link stays: for the transmit gate while a program window is open, and on the way
        // out until the end, so the park at exit hears whether the rig transmits. Our own PTT
        // is released at once (its button and watchdog go with the window).
        if (shown_.pttOn())
            rigCommands_.PttToggle(true);
    } else {
        port_.ComPortOpen(0);
    }
    if (editor_.TableChanged() && !editor_.SaveTable() && !exiting &&
        platform_.messageBox(QStringLiteral("The table is not saved.") + CrLf +
                                 QStringLiteral("Close the table window all the same ?"),
                             core::MessageTitle(), platform::Icon::Question,
                             platform::Buttons::YesNo) != platform::Answer::Yes)
        return false;
    following_ = false;
    watchFallback();
    follower_.Reset();
    dropBlink();
    updatePollTimer();
    // The table's limits belong to the table in the window.
    if (editor_.TableLimitsApplied())
        editor_.ApplyTableLimits(false);
    editor_.SetWindowVisible(false);
    return true;
}

// --- the port ---

void RigTuning::portOpened() {
    poller_.Opened();
    announcements_.Reset();
    announcedDuringPoll_.reset();
    follower_.ForgetReading();
    if (rig_->capabilities().dialLock)
        (void)rig_->setDialLock(false);
    watchFallback();
    updatePollTimer();
    emit portOpenChanged(true);
    emit changed();
}

void RigTuning::startAfresh() {
    engine_.StopTurningAndFollowing();
    follower_.Resume();
    view_.ForceKHz();
}

void RigTuning::portClosing() {
    // The tune's carrier goes first, then the tune sets the rig's mode and power back.
    swr_.PortClosing();
    search_.PortClosed();
    // The PTT is released before anything else; closing the link releases it once more.
    if (shown_.pttOn())
        rigCommands_.PttToggle(true);
}

void RigTuning::portClosed() {
    poller_.Closed();
    announcements_.Reset();
    watchFallback();
    startupRowOwed_ = false;
    dropBlink();
    updatePollTimer();
    rig_->close();
    shown_.linkClosed();
    follower_.Reset();
    shown_.resetSMeter();
    shown_.resetSwrState();
    view_.ResetInterpolLabels();
    // Closing is the one way to turn without a rig that went silent while it transmitted.
    if (guard_.enabled() && guard_.rigTransmitting()) {
        qCWarning(lcRig) << "the rig's port was closed while the rig counted as transmitting: "
                            "turns are no longer held for it";
        view_.SetInfoInterpolText(QStringLiteral("TX hold released: port closed"));
    }
    guard_.Reset();
    emit portOpenChanged(false);
    emit changed();
}

void RigTuning::showModes() {
    if (rig_->capabilities().modeNames.isEmpty())
        return;
    // The stored code is the Yaesu model's; a link with codes of its own goes by the name.
    const rig::RigCaps& yaesu = rig::Caps(rig::ToModel(state_.RigModel));
    const int stored = yaesu.modeIndexForStoredCode(static_cast<int>(state_.RigModeCode));
    const QString name = stored == 0 ? QString() : yaesu.modes[std::size_t(stored - 1)].name;
    if (rig_->selectStoredMode(static_cast<int>(state_.RigModeCode), name))
        return;
    const PollPause pause(*this);
    if (platform_.messageBox(QStringLiteral("Set mode to LSB ?"), core::MessageTitle(),
                             platform::Icon::Exclamation,
                             platform::Buttons::YesNo) == platform::Answer::Yes)
        (void)rig_->setMode(1);
}

// --- polling ---

void RigTuning::updatePollTimer() {
    // With the guard on, polls go on during turns where the rig reports transmit: it may begin
    // meanwhile.
    poller_.Schedule(open() && !search_.searching() && !swr_.running() && !port_.opening() &&
                         !blinkLookup_,
                     guard_.enabled() && rig_->capabilities().reportsTransmit);
}

void RigTuning::TurnStarted() {
    poller_.TurnStarted();
    poller_.SlowTurn(engine_.slowTurnRunning());
    unansweredTransmitReads_ = 0;
    updatePollTimer();
    haltWsjtxForTurn();
}

void RigTuning::haltWsjtxForTurn() {
    // Before the gate's look: a transmission under way holds the turn as the gate makes it,
    // until the status shows none; the program starts no new one meanwhile.
    auto* wsjtx = qobject_cast<rig::WsjtxRig*>(rig_);
    if (!open() || !wsjtx || !wsjtx->address().haltWhileTurning ||
        !(wsjtx->txEnabled() || wsjtx->transmitsNow()) || !wsjtx->HaltAutoTx())
        return;
    view_.SetStatusNote(QStringLiteral("WSJT-X Tx halted for a turn: enable Tx there again"));
}

void RigTuning::TurnEnded() {
    poller_.TurnEnded();
    slowTurnTold();
}

void RigTuning::slowTurnTold() {
    poller_.SlowTurn(engine_.slowTurnRunning());
    updatePollTimer();
}

void RigTuning::PollRig() {
    if (!open() || poller_.awaiting())
        return;
    port_.polled();
    if (!poller_.Request(*rig_))
        updatePollTimer();
    emit changed();
}

void RigTuning::readingArrived(const rig::RigReading& reading) {
    // While the fallback carries following, the link's silence tells nothing; its first
    // frequency ends the fallback.
    if (open() && !reading.transmitOnly && reading.kHz)
        fallback_.FirstHeard();
    if (open() && !fallback_.active()) {
        transmitReported(reading);
        if (!reading.transmitOnly && reading.kHz)
            announcements_.Polled(*reading.kHz);
        else if (!reading.transmitOnly && !reading.busy)
            announcements_.Unanswered();
        if (!reading.transmitOnly)
            frequencyRead(reading.kHz.value_or(0));
    }
    updatePollTimer();
    emit changed();
    if (auto announced = std::exchange(announcedDuringPoll_, std::nullopt); announced && open())
        readingAnnounced(*announced);
}

void RigTuning::fallbackReading(const rig::RigReading& reading) {
    if (!open() || !fallback_.active())
        return;
    transmitReported(reading);
    if (!reading.transmitOnly)
        frequencyRead(reading.kHz.value_or(0));
    emit changed();
}

void RigTuning::setFallback(const FallbackChoice& choice, rig::RigConnection* link) {
    fallback_.setLink(choice, link);
    watchFallback();
}

void RigTuning::watchFallback() {
    fallback_.Watch(open() && following_ && !fallback_.choice().sharesLineWith(links_.link()),
                    rig_->rigName(), int(state_.ComPort), int(state_.ComPollMs));
}

void RigTuning::frequencyRead(core::Single kHz) {
    shown_.showFrequency(kHz);
    // A reading during a turn, or without the table, only watches for transmit.
    if (poller_.turning() || !following_)
        return;
    const bool agreed = follower_.Read(kHz);
    // The start-up row goes out once the link answers (a rigctld link may still be connecting),
    // after the user's opening only: a link that comes back does not retune the rig.
    if (kHz != 0 && std::exchange(startupRowOwed_, false)) {
        editor_.SetRigFreqToFirstUnit();
        return;
    }
    if (kHz == 0 || agreed) {
        // Another band's table (perhaps another loop's stepper) is put in place first; a stepper
        // switch stops the engine, which is no halt of following.
        if (agreed && bands_ && follower_.followsReadings() && bands_->ChangeOver(kHz))
            follower_.Resume();
        follower_.Follow(kHz);
    } else {
        poller_.CheckSoon();
    }
}

engine::TurnOutcome RigTuning::TuneNow(engine::TurnOrigin origin, QString* why) {
    QString refusal = QStringLiteral("the rig is not followed");
    engine::TurnOutcome outcome = engine::TurnOutcome::Refused;
    if (open() && following_) {
        refusal.clear();
        follower_.Resume();
        outcome = follower_.TuneNow(origin, &refusal);
    }
    // The button's refusal is heard; a web client is told why.
    if (!refusal.isEmpty() && origin == engine::TurnOrigin::Window)
        platform_.beep();
    if (why)
        *why = refusal;
    emit changed();
    return outcome;
}

// --- lock ---

void RigTuning::SetLocked(bool locked) {
    follower_.SetLocked(locked);
    emit changed();
}

void RigTuning::EngineStopped() {
    swr_.Stop();
    follower_.Unlock();
    search_.Stop();
    emit changed();
}

// --- lookups ---

table::Lookup RigTuning::freqToPosition(core::Single x) {
    const table::Lookup lookup = table::LookUpPosition(editor_.data(), x);
    // With the port open a position between rows blinks; a turn to it starts meanwhile.
    showLookup(lookup, lookup.ok() && !lookup.exact && open());
    switch (lookup.kind) {
    case table::Lookup::Kind::OutOfRange:
        if (open())
            follower_.setLocked(false);
        break;
    case table::Lookup::Kind::Position:
        if (open() && !lookup.exact)
            follower_.setLocked(true);
        break;
    case table::Lookup::Kind::Fault:
        qCWarning(lcRig) << "interpolation fault" << lookup.fault;
        port_.close();
        tell(table::InterpolFaultMessage(editor_.data().InterpolType, lookup.fault),
             platform::Icon::Information);
        break;
    case table::Lookup::Kind::NoReading:
        break;
    }
    return lookup;
}

void RigTuning::showLookup(const table::Lookup& lookup, bool blink) {
    if (blink) {
        view_.ShowPending();
        blinkLookup_ = lookup;
        blinkTimer_->start(BlinkMs);
    } else {
        dropBlink();
        view_.ShowLookup(lookup);
    }
    updatePollTimer();
}

void RigTuning::endBlink() {
    blinkTimer_->stop();
    if (const std::optional<table::Lookup> lookup = std::exchange(blinkLookup_, std::nullopt))
        view_.ShowLookup(*lookup);
    updatePollTimer();
}

void RigTuning::dropBlink() {
    blinkTimer_->stop();
    blinkLookup_.reset();
}

} // namespace tuning
