#include "station/Station.h"

#include "core/ProgramDirectory.h"
#include "core/SettingsGroupReader.h"
#include "core/VersionTexts.h"
#include "port/InhibitSettings.h"
#include "port/PhaseOffsets.h"
#include "port/StepDirSettings.h"
#include "rig/FlrigRig.h"
#include "rig/RigctldRig.h"
#include "rig/WsjtxRig.h"
#include "station/StationLogging.h"
#include "tuning/FollowSettings.h"
#include "tuning/RigLinkKinds.h"
#include "tuning/TransmitGuard.h"

#include <QFileInfo>

namespace station {

using engine::Engine;
using panel::ExitPath;

namespace {

// [stepper1] and [stepper2] settleMs: how long the motor stands still after a turn before it
// counts as settled.
std::array<int, 2> ReadSettleTimes(const QString& settingsFile, core::SettingsReport* report) {
    std::array<int, 2> settleMs{engine::MotionWatch::DefaultSettleMs,
                                engine::MotionWatch::DefaultSettleMs};
    for (std::size_t i = 0; i < settleMs.size(); ++i) {
        core::SettingsGroupReader reader(settingsFile, QStringLiteral("stepper%1").arg(i + 1),
                                         report, core::SettingsGroupReader::Blank::KeepsDefault);
        reader.integer(QStringLiteral("settleMs"), settleMs[i], 0, 60000);
    }
    return settleMs;
}

// [rig] silentAlarmS: how long following may go without a reading before the alarm; 0: never.
int ReadSilentAlarmS(const QString& settingsFile, core::SettingsReport* report) {
    int seconds = tuning::SilentRigAlarm::DefaultLimitS;
    core::SettingsGroupReader(settingsFile, QStringLiteral("rig"), report,
                              core::SettingsGroupReader::Blank::KeepsDefault)
        .integer(QStringLiteral("silentAlarmS"), seconds, 0, 24 * 3600);
    return seconds;
}

} // namespace

Station::Station(const QString& programDirectory, platform::Platform& platform,
                 std::unique_ptr<platform::LptPort> lpt)
    : platform_(platform), lpt_(std::move(lpt)), switches_(state_, platform_, *lpt_),
      modes_(platform_), portDrive_(state_, platform_, *lpt_), speedControl_(state_),
      engine_(state_, platform_, switches_, portDrive_, speedControl_, modes_.modes(),
              modes_.busyLock()),
      networkTurns_(engine_), config_(state_, platform_, programDirectory),
      joystick_(state_, joystickDevice_, platform_),
      speed_(state_, platform_, engine_, speedControl_),
      counterByHand_(state_, platform_, engine_, portDrive_.coil()),
      portCommands_(engine_, portDrive_),
      housekeeping_(state_, platform_, engine_, modes_, portCommands_, switches_, joystick_),
      keys_(state_, platform_, engine_, speed_), wheel_(state_, engine_, speedControl_),
      turns_(state_, platform_, engine_, speed_, modes_, fields_),
      params_(state_, platform_, engine_, speed_, modes_, fields_),
      shuttlePuls_(state_, platform_, engine_, modes_, fields_, params_),
      calibration_(state_, platform_, engine_, modes_, fields_), overlay_(state_, engine_, fields_),
      mainInit_({state_, platform_, engine_, speed_, modes_, fields_, switches_, joystick_,
                 housekeeping_, turns_, overlay_, wheel_, portCommands_, portDrive_}),
      exitPath_(state_, platform_, engine_, portDrive_, config_), serialLink_(programDirectory),
      simulatedRig_(platform_), catLog_(state_, platform_, programDirectory),
      cat_(state_, platform_, catLog_, serialLink_, programDirectory), catRig_(cat_),
      rigLinks_(programDirectory, cat_, serialLink_, simulatedRig_),
      tableEditor_(state_, platform_, programDirectory), tableView_(state_, tableEditor_),
      tableEngine_(state_, engine_, fields_, turns_),
      tuning_({state_, platform_, engine_, wheel_, catRig_, rigLinks_, tableEditor_, tableView_}),
      bandSets_(programDirectory),
      bandChangeover_({state_, engine_, tableEditor_, tableView_, bandSets_, catLog_}),
      settingsFile_(core::SettingsFilePath(programDirectory)),
      journal_(state_, platform_, engine_, programDirectory + QStringLiteral("/Ventrolo.journal"),
               config_.path()),
      moveLog_(programDirectory), motion_(engine_, state_, platform_),
      rotator_(state_, engine_, networkTurns_, platform_),
      loggerRotor_(RotorDatagramServer::Protocol::Logger, state_, engine_, networkTurns_,
                   platform_),
      pstRotor_(RotorDatagramServer::Protocol::Pst, state_, engine_, networkTurns_, platform_),
      statusServer_([this] { return StatusText(status()); }),
      vnaBuild_(platform_, vnaMover_, state_, programDirectory, settingsFile_),
      web_({state_, engine_, networkTurns_, speed_, tuning_, tableEditor_, bandSets_, vnaBuild_,
            *this},
           platform_),
      rotatorRetry_(platform_), webRetry_(platform_) {
    // Before anything writes the register: a step/dir driver's ENABLE is off at its own level.
    portDrive_.coil().setOutputs(port::ReadStepperOutputs(settingsFile_, &settingsReport_));
    portDrive_.coil().setInhibit(port::ReadInhibitSettings(
        settingsFile_, portDrive_.coil().outputs(), &settingsReport_, lpt_.get()));
    wireLogic();
    wireRig();
    wireJournal();
    wireVnaBuild();
}

Station::~Station() {
    engine_.setTransmitState(nullptr); // the rig's tuning goes before the engine
}

void Station::wireLogic() {
    // A turn pauses the one-second housekeeping; a slow-turn step runs it once.
    connect(&engine_, &Engine::turnStarted, &housekeeping_, &panel::Housekeeping::Pause);
    connect(&engine_, &Engine::turnEnded, &housekeeping_, &panel::Housekeeping::Resume);
    connect(&engine_, &Engine::slowStepMade, &housekeeping_, &panel::Housekeeping::Tick);
    // Another stepper's profile: the panels are built again.
    connect(&engine_, &Engine::stepperSwitched, &mainInit_, &panel::MainInit::InitMain);
    // A stop ends the endless modes; the wheel moves the speed bar.
    connect(&engine_, &Engine::stopped, &modes_, &panel::WindowModes::ModesChanged);
    connect(&wheel_, &engine::WheelControl::speedScrolled, &speed_,
            &panel::SpeedPanel::SpeedScrolled);
    connect(&speed_, &panel::SpeedPanel::speedFieldsChanged, &fields_,
            &panel::MainFields::ShowSpeedFields);
    connect(&modes_.busyLock(), &engine::BusyLock::changed, &fields_,
            &panel::MainFields::ShowBusyLock);
    connect(&fields_, &panel::MainFields::edited, &turns_, &panel::TurnCommands::FieldEdited);
    connect(&fields_, &panel::MainFields::edited, &shuttlePuls_, &panel::ShuttlePuls::FieldEdited);
    connect(&params_, &panel::StepperParams::limitsChanged, &turns_,
            &panel::TurnCommands::ShowLimitToolTips);
    connect(&params_, &panel::StepperParams::limitsOrScaleSet, this, &Station::saveLimits);
    connect(&engine_, &Engine::phaseOffsetChanged, this, &Station::storePhaseOffset);

    // The way out: Alt+F4, a signal or the session's end; nothing moves once it has begun.
    connect(&keys_, &panel::KeyControl::exitRequested, &exitPath_, &ExitPath::ExitProgram);
    connect(&shutdownSignals_, &core::ShutdownSignals::shutdownRequested, this,
            &Station::endUnattended);
    connect(&exitPath_, &ExitPath::exitStarted, &housekeeping_, &panel::Housekeeping::Stop);
}

void Station::wireRig() {
    simulatedRig_.followModelOf(state_);
    rigLinks_.Load(&settingsReport_);
    tableEditor_.setEngineLink(&tableEngine_);
    bandSets_.Load(&settingsReport_);
    tuning_.follower().setFollowSettings(
        tuning::LoadFollowSettings(settingsFile_, &settingsReport_));
    const tuning::FallbackChoice fallback =
        tuning::ReadFallback(settingsFile_, rigLinks_, &settingsReport_);
    tuning_.setFallback(fallback, makeFallbackLink(fallback));
    tuning_.setBandChangeover(&bandChangeover_);
    // No turn while our PTT is on or the rig reports transmit, whoever asks for it.
    engine_.setTransmitState(&tuning_);
    // Another stepper's profile: following goes on with that stepper's table.
    connect(&engine_, &Engine::stepperSwitched, this, [this] {
        if (following_)
            state_.TableWindowShown = true;
    });
    // The way out ends following before the park question: the rig is not left keyed while
    // the steppers park, and a changed table is saved. The link stays until the end, so the
    // park hears whether the rig transmits.
    connect(&exitPath_, &ExitPath::exitStarted, this, [this] {
        if (following_)
            closeFollowing(true);
    });
    connect(&exitPath_, &ExitPath::ended, this, [this] {
        if (tuning_.port().portOpen())
            tuning_.port().ComPortOpen(0);
    });
}

rig::RigConnection* Station::makeFallbackLink(const tuning::FallbackChoice& choice) {
    if (!choice.link)
        return nullptr;
    const tuning::RigLinkKind& kind = tuning::KindOf(*choice.link);
    if (!kind.make)
        return &catRig_;
    // A CI-V or Kenwood-family rig talks on the COM port chosen, beside a first link on the
    // network; one on the network listens where the fallback names.
    fallbackLink_ = kind.make({platform_, serialLink_, catLog_, rigLinks_.directory()});
    kind.configure(*fallbackLink_, rigLinks_);
    if (auto* rigctld = qobject_cast<rig::RigctldRig*>(fallbackLink_.get()))
        rigctld->setAddress(choice.address);
    else if (auto* flrig = qobject_cast<rig::FlrigRig*>(fallbackLink_.get()))
        flrig->setAddress(choice.address);
    else if (auto* wsjtx = qobject_cast<rig::WsjtxRig*>(fallbackLink_.get()))
        wsjtx->setAddress(choice.wsjtx);
    return fallbackLink_.get();
}

void Station::wireJournal() {
    connect(&tuning_, &tuning::RigTuning::rigHeard, &silentAlarm_,
            [this] { silentAlarm_.ReadingCame(); });
    connect(&silentAlarm_, &tuning::SilentRigAlarm::changed, &web_, &web::WebServer::StateChanged);
    // The fallback's readings carry following as the link's own.
    connect(&tuning_.fallback(), &tuning::RigFallback::readingArrived, &silentAlarm_,
            [this](const rig::RigReading& reading) {
                if (reading.kHz)
                    silentAlarm_.ReadingCame();
            });
    connect(&silentAlarm_, &tuning::SilentRigAlarm::changed, this, &Station::showRigNotes);
    // A port the user closed gives no reading and is no alarm.
    connect(&tuning_, &tuning::RigTuning::portOpenChanged, &silentAlarm_,
            [this](bool open) { silentAlarm_.Watch(following_ && open); });
    connect(&tuning_.announcements(), &tuning::AnnouncementWatch::changed, this,
            &Station::showRigNotes);
    connect(&tuning_.fallback(), &tuning::RigFallback::changed, this, &Station::showRigNotes);
    rotator_.setMotion(&motion_);
    connect(&motion_, &engine::MotionWatch::changed, &web_, &web::WebServer::StateChanged);
    connect(&engine_, &Engine::turnFinished, this,
            [this](const engine::TurnRecord& record) { moveLog_.Append(record); });
    connect(&engine_, &Engine::turnStarted, &journal_, &PositionJournal::TurnStarted);
    connect(&engine_, &Engine::turnEnded, &journal_, &PositionJournal::TurnEnded);
    connect(&engine_, &Engine::counterChanged, &journal_, &PositionJournal::CounterChanged);
    connect(&engine_, &Engine::slowStepMade, &journal_, &PositionJournal::SlowStepMade);
    connect(&engine_, &Engine::stopped, &journal_, &PositionJournal::Stopped);
    connect(&engine_, &Engine::stepperSwitched, &journal_, &PositionJournal::StepperSwitched);
    connect(&engine_, &Engine::positionFound, &journal_, &PositionJournal::PositionFound);
    connect(&exitPath_, &ExitPath::exitStarted, &journal_, &PositionJournal::ExitStarted);
    connect(&exitPath_, &ExitPath::ended, &journal_, &PositionJournal::Ended);
    connect(&engine_, &Engine::turnStarted, this, [this] { turning_ = true; });
    connect(&engine_, &Engine::turnEnded, this, [this] { turning_ = false; });
    connect(&exitPath_, &ExitPath::ended, &statusServer_, &StatusServer::Close);
    // Nothing turns the stepper once the way out has begun; the timer table's flag stays for
    // the next start.
    connect(&exitPath_, &ExitPath::exitStarted, &rotatorRetry_, &ListenRetry::Stop);
    connect(&exitPath_, &ExitPath::exitStarted, &rotator_, &RotatorServer::Close);
    connect(&exitPath_, &ExitPath::exitStarted, &webRetry_, &ListenRetry::Stop);
    connect(&exitPath_, &ExitPath::exitStarted, &web_, &web::WebServer::Close);
    connect(&exitPath_, &ExitPath::exitStarted, &loggerRotor_, &RotorDatagramServer::Close);
    connect(&exitPath_, &ExitPath::exitStarted, &pstRotor_, &RotorDatagramServer::Close);
    connect(&exitPath_, &ExitPath::exitStarted, this, [this] {
        if (timer_)
            timer_->WindowGone();
    });
}

void Station::wireVnaBuild() {
    vnaBuild_.Load(&settingsReport_);
    // Stop, Esc or the way out end a build at once; the stepper stays where it stopped.
    connect(&engine_, &Engine::stopped, &vnaBuild_, &vna::BuildSession::Cancel);
    connect(&exitPath_, &ExitPath::exitStarted, &vnaBuild_, &vna::BuildSession::Cancel);
    // Following the rig would turn the loop away from where the builder measures.
    connect(&vnaBuild_, &vna::BuildSession::started, this, [this] {
        if (tuning_.follower().locked())
            tuning_.rigCommands().LockClicked();
    });
    // A table built over the one open is read again: the old rows are gone.
    connect(&vnaBuild_, &vna::BuildSession::finished, this, [this](const vna::BuildResult& result) {
        if (following_ && result.status == vna::BuildResult::Status::Built &&
            QFileInfo(result.tablePath) == QFileInfo(tableEditor_.tablePath()))
            tableEditor_.LoadTable();
    });
}

bool Station::load() {
    wheel_.InitWheelFunctions(true);
    // Until both positions are known (the configuration and the journal read), a signal only
    // closes the dialogs: the end would save settings not yet read over the file.
    const auto loaded = config_.LoadConfig();
    if (loaded == core::ConfigFile::Loaded::Defaults && !endRequested_)
        defaultsMade();
    port::ReadPhaseOffsets(settingsFile_, state_, &settingsReport_);
    motion_.setSettleMs(ReadSettleTimes(settingsFile_, &settingsReport_));
    silentAlarm_.setLimitS(ReadSilentAlarmS(settingsFile_, &settingsReport_));
    // The positions a crash kept in the journal.
    journal_.Restore(config_.positionsRead());
    positionsKnown_ = true;
    if (endRequested_) {
        // The way out stores the working profile: it must be the selected stepper's.
        state_.LoadStepperProfile();
        exitPath_.EndProgram();
        return false;
    }
    return true;
}

void Station::storePhaseOffset(core::Long stepper, core::Long offset) {
    QString error;
    if (port::StorePhaseOffset(settingsFile_, stepper, offset, &error))
        return;
    const QString text = QStringLiteral("%1 cannot be written (%2): after a restart stepper %3 "
                                        "may jump up to two steps as its driver is powered.")
                             .arg(settingsFile_, error)
                             .arg(stepper + 1);
    qCWarning(lcStation).noquote() << text;
    // Told from the event loop: the counter may have been set inside a turn (a switch).
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            platform_.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation);
        },
        Qt::QueuedConnection);
}

