#pragma once

#include "core/ConfigFile.h"
#include "core/ProgramState.h"
#include "core/SettingsReport.h"
#include "core/ShutdownSignals.h"
#include "engine/Engine.h"
#include "engine/MotionWatch.h"
#include "engine/MoveLog.h"
#include "engine/NetworkTurns.h"
#include "engine/PortDrive.h"
#include "engine/SpeedControl.h"
#include "engine/WheelControl.h"
#include "panel/CalibrationRun.h"
#include "panel/CounterByHand.h"
#include "panel/ExitPath.h"
#include "panel/Housekeeping.h"
#include "panel/KeyControl.h"
#include "panel/MainFields.h"
#include "panel/MainInit.h"
#include "panel/OverlayPanel.h"
#include "panel/ShuttlePuls.h"
#include "panel/SpeedPanel.h"
#include "panel/StepperParams.h"
#include "panel/TurnCommands.h"
#include "panel/WindowModes.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SdlJoystick.h"
#include "port/SwitchInputs.h"
#include "program/TimerTable.h"
#include "rig/CatControl.h"
#include "rig/CatLog.h"
#include "rig/CatRig.h"
#include "rig/QtSerialLink.h"
#include "rig/SimulatedRig.h"
#include "station/EngineMover.h"
#include "station/EngineTurner.h"
#include "station/ListenRetry.h"
#include "station/PositionJournal.h"
#include "station/RotatorServer.h"
#include "station/RotctldSettings.h"
#include "station/RotorDatagramServer.h"
#include "station/StationStatus.h"
#include "station/StatusServer.h"
#include "station/TableEngineLink.h"
#include "table/BandSet.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"
#include "tuning/BandChangeover.h"
#include "tuning/RigLinkChoice.h"
#include "tuning/RigTuning.h"
#include "tuning/SilentRigAlarm.h"
#include "vna/BuildSession.h"
#include "web/StationLink.h"
#include "web/WebServer.h"
#include "web/WebSettings.h"

#include <QObject>
#include <memory>

namespace station {

// The station without its windows: the state and Ventrolo.cfg, the port, the engine and every
// panel's logic, the switches, the rig link with the tuning through the stepper's table, the
// position journal and the rotator server, wired to one another. The desktop program puts its
// windows on top of it; the headless one runs it alone. Whatever matters when nobody looks
// (following the rig, the way out) is here.
class Station : public QObject, private web::StationLink {
    Q_OBJECT

public:
    Station(const QString& programDirectory, platform::Platform& platform,
            std::unique_ptr<platform::LptPort> lpt);
    ~Station() override;

    // Reads the configuration and the journal. False when the program ended meanwhile (a
    // signal during start-up): then nothing else may start.
    bool load();
    // After the start's windows or their stand-ins: the status socket (`--headless --status`)
    // opened and the rotator and web servers started when enabled (a taken port tried again
    // until it is free), the journal armed; then what the journal found is told, the unused
    // settings and the servers' failures told, a pending calibration resumed.
    void serve();
    // What --status tells.
    StationStatus status() const;
    // Between the engine's turnStarted and turnEnded, or while a slow turn waits for its next
    // step.
    bool turning() const override;
    // A signal or the session's end: the way out that asks nobody; it parks both steppers
    // first when told to.
    void endUnattended();
    void setParkAtUnattendedEnd(bool park) { parkAtUnattendedEnd_ = park; }
    bool ending() const { return exitPath_.ending(); }
    // The defaults replaced the settings: all ports cleared, PcSpeed measured.
    void defaultsMade();
    bool ended() const { return exitPath_.finished(); }

    // Following the rig through the stepper's table (the table window's open life). open()
    // loads the table and the link's settings; false when the way out began meanwhile.
    bool openFollowing();
    // Ends following: our PTT off, a changed table saved, and the rig's port closed unless
    // keepLink (another table window opens: the link keeps telling the engine's gate whether
    // the rig transmits). With exiting false a table that could not be saved stays open when
    // the user says so (false).
    bool closeFollowing(bool exiting, bool keepLink = false);
    bool following() const override { return following_; }
    // The rig link open without following, so that no turn starts while the rig transmits (the
    // station without windows, whatever they show). False when it did not open (told).
    bool watchRig();

