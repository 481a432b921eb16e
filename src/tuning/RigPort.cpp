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

RigPort::RigPort(RigTuning& tuning, RigPortEvents& events, core::ProgramState& state,
                 platform::Platform& platform, RigLinkChoice& links, rig::RigConnection& catRig)
    : tuning_(tuning), events_(events), state_(state), platform_(platform), links_(links),
      catRig_(catRig) {}

RigPort::~RigPort() = default;

RigLinkChoice::Link RigPort::link() const {
    return links_.link();
}

bool RigPort::simulatedLink() const {
    return links_.simulated();
}

// --- the Com menu ---

void RigPort::useChosenLink() {
    const RigLinkChoice& links = links_;
    core::ProgramState& state = state_;
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
    if (!menusEnabled() || !links_.Choose(RigLinkChoice::Link::Serial))
        return;
    useCatRig();
    state_.ComPort = port >= 1 && port <= 4 ? port : 0;
    portButton_ = PortButton::ComPort;
    emit tuning_.changed();
}

void RigPort::SelectSimulatedRig() {
    if (!menusEnabled() || !links_.Choose(RigLinkChoice::Link::Simulated))
        return;
    useCatRig();
    portButton_ = PortButton::Simulated;
    emit tuning_.changed();
}

void RigPort::SelectBaud(int rate) {
    if (!menusEnabled())
        return;
    state_.BaudRate = rate;
    emit tuning_.changed();
}

void RigPort::SelectRigModel(int model) {
    const rig::RigCaps& caps = rig::Caps(rig::ToModel(static_cast<core::Integer>(model)));
    if (!menusEnabled() || !caps.sendsFrames())
        return;
    const RigTuning::PollPause pause(tuning_);
    if (const std::optional<rig::SelectionNote>& note = caps.selectionNote)
        platform_.messageBox(note->text, note->shortTitle ? core::AppTitle : core::MessageTitle(),
                             platform::Icon::Exclamation);
    state_.RigModel = static_cast<core::Integer>(model);
    events_.rigModelChosen();
    pollShown_ = false;
    emit tuning_.changed();
}

void RigPort::SelectLink(RigLinkChoice::Link link) {
    const RigLinkKind& kind = KindOf(link);
    if (!menusEnabled() || !kind.question)
        return;
    const RigTuning::PollPause pause(tuning_);
    RigLinkChoice& links = links_;
    const RigLinkQuestion& question = *kind.question;
    const QString typed =
        platform_.inputBox(question.prompt(), core::MessageTitle(), question.current(links));
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
    if (!tuning_.setConnection(catRig_))
        return;
    pollShown_ = false;
}

void RigPort::useLink() {
    const RigLinkKind& kind = KindOf(links_.link());
    rig::RigConnection* link = connectionFor(kind);
    if (!link)
        return;
    kind.configure(*link, links_);
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
    if (made_ && &tuning_.connection() == made_.get() && !tuning_.setConnection(catRig_))
        return nullptr;
    RigLinkChoice& links = links_;
    made_ = kind.make({platform_, links.serialPort(), links.catLog(), links.directory()});
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
    const RigLinkChoice& links = links_;
    const core::ProgramState& state = state_;
    events_.forgetTransmitState();
    if (!links.simulated() && !links.network() && (state.ComPort < 1 || state.ComPort > 4)) {
        tuning_.tell(
            QStringLiteral("Choose COM1 to COM4 or the simulated rig in the Com menu first."));
        return false;
    }
    events_.startAfresh();
    if (!ComPortOpen(int(links.simulated() || links.network()
                             ? std::max<core::Long>(state.ComPort, 1)
                             : state.ComPort)))
        return false;
    events_.oweStartupRow(sendStartupRow);
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
    const RigLinkChoice& links = links_;
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
    events_.portOpened();
    return true;
}

void RigPort::close() {
    events_.portClosing();
    open_ = false;
    comPort_ = 0;
    portButton_ = PortButton::Off;
    pollShown_ = false;
    events_.portClosed();
}

void RigPort::polled() {
    ++polls_;
    const rig::RigConnection& rig = tuning_.connection();
    if (links_.network()) // the connection comes and goes
        pollLine_ = rig.lineText() + QLatin1Char(' ');
    else if (&rig != &catRig_)
        pollLine_ = QStringLiteral("COM%1:").arg(comPort_) + rig.lineText();
    pollShown_ = true;
}

} // namespace tuning
