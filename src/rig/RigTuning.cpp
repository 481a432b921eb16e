// Automatic tuning: the port, the polls and following the rig, the lock and the lookups.
// Commands of the window (turns, frequency steps, PTT, modes, the peak search) are in
// RigTuningCommands.cpp.
#include "rig/RigTuning.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/RigCaps.h"
#include "rig/RigLogging.h"
#include "table/Interpolation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace rig {

namespace {

const QString CrLf = QStringLiteral("\r\n");
// How long the value label shows "???" before a position between rows is shown, in ms.
constexpr int BlinkMs = 100;
constexpr std::array<int, 4> PollIntervals{200, 500, 1000, 1500};
constexpr int DefaultPollMs = 1000;
const std::array<QString, 4> Spinner{QStringLiteral("(/)"), QStringLiteral("(-)"),
                                     QStringLiteral("(\\)"), QStringLiteral("(-)")};

bool KnownInterval(int ms) {
    return std::find(PollIntervals.begin(), PollIntervals.end(), ms) != PollIntervals.end();
}

} // namespace

// --- PollPause ---

RigTuning::PollPause::PollPause(RigTuning& tuning) : tuning_(&tuning) {
    ++tuning_->pauses_;
    tuning_->updatePollTimer();
}

RigTuning::PollPause::PollPause(PollPause&& other) noexcept
    : tuning_(std::exchange(other.tuning_, nullptr)) {}

RigTuning::PollPause::~PollPause() {
    if (!tuning_)
        return;
    --tuning_->pauses_;
    tuning_->updatePollTimer();
}

// --- construction ---

RigTuning::RigTuning(const Parts& parts, QObject* parent)
    : QObject(parent), state_(parts.state), platform_(parts.platform), engine_(parts.engine),
      wheel_(parts.wheel), rig_(&parts.rig), catRig_(&parts.rig),
      guard_(parts.links.directory() + QStringLiteral("/Ventrolo.ini")), links_(parts.links),
      editor_(parts.editor), view_(parts.view),
      pollTimer_(platform_.createTimer([this] { PollRig(); })),
      watchdog_(platform_.createTimer([this] { PttToggle(true); })),
      blinkTimer_(platform_.createTimer([this] { endBlink(); })),
      searchCaption_(QStringLiteral("&S-Meter calibreren")) {
    connectRig();
    using engine::Engine;
    connect(&engine_, &Engine::turnStarted, this, &RigTuning::TurnStarted);
    connect(&engine_, &Engine::turnEnded, this, &RigTuning::TurnEnded);
    connect(&engine_, &Engine::stopped, this, &RigTuning::EngineStopped);
    editor_.setRigLink(this);
    portCaption_ = QStringLiteral("&Comport(%1)").arg(state_.ComPort);
    frameCaption_ = rigControlCaption();
}

RigTuning::~RigTuning() {
    editor_.setRigLink(nullptr);
    disconnect(rig_, nullptr, this, nullptr);
    // The rig is never left keyed, whatever ends the program.
    if (rig_->isOpen())
        rig_->close();
}

void RigTuning::connectRig() {
    connect(rig_, &RigConnection::readingArrived, this, &RigTuning::readingArrived);
    connect(rig_, &RigConnection::readingAnnounced, this, &RigTuning::readingAnnounced);
    connect(rig_, &RigConnection::sMeterArrived, this, &RigTuning::sMeterArrived);
    connect(rig_, &RigConnection::transmitInhibited, this, [this] { PttToggle(true); });
    connect(rig_, &RigConnection::linkFailed, this, &RigTuning::linkFailed);
    connect(rig_, &RigConnection::changed, this, &RigTuning::changed);
    connect(rig_, &RigConnection::powerSwitched, this, [this] {
        dropBlink();
        view_.ResetInterpolLabels();
        emit changed();
    });
}

bool RigTuning::setConnection(RigConnection& rig) {
    if (open_ || opening_)
        return false;
    disconnect(rig_, nullptr, this, nullptr);
    rig_ = &rig;
    connectRig();
    emit changed();
    return true;
}

void RigTuning::tell(const QString& text, platform::Icon icon) {
    const PollPause pause(*this);
    platform_.messageBox(text, core::MessageTitle(), icon, platform::Buttons::Ok);
}

// --- the table window ---