void Station::saveLimits() {
    // The way out saves what the park leaves.
    if (exitPath_.ending())
        return;
    state_.StoreStepperProfile();
    (void)config_.SaveConfig(core::ConfigFile::FailureTold::OnceUntilSaved);
}

void Station::defaultsMade() {
    portDrive_.coil().ClearAllPorts();
    speed_.CalibratePcSpeed();
    // The defaults named the motors' positions anew (at the start the file's offsets are read
    // afterwards).
    if (positionsKnown_) {
        for (const core::Long stepper : {0, 1})
            storePhaseOffset(stepper, state_.StoredProfiles[stepper].PhaseOffset);
    }
}

void Station::endUnattended() {
    if (positionsKnown_) {
        exitPath_.EndProgram(parkAtUnattendedEnd_);
        return;
    }
    // load() ends the program once it knows where the steppers stand.
    endRequested_ = true;
    platform_.dismissDialogs();
}

void Station::serve() {
    if (exitPath_.ending())
        return;
    const RotctldSettings rotctld = ReadRotctldSettings(settingsFile_, &settingsReport_);
    const web::WebSettings webSettings = web::ReadWebSettings(settingsFile_, &settingsReport_);
    tuning::TransmitGuard(settingsFile_).Load(&settingsReport_);
    // The servers first, and every move on record from now on: the questions below wait for
    // a person, the station does not.
    journal_.Arm();
    QString error;
    if (!statusServer_.Listen(programDirectory(), &error))
        qCWarning(lcStation).noquote() << "--status cannot be answered:" << error;
    QStringList failures;
    if (rotctld.enabled && !listen(rotctld, &error))
        failures << error;
    if (webSettings.enabled && !listenWeb(webSettings, &error))
        failures << error;
    for (const auto& [server, settings] :
         {std::pair{&loggerRotor_, ReadLoggerRotorSettings(settingsFile_, &settingsReport_)},
          std::pair{&pstRotor_, ReadPstRotatorSettings(settingsFile_, &settingsReport_)}}) {
        server->SetParkAzimuth(rotctld.parkAzimuth);
        if (settings.enabled && !server->Listen(settings, &error))
            failures << QStringLiteral("Rotator datagrams cannot be heard at %1 port %2: %3")
                            .arg(settings.address.toString())
                            .arg(settings.port)
                            .arg(error);
    }

    const std::optional<core::Long> calibrate = journal_.TellUser();
    // A signal may have ended the program while the question was open.
    if (exitPath_.ending())
        return;
    tellUnusedSettings();
    for (const QString& failure : failures) {
        if (exitPath_.ending())
            return;
        platform_.messageBox(failure, core::MessageTitle(), platform::Icon::Exclamation);
    }
    if (calibrate) {
        // From the event loop: the run goes on until the user stops it.
        QMetaObject::invokeMethod(
            this,
            [this, stepper = *calibrate] {
                if (exitPath_.ending())
                    return;
                if (stepper != state_.SelectedStepper)
                    engine_.SwitchStepper(stepper);
                calibration_.Pressed(Qt::LeftButton);
            },
            Qt::QueuedConnection);
    }
}

