// Automatic tuning on the links beside the Yaesu CAT link: a program on the network (rigctld,
// flrig, WSJT-X) or a rig that talks in messages on the COM port chosen (Icom's CI-V, the
// Kenwood family's ASCII commands). One is made at a time, when it is chosen.
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

namespace tuning {

void RigTuning::SelectLink(RigLinkChoice::Link link) {
    const RigLinkKind& kind = KindOf(link);
    if (!menusEnabled() || !kind.question)
        return;
    const PollPause pause(*this);
    const RigLinkQuestion& question = *kind.question;
    const QString typed =
        platform_.inputBox(question.prompt(), core::MessageTitle(), question.current(links_));
    if (typed.trimmed().isEmpty()) // cancelled
        return;
    const std::optional<RigLinkChoice::Settings> settings = question.parse(typed, links_);
    if (!settings) {
        tell(question.notOne(typed));
        return;
    }
    if (!menusEnabled() || !links_.Choose(link, *settings))
        return;
    useLink();
}

void RigTuning::useLink() {
    const RigLinkKind& kind = KindOf(links_.link());
    rig::RigConnection* link = connectionFor(kind);
    if (!link)
        return;
    kind.configure(*link, links_);
    if (!setConnection(*link))
        return;
    portButton_ = kind.network ? PortButton::Link : PortButton::ComPort;
    pollShown_ = false;
    emit changed();
}

rig::RigConnection* RigTuning::connectionFor(const RigLinkKind& kind) {
    if (const auto provided = provided_.find(kind.link); provided != provided_.end())
        return provided->second;
    if (!kind.make)
        return nullptr;
    if (made_ && madeLink_ == kind.link)
        return made_.get();
    // The last one made goes: the Yaesu CAT link stands in until the new one is in use.
    if (made_ && rig_ == made_.get() && !setConnection(*catRig_))
        return nullptr;
    made_ = kind.make({platform_, links_.serialPort(), links_.catLog()});
    madeLink_ = kind.link;
    return made_.get();
}

} // namespace tuning