void RigTuning::Load() {
    engine_.StopTurning();
    guard_.Load();
    showModes();
    rig_->resetSwrState();
    // The table is applied before the window is on screen: a stored offset is not questioned
    // on opening.
    editor_.SetWindowVisible(false);
    editor_.FillCatFileList();
    editor_.LoadTable();
    editor_.SetWindowVisible(true);
    if (links_.simulated())
        SelectSimulatedRig();
    else if (networkConnection())
        useNetworkLink();
    else if (links_.civ() && civ_)
        useCiv();
    else if (links_.kenwood() && kenwood_)
        useKenwood();
    else
        SelectComPort(state_.ComPort);
    SelectBaud(state_.BaudRate);
    state_.CatScrollSetting = static_cast<core::Integer>(
        std::clamp<int>(state_.CatScrollSetting, JumpMinimum, JumpMaximum));
    if (!KnownInterval(state_.ComPollMs))
        state_.ComPollMs = DefaultPollMs;
    pollDownward_ = true;
    locked_ = false;
    userUnlocked_ = false;
    lockEnabled_ = true;
    calibrateEnabled_ = false;
    inputEnabled_ = true;
    dropBlink();
    view_.ResetInterpolLabels();
    view_.ResetUnit();
    frameCaption_ = rigControlCaption();
    emit changed();
}

bool RigTuning::Unload(bool exiting) {
    StopPeakSearch();
    ComPortOpen(0);
    if (editor_.TableChanged() && !editor_.SaveTable() && !exiting &&
        platform_.messageBox(QStringLiteral("The table is not saved.") + CrLf +
                                 QStringLiteral("Close the table window all the same ?"),
                             core::MessageTitle(), platform::Icon::Question,
                             platform::Buttons::YesNo) != platform::Answer::Yes)
        return false;
    // The table's limits belong to the table in the window.
    if (editor_.TableLimitsApplied())
        editor_.ApplyTableLimits(false);
    editor_.SetWindowVisible(false);
    return true;
}

// --- the port ---

QString RigTuning::rigControlCaption() const {
    return QStringLiteral("Rig Control-") + rig_->rigName();
}

QString RigTuning::PortToolTip() const {
    return QStringLiteral("Toggle cat comport for a ") + rig_->rigName() + QLatin1Char('.');
}

void RigTuning::ComportClicked() {
    if (open_) {
        ComPortOpen(0);
        return;
    }
    OpenLink(true);
}

bool RigTuning::OpenLink(bool sendStartupRow) {
    if (open_)
        return true;
    guard_.Reset();
    if (!links_.simulated() && !links_.network() && (state_.ComPort < 1 || state_.ComPort > 4)) {
        tell(QStringLiteral("Choose COM1 to COM4 or the simulated rig in the Com menu first."));
        return false;
    }
    engine_.StopTurning();
    state_.RigFollowHalted = false;
    view_.ForceKHz();
    if (!ComPortOpen(links_.simulated() || links_.network()
                         ? std::max<core::Long>(state_.ComPort, 1)
                         : state_.ComPort))
        return false;
    startupRowOwed_ = sendStartupRow;
    emit changed();
    return true;
}

bool RigTuning::ComPortOpen(int port) {
    if (port == 0) {
        closePort();
        return false;
    }
    if (open_)
        closePort();
    opening_ = true;
    emit changed();
    catPortText_ = links_.network() ? rig_->lineText() + QLatin1Char(' ')
                                    : (links_.simulated() ? QStringLiteral("SIM")
                                                          : QStringLiteral("COM%1").arg(port)) +
                                          QLatin1Char(':') + rig_->lineText();
    const LinkOpenResult opened = rig_->open(port);
    opening_ = false;
    if (!opened.ok || !rig_->isOpen()) {
        qCInfo(lcRig) << "port not opened" << opened.error;
        emit changed();
        return false;
    }
    open_ = true;
    catComPort_ = port;
    awaiting_ = false;
    confirmOwed_ = false;
    lastReadKHz_ = 0;
    lastPollAtMs_ = platform_.steadyMs(); // the first poll one interval after opening
    frameCaption_ = rigControlCaption();
    portCaption_ = QStringLiteral("&Comport on");
    if (rig_->hasDialLock())
        (void)rig_->setDialLock(false);
    updatePollTimer();
    emit portOpenChanged(true);
    emit changed();
    return true;
}