bool Station::openFollowing() {
    state_.TableWindowShown = true;
    following_ = true;
    silentAlarm_.Watch(tuning_.port().portOpen());
    wheel_.setTableWheel(&tuning_.tableCommands());
    {
        const auto pause = tuning_.pausePolls();
        tuning_.Load();
    }
    // Loading may tell or ask (a damaged or missing table); the way out may have begun meanwhile.
    return following_ && !exitPath_.ending();
}

bool Station::closeFollowing(bool exiting, bool keepLink) {
    if (!following_)
        return true;
    // A table that could not be saved stays open when the user says so.
    if (!tuning_.Unload(exiting, keepLink) && !exiting)
        return false;
    following_ = false;
    silentAlarm_.Watch(false);
    wheel_.setTableWheel(nullptr);
    if (!exiting)
        state_.TableWindowShown = false;
    return true;
}

bool Station::watchRig() {
    if (tuning_.port().portOpen())
        return true;
    tuning_.LoadLink();
    return tuning_.port().OpenLink(false);
}

bool Station::turning() const {
    return turning_ || engine_.slowTurnRunning();
}

StationStatus Station::status() const {
    StationStatus status;
    status.counter = state_.StepCounter;
    if (state_.StepsPer360 > 0)
        status.degrees = QString::number(state_.CurrentDegrees, 'f', 1);
    status.stepper = int(state_.SelectedStepper) + 1;
    status.turning = turning();
    if (status.turning)
        status.target = state_.TargetPosition;
    if (tuning_.port().portOpen()) {
        status.rig = tuning_.connection().lineText();
        status.following = tuning_.follower().locked();
        if (tuning_.follower().CatFrequency() > 0)
            status.frequencyHz = qRound64(double(tuning_.follower().CatFrequency()) * 1000);
        status.transmitting = tuning_.transmitting();
    }
    status.hold = tuning::TransmitHoldText(tuning_.transmitHold());
    if (rotator_.listening())
        status.rotctldPort = rotator_.port();
    status.timerRunning = timer_ && timer_->timerEnabled();
    status.follow = tuning::FollowModeName(tuning_.follower().followSettings().mode);
    if (tuning_.port().portOpen() && tuning_.follower().withinDeadBand())
        status.follow += QStringLiteral(", within dead band");
    status.rigAlarm = silentAlarm_.text();
    status.rigNotice = rigNotice();
    status.positionDoubt = journal_.doubt();
    status.settled = motion_.settled();
    status.arrival = motion_.expectedArrival();
    return status;
}