    // The timer table while it is loaded (its window open or hidden, or shown without
    // windows): loading reads its file and starts its clock. Unloading stops the clock and a
    // timed turn in progress; the table is deleted once that turn has returned, or with its
    // window (which waits for that turn itself) when one showed it.
    program::TimerTable* timer() const override { return timer_.get(); }
    program::TimerTable& loadTimer();
    void unloadTimer(QObject* window = nullptr);

    // The rotator server on or off, stored in Ventrolo.ini; a failure is told (a taken port is
    // tried again until it is free or the server is switched off).
    void setRotatorServer(bool on);
    // The web server on or off, stored in Ventrolo.ini (a token made at the first enable); a
    // failure is told.
    void setWebServer(bool on);

    QString programDirectory() const { return config_.programDirectory(); }
    QString settingsFile() const { return settingsFile_; }

    core::ProgramState& state() { return state_; }
    platform::Platform& platform() { return platform_; }
    platform::LptPort& lpt() { return *lpt_; }
    port::SwitchInputs& switches() { return switches_; }
    engine::Engine& engine() { return engine_; }
    // The port the turns drive: coil output, inhibit line, power, port panel.
    engine::PortDrive& portDrive() { return portDrive_; }
    // The network origins' one queue of turns.
    engine::NetworkTurns& networkTurns() { return networkTurns_; }
    core::ConfigFile& config() { return config_; }
    port::JoystickStatus& joystick() { return joystick_; }
    panel::MainFields& fields() { return fields_; }
    panel::SpeedPanel& speed() { return speed_; }
    panel::WindowModes& modes() { return modes_; }
    panel::CounterByHand& counterByHand() { return counterByHand_; }
    panel::Housekeeping& housekeeping() { return housekeeping_; }
    panel::PortCommands& portCommands() { return portCommands_; }
    panel::KeyControl& keys() { return keys_; }
    engine::WheelControl& wheel() { return wheel_; }
    panel::TurnCommands& turns() { return turns_; }
    panel::StepperParams& params() { return params_; }
    panel::ShuttlePuls& shuttlePuls() { return shuttlePuls_; }
    panel::CalibrationRun& calibration() { return calibration_; }
    panel::OverlayPanel& overlay() { return overlay_; }
    panel::MainInit& mainInit() { return mainInit_; }
    panel::ExitPath& exitPath() { return exitPath_; }
    rig::CatLog& catLog() { return catLog_; }
    rig::SimulatedRig& simulatedRig() { return simulatedRig_; }
    tuning::RigTuning& tuning() { return tuning_; }
    table::TableEditor& tableEditor() { return tableEditor_; }
    table::TableViewModel& tableView() { return tableView_; }
    // Each stepper's band set, read at the start.
    table::BandSets& bandSets() { return bandSets_; }
    program::Turner& turner() { return turner_; }
    // The values of Ventrolo.ini that cannot be used, told once in serve().
    core::SettingsReport& settingsReport() { return settingsReport_; }
    PositionJournal& journal() { return journal_; }
    // Every turn's line, of every origin (Moves.jsonl in the program directory).
    engine::MoveLog& moveLog() { return moveLog_; }
    QList<QJsonObject> recentMoves(int count) const override { return moveLog_.Last(count); }
    // Moving or settled, for the programs that wait on the motor.
    const engine::MotionWatch* motion() const override { return &motion_; }
    // Why following may be stale: no reading from the rig for [rig] silentAlarmS; empty: none.
    QString rigAlarm() const override { return silentAlarm_.text(); }
    // What following rests on when not on the link as usual: the polls alone, once the link's
    // announcements stopped; empty: nothing to tell.
    QString rigNotice() const override;
    QString positionDoubt() const override { return journal_.doubt(); }
    RotatorServer& rotator() { return rotator_; }
    web::WebServer& web() { return web_; }
    // Building a table with the VNA; its turns are the engine's of origin VnaBuild.
    vna::BuildSession& vnaBuild() { return vnaBuild_; }

private:
    void wireLogic();
    void wireRig();
    // The link [rig] fallback= names, set up; nullptr for none.
    rig::RigConnection* makeFallbackLink(const tuning::FallbackChoice& choice);
    void wireJournal();
    void wireVnaBuild();
    void startRotatorServer();
    // Listens, or keeps trying (failure says why, for the user).
    bool listen(const RotctldSettings& settings, QString* failure);
    void startWebServer();
    bool listenWeb(const web::WebSettings& settings, QString* failure);
    void tellUnusedSettings();
    // The silent rig's alarm and the rig's notice on the table window's status line.
    void showRigNotes();
    // Into Ventrolo.ini at once: a crash must not part the counter from its phase.
    void storePhaseOffset(core::Long stepper, core::Long offset);
    // Into Ventrolo.cfg at once: after a crash the journal's counter must not come back with
    // the old limits, past which the stepper would then be driven.
    void saveLimits();

