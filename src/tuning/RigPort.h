#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "tuning/RigLinkChoice.h"

#include <QString>
#include <map>
#include <memory>

namespace tuning {

class RigTuning;
struct RigLinkKind;

// What opening and closing the port start and end in the tuning that owns it.
class RigPortEvents {
public:
    // Before a link opens: what the last one told of the transmit state is forgotten.
    virtual void forgetTransmitState() = 0;
    // The link is about to open: turns stop, following resumes, the table shows kHz.
    virtual void startAfresh() = 0;
    // The link has opened; the first reading that brings a frequency sends the start-up row
    // when owed.
    virtual void portOpened() = 0;
    virtual void oweStartupRow(bool owed) = 0;
    // The link is about to close (the tune's carrier and our PTT go first); it has closed.
    virtual void portClosing() = 0;
    virtual void portClosed() = 0;
    // Another rig model was chosen: its modes are shown.
    virtual void rigModelChosen() = 0;

protected:
    ~RigPortEvents() = default;
};

// The rig frame's port: the Com menu's choice of link — a COM port for the Yaesu CAT link, the
// simulated rig, or a link of RigLinkKinds, whose connection is made when it is chosen, one at
// a time — and the port button that opens and closes it. Opening and closing tell the tuning,
// which starts and ends what goes with an open link (polls, following, the PTT's release).
class RigPort {
public:
    // catRig: the Yaesu CAT link on the chosen line, the connection used when no other is.
    RigPort(RigTuning& tuning, RigPortEvents& events, core::ProgramState& state,
            platform::Platform& platform, RigLinkChoice& links, rig::RigConnection& catRig);
    ~RigPort();
    RigPort(const RigPort&) = delete;
    RigPort& operator=(const RigPort&) = delete;

    // --- the Com menu (only while the port is closed) ---
    RigLinkChoice::Link link() const;
    bool simulatedLink() const;
    // COM1..COM4 with the Yaesu CAT link (another number selects none).
    void SelectComPort(int port);
    void SelectSimulatedRig();
    void SelectBaud(int rate);
    // mnuFt757GXII..mnuFt897 (1..6), with their notes.
    void SelectRigModel(int model);
    // mnuRigctld, mnuFlrig, mnuWsjtx, mnuCiv, mnuKenwood: asks the link's settings (where the
    // program listens, the rig's model: RigLinkKinds) and chooses that link; one on the serial
    // port talks on the COM port chosen.
    void SelectLink(RigLinkChoice::Link link);
    // The connection to use for link instead of one made when it is chosen (a stand-in in
    // tests); it must outlive the tuning.
    void provideLink(RigLinkChoice::Link link, rig::RigConnection& connection) {
        provided_[link] = &connection;
    }
    bool menusEnabled() const { return !open_ && !opening_; }

    // --- the port button ---
    // cmdComport: closes an open port; otherwise opens the chosen one. The first reading that
    // brings a frequency then sends the start-up row's frequency and locks.
    void ComportClicked();
    // Opens the chosen link (nothing when it is open); with sendStartupRow false the rig keeps
    // its frequency and the stepper follows the dial as it is (the station without windows).
    // False when the link did not open (the user was told).
    bool OpenLink(bool sendStartupRow);
    // 0 closes; 1..4 opens COM<port> (or the simulated rig when chosen). A failed open leaves
    // everything closed (the user was told). True when the port is open afterwards.
    bool ComPortOpen(int port);
    bool portOpen() const { return open_; }
    bool opening() const { return opening_; }
    // The COM port opened; 0 while closed.
    core::Long comPort() const { return open_ ? comPort_ : 0; }
    // What the port button names (the window's view words it): the chosen port, the simulated
    // rig or the network link's rig before the first opening, then on or off.
    enum class PortButton { ComPort, Simulated, Link, On, Off };
    PortButton portButton() const { return portButton_; }

    // --- the poll line ---
    // The rig frame shows the line and a spinner from the first poll on, until the link or
    // the rig changes; the rig's name otherwise.
    bool pollShown() const { return pollShown_; }
    const QString& pollLineText() const { return pollLine_; }
    unsigned polls() const { return polls_; }

    // --- for the tuning ---
    // The chosen link from the configuration: its connection in use (a port open keeps its own).
    void useChosenLink();
    // A poll goes out: the line it goes on is shown.
    void polled();
    void hidePollLine() { pollShown_ = false; }
    // Everything that goes with an open link ends, then the link closes.
    void close();

private:
    // The Yaesu CAT link on the chosen line.
    void useCatRig();
    // Makes the chosen link's connection the one used, given its settings.
    void useLink();
    // The connection of kind: the one provided, or the one made for it (made now when the
    // last one made was of another kind); nullptr for the Yaesu CAT link.
    rig::RigConnection* connectionFor(const RigLinkKind& kind);

    RigTuning& tuning_;
    RigPortEvents& events_;
    core::ProgramState& state_;
    platform::Platform& platform_;
    RigLinkChoice& links_;
    rig::RigConnection& catRig_;
    std::unique_ptr<rig::RigConnection> made_; // the link chosen beside the Yaesu CAT link
    RigLinkChoice::Link madeLink_ = RigLinkChoice::Link::Serial;
    std::map<RigLinkChoice::Link, rig::RigConnection*> provided_;
    bool open_ = false;
    bool opening_ = false;
    core::Long comPort_ = 0;
    QString pollLine_;
    PortButton portButton_ = PortButton::ComPort;
    bool pollShown_ = false;
    unsigned polls_ = 0; // since the start: the frame's spinner turns once a poll
};

} // namespace tuning