QString Station::rigNotice() const {
    if (!tuning_.port().portOpen())
        return {};
    QStringList notices;
    for (const QString& notice : {tuning_.fallback().text(), tuning_.announcements().text()}) {
        if (!notice.isEmpty())
            notices << notice;
    }
    return notices.join(QStringLiteral("; "));
}

void Station::showRigNotes() {
    QStringList notes;
    for (QString note : {silentAlarm_.text(), rigNotice()}) {
        if (!note.isEmpty())
            notes << note.replace(0, 1, note.at(0).toUpper());
    }
    tableView_.SetRigNote(notes.join(QStringLiteral("   ")));
}

program::TimerTable& Station::loadTimer() {
    if (!timer_)
        timer_ =
            std::make_unique<program::TimerTable>(state_, platform_, turner_, programDirectory());
    return *timer_;
}

void Station::unloadTimer(QObject* window) {
    if (!timer_)
        return;
    program::TimerTable* table = timer_.release();
    table->WindowGone();
    if (window)
        table->setParent(window);
    else if (table->turning())
        connect(table, &program::TimerTable::turnEnded, table, &QObject::deleteLater);
    else
        table->deleteLater();
}

void Station::setRotatorServer(bool on) {
    if (on) {
        startRotatorServer();
    } else {
        rotatorRetry_.Stop();
        rotator_.Close();
    }
    QString error;
    if (!StoreRotctldEnabled(settingsFile_, rotator_.listening() || rotatorRetry_.retrying(),
                             &error))
        platform_.messageBox(QStringLiteral("%1 cannot be written (%2): the rotator server "
                                            "keeps its old setting at the next start.")
                                 .arg(settingsFile_, error),
                             core::MessageTitle(), platform::Icon::Exclamation);
}

