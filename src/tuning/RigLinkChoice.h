#pragma once

#include "core/SettingsReport.h"
#include "rig/CatControl.h"
#include "rig/RigctldAddress.h"
#include "rig/SerialLink.h"
#include "rig/SerialRigSettings.h"
#include "rig/SimulatedRig.h"
#include "rig/WsjtxAddress.h"
#include "tuning/SwrTuneSettings.h"

#include <QString>
#include <variant>

namespace tuning {

// Which line the rig talks on: a serial port (COM1..COM4, the devices of Ventrolo.ini's
// [serial] group), the simulated rig, so that following can be tried without a transceiver, or
// a program on the network that shares the rig with the station's other programs: a rigctld
// daemon, flrig, or WSJT-X / JTDX, which are only listened to. The choice is kept in
// Ventrolo.ini, where the legacy configuration's ComPort (1..4) cannot hold it:
//   [rig]
//   link=serial          ; serial, simulated, rigctld, flrig, wsjtx, civ or kenwood
//   [rigctld]
//   host=localhost
//   port=4532
//   [flrig]
//   host=127.0.0.1
//   port=12345
//   [wsjtx]
//   port=2237
//   address=             ; a multicast group WSJT-X sends to; empty: unicast on 127.0.0.1
//   id=WSJT-X,JTDX       ; the instance Ids followed (WSJT-X's --rig-name adds " - name")
// and the Icom and Kenwood-family rigs' settings in [civ] and [kenwood] (SerialRigSettings.h),
// the SWR tune's in [swrtune] (SwrTuneSettings.h).
// Those two links talk on the serial port chosen by COM1..COM4.

class RigLinkChoice {
public:
    enum class Link { Serial, Simulated, Rigctld, Flrig, Wsjtx, Civ, Kenwood };
    // A link's own settings: where rigctld or flrig listen, WSJT-X's UDP address, the CI-V or
    // Kenwood-family rig.
    using Settings = std::variant<rig::RigctldAddress, rig::WsjtxAddress, rig::CivSettings,
                                  rig::KenwoodSettings>;

    RigLinkChoice(QString programDirectory, rig::CatControl& cat, rig::SerialLink& serial,
                  rig::SimulatedRig& simulated);

    // Reads the choice and gives the CAT link that line. A missing key gives Serial; an unknown
    // value gives Serial too and is noted in report, as are those of the other groups. Every
    // key of [rig], [serial], [rigctld], [flrig], [wsjtx], [civ] and [kenwood] that is missing
    // is written with its default (and a short note), so the user finds them to edit.
    void Load(core::SettingsReport* report = nullptr);
    Link link() const { return link_; }
    bool simulated() const { return link_ == Link::Simulated; }
    // A program on the network, not a line of our own.
    bool network() const;
    // Where the programs listen and the serial rigs' settings (kept also while another link
    // is chosen).
    const rig::RigctldAddress& rigctldAddress() const { return address_; }
    const rig::RigctldAddress& flrigAddress() const { return flrigAddress_; }
    const rig::WsjtxAddress& wsjtxAddress() const { return wsjtxAddress_; }
    const rig::CivSettings& civSettings() const { return civ_; }
    const rig::KenwoodSettings& kenwoodSettings() const { return kenwood_; }
    const SwrTuneSettings& swrTuneSettings() const { return swrTune_; }
    const QString& directory() const { return directory_; }
    rig::SimulatedRig& simulatedRig() { return simulated_; }
    // The COM port's line and the CAT log, which the links on the serial port talk through.
    rig::SerialLink& serialPort() { return serial_; }
    rig::CatLog& catLog() { return cat_.log(); }
    // Gives the CAT link the chosen line (an open link is closed first) and keeps the choice.
    // False, and nothing changed, while the rig is answering a request.
    bool Choose(Link link);
    // Chooses link with its settings (of the link's own type), kept.
    bool Choose(Link link, const Settings& settings);

private:
    QString settingsFile() const;
    // Writes the choice; a file that cannot be written leaves the choice for this run only.
    void store();

    QString directory_;
    rig::CatControl& cat_;
    rig::SerialLink& serial_;
    rig::SimulatedRig& simulated_;
    Link link_ = Link::Serial;
    rig::RigctldAddress address_;
    rig::RigctldAddress flrigAddress_;
    rig::WsjtxAddress wsjtxAddress_;
    rig::CivSettings civ_;
    rig::KenwoodSettings kenwood_;
    SwrTuneSettings swrTune_;
};

} // namespace tuning