void RigTuning::closePort() {
    StopPeakSearch();
    // The PTT is released before anything else; closing the link releases it once more.
    if (rig_->pttOn())
        PttToggle(true);
    open_ = false;
    catComPort_ = 0;
    awaiting_ = false;
    startupRowOwed_ = false;
    dropBlink();
    updatePollTimer();
    rig_->close();
    locked_ = false;
    userUnlocked_ = false;
    lockEnabled_ = true;
    calibrateEnabled_ = false;
    inputEnabled_ = true;
    portCaption_ = QStringLiteral("&Comport off");
    frameCaption_ = rigControlCaption();
    rig_->resetSMeter();
    rig_->resetSwrState();
    view_.ResetInterpolLabels();
    emit portOpenChanged(false);
    emit changed();
}

void RigTuning::linkFailed(const QString& error) {
    if (!open_ && !opening_)
        return;
    closePort();
    tell(QStringLiteral("The rig link was closed:") + CrLf + error, platform::Icon::Critical);
}

void RigTuning::SelectComPort(int port) {
    if (!menusEnabled() || !links_.Choose(RigLinkChoice::Link::Serial))
        return;
    useCatRig();
    state_.ComPort = port >= 1 && port <= 4 ? port : 0;
    portCaption_ = QStringLiteral("&Comport(%1)").arg(state_.ComPort);
    emit changed();
}

void RigTuning::SelectSimulatedRig() {
    if (!menusEnabled() || !links_.Choose(RigLinkChoice::Link::Simulated))
        return;
    useCatRig();
    portCaption_ = QStringLiteral("&Comport(Sim)");
    emit changed();
}

void RigTuning::SelectBaud(int rate) {
    if (!menusEnabled())
        return;
    state_.BaudRate = rate;
    emit changed();
}

void RigTuning::SelectRigModel(int model) {
    const RigCaps& caps = Caps(ToModel(static_cast<core::Integer>(model)));
    if (!menusEnabled() || !caps.sendsFrames())
        return;
    const PollPause pause(*this);
    if (const std::optional<SelectionNote>& note = caps.selectionNote)
        platform_.messageBox(note->text, note->shortTitle ? core::AppTitle : core::MessageTitle(),
                             platform::Icon::Exclamation);
    state_.RigModel = static_cast<core::Integer>(model);
    showModes();
    frameCaption_ = rigControlCaption();
    emit changed();
}

void RigTuning::showModes() {
    if (rig_->modeNames().isEmpty() || rig_->selectModeByCode(state_.RigModeCode))
        return;
    const PollPause pause(*this);
    if (platform_.messageBox(QStringLiteral("Set mode to LSB ?"), core::MessageTitle(),
                             platform::Icon::Exclamation,
                             platform::Buttons::YesNo) == platform::Answer::Yes)
        (void)rig_->setMode(1);
}

// --- polling ---

bool RigTuning::pollTimerRunning() const {
    return pollTimer_->isActive();
}

void RigTuning::updatePollTimer() {
    // With the guard on, polls go on during turns where the rig reports transmit: it may begin
    // meanwhile. A rig that does not is not read then: its long read would hold the turn.
    const bool watchTransmit = guard_.enabled() && rig_->reportsTransmit();
    const bool wanted = open_ && pauses_ == 0 && (!engineTurning_ || watchTransmit) &&
                        !awaiting_ && !searching_ && !opening_ && !blinkLookup_;
    if (!wanted) {
        pollTimer_->stop();
        return;
    }
    // A poll held up by a pause runs when the pause ends; after an exchange longer than the
    // interval the line rests half an interval, so that the window is not starved. The short
    // transmit reads of a turn keep their pace (each holds the steps for one reply at most),
    // due a little early: a timer may fire some ms late.
    const double dueAt = engineTurning_ ? lastPollAtMs_ + TransmitWatchMs * 0.9
                                        : std::max(lastPollAtMs_ + state_.ComPollMs,
                                                   lastReplyAtMs_ + state_.ComPollMs / 2.0);
    if (pollTimer_->isActive() && pollDueAtMs_ == dueAt)
        return;
    pollDueAtMs_ = dueAt;
    pollTimer_->start(int(std::max(0.0, std::ceil(dueAt - platform_.steadyMs()))));
}