void Station::startRotatorServer() {
    const RotctldSettings settings = ReadRotctldSettings(settingsFile_);
    if (!settings.problem.isEmpty())
        platform_.messageBox(settings.problem, core::MessageTitle(), platform::Icon::Exclamation);
    // Nothing may turn the stepper once the way out has begun (perhaps during that message).
    QString error;
    if (!exitPath_.ending() && !listen(settings, &error))
        platform_.messageBox(error, core::MessageTitle(), platform::Icon::Exclamation);
}

bool Station::listen(const RotctldSettings& settings, QString* failure) {
    rotator_.SetParkAzimuth(settings.parkAzimuth);
    rotatorRetry_.setListen(QStringLiteral("The rotator server"), settings.address, settings.port,
                            [this, settings](QString* why) {
                                return rotator_.Listen(settings.address, settings.port, why);
                            });
    return rotatorRetry_.Start(failure);
}

void Station::setWebServer(bool on) {
    if (on) {
        startWebServer();
    } else {
        webRetry_.Stop();
        web_.Close();
    }
    QString error;
    if (!web::StoreWebEnabled(settingsFile_, web_.listening() || webRetry_.retrying(), &error))
        platform_.messageBox(QStringLiteral("%1 cannot be written (%2): the web server keeps "
                                            "its old setting at the next start.")
                                 .arg(settingsFile_, error),
                             core::MessageTitle(), platform::Icon::Exclamation);
}

