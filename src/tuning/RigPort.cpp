// The rig frame's port: the Com menu's choice of link and its connection, one made at a time,
// and the port button.
#include "tuning/RigPort.h"

#include "core/VersionTexts.h"
#include "rig/RigCaps.h"
#include "rig/RigLogging.h"
#include "tuning/RigLinkKinds.h"
#include "tuning/RigTuning.h"

#include <algorithm>

namespace tuning {

RigPort::RigPort(RigTuning& tuning) : tuning_(tuning) {}

RigPort::~RigPort() = default;

RigLinkChoice::Link RigPort::link() const {
    return tuning_.links_.link();
}

bool RigPort::simulatedLink() const {
    return tuning_.links_.simulated();
}

// --- the Com menu ---

void RigPort::useChosenLink() {
    const RigLinkChoice& links = tuning_.links_;
    core::ProgramState& state = tuning_.state_;
    if (!menusEnabled())
        return;
    if (links.simulated())
        SelectSimulatedRig();
    else if (links.link() != RigLinkChoice::Link::Serial)
        useLink();
    else
        SelectComPort(int(state.ComPort));
    SelectBaud(int(state.BaudRate));
}

void RigPort::SelectComPort(int port) {
    if (!menusEnabled() || !tuning_.links_.Choose(RigLinkChoice::Link::Serial))
        return;
    useCatRig();
    tuning_.state_.ComPort = port >= 1 && port <= 4 ? port : 0;
    portButton_ = PortButton::ComPort;
    emit tuning_.changed();
}

void RigPort::SelectSimulatedRig() {
    if (!menusEnabled() || !tuning_.links_.Choose(RigLinkChoice::Link::Simulated))
        return;
    useCatRig();
    portButton_ = PortButton::Simulated;
    emit tuning_.changed();
}

void RigPort::SelectBaud(int rate) {
    if (!menusEnabled())
        return;
    tuning_.state_.BaudRate = rate;
    emit tuning_.changed();
}

void RigPort::SelectRigModel(int model) {
    const rig::RigCaps& caps = rig::Caps(rig::ToModel(static_cast<core::Integer>(model)));
    if (!menusEnabled() || !caps.sendsFrames())
        return;
    const RigTuning::PollPause pause(tuning_);
    if (const std::optional<rig::SelectionNote>& note = caps.selectionNote)
        tuning_.platform_.messageBox(note->text,
                                     note->shortTitle ? core::AppTitle : core::MessageTitle(),
                                     platform::Icon::Exclamation);
    tuning_.state_.RigModel = static_cast<core::Integer>(model);
    tuning_.showModes();
    pollShown_ = false;
    emit tuning_.changed();
}

void RigPort::SelectLink(RigLinkChoice::Link link) {
    const RigLinkKind& kind = KindOf(link);
    if (!menusEnabled() || !kind.question)
        return;
    const RigTuning::PollPause pause(tuning_);
    RigLinkChoice& links = tuning_.links_;
    const RigLinkQuestion& question = *kind.question;
    const QString typed = tuning_.platform_.inputBox(question.prompt(), core::MessageTitle(),
                                                     question.current(links));
    if (typed.trimmed().isEmpty()) // cancelled
        return;
    const std::optional<RigLinkChoice::Settings> settings = question.parse(typed, links);
    if (!settings) {
        tuning_.tell(question.notOne(typed));
        return;
    }
    if (!menusEnabled() || !links.Choose(link, *settings))
        return;
    useLink();
}

void RigPort::useCatRig() {
    if (!tuning_.setConnection(*tuning_.catRig_))
        return;
    pollShown_ = false;
}

void RigPort::useLink() {
    const RigLinkKind& kind = KindOf(tuning_.links_.link());
    rig::RigConnection* link = connectionFor(kind);
    if (!link)
        return;
    kind.configure(*link, tuning_.links_);
    if (!tuning_.setConnection(*link))
        return;
    portButton_ = kind.network ? PortButton::Link : PortButton::ComPort;
    pollShown_ = false;
    emit tuning_.changed();
}

rig::RigConnection* RigPort::connectionFor(const RigLinkKind& kind) {
    if (const auto provided = provided_.find(kind.link); provided != provided_.end())
        return provided->second;
    if (!kind.make)
        return nullptr;
    if (made_ && madeLink_ == kind.link)
        return made_.get();
    // The last one made goes: the Yaesu CAT link stands in until the new one is in use.
    if (made_ && &tuning_.connection() == made_.get() && !tuning_.setConnection(*tuning_.catRig_))
        return nullptr;
    RigLinkChoice& links = tuning_.links_;
    made_ = kind.make({tuning_.platform_, links.serialPort(), links.catLog()});
    madeLink_ = kind.link;
    return made_.get();
}

// --- the port button ---

void RigPort::ComportClicked() {
    if (open_) {
        ComPortOpen(0);
        return;
    }
    OpenLink(true);
}

bool RigPort::OpenLink(bool sendStartupRow) {
    if (open_)
        return true;
    const RigLinkChoice& links = tuning_.links_;
    const core::ProgramState& state = tuning_.state_;
    tuning_.guard_.Reset();
    if (!links.simulated() && !links.network() && (state.ComPort < 1 || state.ComPort > 4)) {
        tuning_.tell(
            QStringLiteral("Choose COM1 to COM4 or the simulated rig in the Com menu first."));
        return false;
    }
    tuning_.engine_.StopTurningAndFollowing();
    tuning_.follower_.Resume();
    tuning_.view_.ForceKHz();
    if (!ComPortOpen(int(links.simulated() || links.network()
                             ? std::max<core::Long>(state.ComPort, 1)
                             : state.ComPort)))
        return false;
    tuning_.startupRowOwed_ = sendStartupRow;
    emit tuning_.changed();
    return true;
}

bool RigPort::ComPortOpen(int port) {
    if (port == 0) {
        close();
        return false;
    }
    if (open_)
        close();
    opening_ = true;
    emit tuning_.changed();
    rig::RigConnection& rig = tuning_.connection();
    const RigLinkChoice& links = tuning_.links_;
    pollLine_ = links.network() ? rig.lineText() + QLatin1Char(' ')
                                : (links.simulated() ? QStringLiteral("SIM")
                                                     : QStringLiteral("COM%1").arg(port)) +
                                      QLatin1Char(':') + rig.lineText();
    const rig::LinkOpenResult opened = rig.open(port);
    opening_ = false;
    if (!opened.ok || !rig.isOpen()) {
        qCInfo(lcRig) << "port not opened" << opened.error;
        emit tuning_.changed();
        return false;
    }
    open_ = true;
    comPort_ = port;
    pollShown_ = false;
    portButton_ = PortButton::On;
    tuning_.portOpened();
    return true;
}

void RigPort::close() {
    tuning_.portClosing();
    open_ = false;
    comPort_ = 0;
    portButton_ = PortButton::Off;
    pollShown_ = false;
    tuning_.portClosed();
}

void RigPort::polled() {
    ++polls_;
    const rig::RigConnection& rig = tuning_.connection();
    if (tuning_.links_.network()) // the connection comes and goes
        pollLine_ = rig.lineText() + QLatin1Char(' ');
    else if (&rig != tuning_.catRig_)
        pollLine_ = QStringLiteral("COM%1:").arg(comPort_) + rig.lineText();
    pollShown_ = true;
}

} // namespace tuning