void RigTuning::TurnStarted() {
    engineTurning_ = true;
    unansweredTransmitReads_ = 0;
    updatePollTimer();
}

void RigTuning::TurnEnded() {
    engineTurning_ = false;
    updatePollTimer();
}

void RigTuning::PollRig() {
    if (!open_ || awaiting_)
        return;
    spinner_ = (spinner_ + 1) % int(Spinner.size());
    if (links_.network()) // the connection comes and goes
        catPortText_ = rig_->lineText() + QLatin1Char(' ');
    else if (rig_ != catRig_)
        catPortText_ = QStringLiteral("COM%1:").arg(catComPort_) + rig_->lineText();
    frameCaption_ = catPortText_ + Spinner[static_cast<std::size_t>(spinner_)];
    lastPollAtMs_ = platform_.steadyMs();
    awaiting_ = true;
    updatePollTimer();
    // During a turn only the transmit state is read: it is what may stop the turn.
    if (!(engineTurning_ ? rig_->requestTransmitState() : rig_->requestReading())) {
        awaiting_ = false;
        lastReplyAtMs_ = platform_.steadyMs();
        updatePollTimer();
    }
    emit changed();
}

void RigTuning::readingArrived(const RigReading& reading) {
    // A reading nobody waits for (the port was closed meanwhile) is dropped.
    if (!awaiting_)
        return;
    awaiting_ = false;
    lastReplyAtMs_ = platform_.steadyMs();
    if (open_) {
        transmitReported(reading);
        if (!reading.transmitOnly)
            frequencyRead(reading.kHz.value_or(0));
    }
    updatePollTimer();
    emit changed();
    if (std::exchange(confirmOwed_, false) && open_)
        PollRig();
}

void RigTuning::frequencyRead(core::Single kHz) {
    rig_->showFrequency(kHz);
    // A reading during a turn only watches for transmit.
    if (engineTurning_)
        return;
    // A garbled reply can look like any frequency: a new one is followed once the next reading
    // (or the frequency we sent) agrees with it.
    const bool agreed = kHz == lastReadKHz_;
    lastReadKHz_ = kHz;
    // The start-up row goes out once the link answers (a rigctld link may still be connecting),
    // after the user's opening only: a link that comes back does not retune the rig.
    if (kHz != 0 && std::exchange(startupRowOwed_, false)) {
        editor_.SetRigFreqToFirstUnit();
        return;
    }
    if (kHz == 0 || agreed)
        follow(kHz);
}

void RigTuning::follow(core::Single kHz) {
    catFrequency_ = kHz;
    // No reading (a silent or garbled rig) is no frequency: nothing is looked up, nothing
    // moves, and following goes on with the next good reading. Neither does anything relock
    // or turn while we transmit or the peak search runs.
    if (kHz == 0 || rig_->pttOn() || searching_) {
        if (kHz == 0)
            showLookup(table::Lookup{}, false);
        return;
    }
    const auto finish = [this] {
        if (wheel_.function() == engine::WheelFunction::Frequency && !state_.RigFollowHalted)
            setLocked(true);
    };

    // Unlocked by the user, or halted with the stepper away from the value shown: the labels
    // only. An unlock of the program's own ends here with a reading in range.
    const bool awayFromShown =
        view_.view().InterpolValueText != core::PlainNumberText(state_.StepCounter);
    if (!locked_ && (userUnlocked_ || (state_.RigFollowHalted && awayFromShown))) {
        if (view_.view().InterpolValueText == table::NoPosition)
            freqToPosition(kHz);
        rangeCheck(kHz);
        finish();
        return;
    }

    const table::Lookup lookup = freqToPosition(kHz);
    if (!open_) // a numeric fault closed the port
        return;
    if (rangeCheck(kHz)) {
        calibrateEnabled_ = false;
        finish();
        return;
    }
    if (!lookup.ok()) {
        setLocked(false);
        calibrateEnabled_ = false;
        inputEnabled_ = true;
        finish();
        return;
    }
    if (state_.StepCounter == lookup.position) {
        setLocked(true);
        calibrateEnabled_ = true;
        state_.RigFollowHalted = false;
        finish();
        return;
    }
    setLocked(true);
    calibrateEnabled_ = true;
    if (state_.RigFollowHalted) {
        setLocked(false);
        calibrateEnabled_ = false;
        inputEnabled_ = true;
        finish();
        return;
    }
    view_.SetInputText(core::PlainNumberText(kHz));
    finish();
    if (locked_)
        turnTo(lookup.position, engine::TurnOrigin::Following);
}