void Station::startWebServer() {
    const web::WebSettings settings = web::ReadWebSettings(settingsFile_);
    if (!settings.problem.isEmpty())
        platform_.messageBox(settings.problem, core::MessageTitle(), platform::Icon::Exclamation);
    QString error;
    if (!exitPath_.ending() && !listenWeb(settings, &error))
        platform_.messageBox(error, core::MessageTitle(), platform::Icon::Exclamation);
}

bool Station::listenWeb(const web::WebSettings& settings, QString* failure) {
    QString error;
    const QString token = web::EnsureWebToken(settingsFile_, &error);
    // Off this machine nobody may come in without a token.
    if (token.isEmpty() && !settings.address.isLoopback()) {
        *failure = QStringLiteral("The web server does not start: its token cannot be stored in "
                                  "%1 (%2).")
                       .arg(settingsFile_, error);
        return false;
    }
    webRetry_.setListen(QStringLiteral("The web server"), settings.address, settings.port,
                        [this, settings, token](QString* why) {
                            return web_.Listen(settings.address, settings.port, token, why);
                        });
    return webRetry_.Start(failure);
}

void Station::tellUnusedSettings() {
    if (settingsReport_.isEmpty())
        return;
    platform_.messageBox(QStringLiteral("Some settings cannot be used and were left out:\n\n%1")
                             .arg(settingsReport_.text()),
                         core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace station