    core::ProgramState state_;
    platform::Platform& platform_;
    std::unique_ptr<platform::LptPort> lpt_;
    port::SwitchInputs switches_;
    panel::WindowModes modes_;
    engine::PortDrive portDrive_;
    engine::SpeedControl speedControl_;
    engine::Engine engine_;
    engine::NetworkTurns networkTurns_;
    core::ConfigFile config_;
    port::SdlJoystick joystickDevice_;
    port::JoystickStatus joystick_;
    panel::MainFields fields_;
    panel::SpeedPanel speed_;
    panel::CounterByHand counterByHand_;
    panel::PortCommands portCommands_;
    panel::Housekeeping housekeeping_;
    panel::KeyControl keys_;
    engine::WheelControl wheel_;
    panel::TurnCommands turns_;
    panel::StepperParams params_;
    panel::ShuttlePuls shuttlePuls_;
    panel::CalibrationRun calibration_;
    panel::OverlayPanel overlay_;
    panel::MainInit mainInit_;
    panel::ExitPath exitPath_;
    core::ShutdownSignals shutdownSignals_;
    bool positionsKnown_ = false; // the configuration and the journal have been read
    bool endRequested_ = false;   // a signal came before that
    bool parkAtUnattendedEnd_ = false;

    rig::QtSerialLink serialLink_;
    rig::SimulatedRig simulatedRig_;
    rig::CatLog catLog_;
    rig::CatControl cat_;
    rig::CatRig catRig_;
    tuning::RigLinkChoice rigLinks_;
    // [rig] fallback=: a link of its own beside the one chosen.
    std::unique_ptr<rig::RigConnection> fallbackLink_;
    table::TableEditor tableEditor_;
    table::TableViewModel tableView_;
    TableEngineLink tableEngine_;
    tuning::RigTuning tuning_;
    table::BandSets bandSets_;
    tuning::BandChangeover bandChangeover_;
    bool following_ = false;
    tuning::SilentRigAlarm silentAlarm_{platform_};

    EngineTurner turner_{engine_, counterByHand_};
    std::unique_ptr<program::TimerTable> timer_;
    QString settingsFile_;
    core::SettingsReport settingsReport_;
    PositionJournal journal_;
    engine::MoveLog moveLog_;
    engine::MotionWatch motion_;
    RotatorServer rotator_;
    RotorDatagramServer loggerRotor_;
    RotorDatagramServer pstRotor_;
    bool turning_ = false;
    StatusServer statusServer_;
    EngineMover vnaMover_{state_, engine_, tuning_};
    vna::BuildSession vnaBuild_;
    web::WebServer web_;
    ListenRetry rotatorRetry_;
    ListenRetry webRetry_;
};

} // namespace station