void RigTuning::PollRateClicked() {
    int ms = state_.ComPollMs;
    if (!KnownInterval(ms))
        return;
    // Down to 200 ms and back up to 1500 ms; the direction turns at either end.
    if (pollDownward_ && ms == PollIntervals.front())
        pollDownward_ = false;
    else if (!pollDownward_ && ms == PollIntervals.back())
        pollDownward_ = true;
    const auto at = std::find(PollIntervals.begin(), PollIntervals.end(), ms);
    ms = pollDownward_ ? *(at - 1) : *(at + 1);
    if (ms == PollIntervals.front())
        pollDownward_ = false;
    else if (ms == PollIntervals.back())
        pollDownward_ = true;
    state_.ComPollMs = ms;
    updatePollTimer();
    emit changed();
}

QString RigTuning::PollRateCaption() const {
    return QStringLiteral("Polling(") + core::PlainNumberText(state_.ComPollMs / 1000.0) +
           QStringLiteral(" Sec)");
}

QString RigTuning::PollRateToolTip() const {
    return QStringLiteral("Sample rate Comport") + core::NumberText(state_.ComPollMs) +
           QStringLiteral(" mS.");
}

// --- lock ---

void RigTuning::setLocked(bool locked) {
    // Nothing relocks while we transmit, the peak search turns the stepper, or the user has
    // unlocked.
    if (locked && (rig_->pttOn() || searching_ || userUnlocked_))
        return;
    locked_ = locked;
    if (locked)
        lockEnabled_ = true;
}

void RigTuning::SetLocked(bool locked) {
    // A lock from the table window (the start-up row, a new offset) is the user's.
    if (locked)
        userUnlocked_ = false;
    setLocked(locked);
    emit changed();
}

void RigTuning::LockClicked() {
    if (locked_) {
        userUnlocked_ = true;
        setLocked(false);
        calibrateEnabled_ = false;
        inputEnabled_ = true;
    } else {
        if (rig_->pttOn() || searching_) {
            platform_.beep();
            return;
        }
        userUnlocked_ = false;
        setLocked(true);
        state_.RigFollowHalted = false;
        if (open_)
            PollRig();
    }
    emit changed();
}

void RigTuning::RigLockClicked(bool on) {
    (void)rig_->setDialLock(on);
    emit changed();
}

void RigTuning::EngineStopped() {
    setLocked(false);
    calibrateEnabled_ = false;
    inputEnabled_ = true;
    StopPeakSearch();
    emit changed();
}

// --- lookups ---

table::Lookup RigTuning::freqToPosition(core::Single x) {
    const table::Lookup lookup = table::LookUpPosition(editor_.data(), x);
    // With the port open a position between rows blinks; a turn to it starts meanwhile.
    showLookup(lookup, lookup.ok() && !lookup.exact && open_);
    switch (lookup.kind) {
    case table::Lookup::Kind::OutOfRange:
        if (open_)
            setLocked(false);
        break;
    case table::Lookup::Kind::Position:
        if (open_ && !lookup.exact)
            setLocked(true);
        break;
    case table::Lookup::Kind::Fault:
        qCWarning(lcRig) << "interpolation fault" << lookup.fault;
        closePort();
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

bool RigTuning::rangeCheck(core::Single x) {
    const bool out = !editor_.data().InRange(x);
    view_.SetInfoInterpolText(out ? QStringLiteral("Out off range!") : QString());
    return out;
}

engine::TurnOutcome RigTuning::turnTo(core::Long p, engine::TurnOrigin origin, bool consented) {
    const core::Long target = std::clamp(p, state_.MinPosition, state_.MaxPosition);
    // A slow turn already on its way there is not started again: with step delays above the
    // poll interval it would never make its next step.
    if (state_.StepCounter == target ||
        (engine_.slowTurnRunning() && state_.TargetPosition == target))
        return engine::TurnOutcome::Done;
    engine::TurnRequest request{target, origin};
    request.consented = consented;
    return engine_.TurnTo(request);
}

} // namespace rig
