// Automatic tuning's SWR tune: the touch-up by the rig's own SWR meter, around the table's
// position for the rig's frequency.
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

namespace tuning {

rig::SwrMeter* RigTuning::swrMeter() const {
    if (links_.simulated())
        return const_cast<rig::SimulatedSwrMeter*>(&simulatedSwr_);
    return rig_->swrMeter();
}

bool RigTuning::swrTuneEnabled() const {
    if (swr_.running())
        return true; // to stop it
    return open_ && !search_.searching() && SwrTune::Unavailable(*rig_, swrMeter()).isEmpty();
}

QString RigTuning::SwrTuneUnavailable() const {
    if (!open_)
        return QStringLiteral("the rig's link is closed");
    return SwrTune::Unavailable(*rig_, swrMeter());
}

QString RigTuning::SwrTuneToolTip() const {
    if (const QString why = SwrTune::Unavailable(*rig_, swrMeter()); !why.isEmpty())
        return QStringLiteral("Not here: ") + why;
    if (const QString why = SwrTune::PowerRefusal(*swrMeter(), links_.swrTuneSettings());
        !why.isEmpty())
        return QStringLiteral("Not here: ") + why;
    if (!swrMeter()->powerUnsettable().isEmpty())
        return swr_.ToolTip() +
               QStringLiteral(" This rig's power cannot be set: it transmits at "
                              "its own setting, at most ") +
               QString::number(*swrMeter()->mostPowerW()) + QStringLiteral(" W.");
    return swr_.ToolTip();
}

void RigTuning::SwrTuneClicked() {
    if (swr_.running()) {
        swr_.Stop();
        return;
    }
    if (!open_ || search_.searching())
        return;
    rig::SwrMeter* meter = swrMeter();
    const table::Lookup lookup = table::LookUpPosition(editor_.data(), follower_.CatFrequency());
    if (!lookup.ok()) {
        tell(QStringLiteral("The SWR tune needs the rig's frequency inside the table."));
        return;
    }
    swr_.setSettings(links_.swrTuneSettings());
    // Like the peak search, the result stays until the user locks again.
    follower_.SearchStarting();
    swr_.Run(*rig_, meter, lookup.position);
    follower_.SearchEnded();
    updatePollTimer();
    emit changed();
}

} // namespace tuning
