#include "tuning/RigControlView.h"

#include "table/TableViewState.h"
#include "tuning/RigTuning.h"

#include <array>

namespace tuning {

QString PortCaptionOf(const RigTuning& tuning, const core::ProgramState& state) {
    switch (tuning.port().portButton()) {
    case RigPort::PortButton::ComPort:
        return QStringLiteral("&Comport(%1)").arg(state.ComPort);
    case RigPort::PortButton::Simulated:
        return QStringLiteral("&Comport(Sim)");
    case RigPort::PortButton::Link:
        return QStringLiteral("&Comport(") + tuning.connection().rigName() + QLatin1Char(')');
    case RigPort::PortButton::On:
        return QStringLiteral("&Comport on");
    case RigPort::PortButton::Off:
        break;
    }
    return QStringLiteral("&Comport off");
}

QString FrameCaptionOf(const RigTuning& tuning) {
    static const std::array<QString, 4> spinner{QStringLiteral("(/)"), QStringLiteral("(-)"),
                                                QStringLiteral("(\\)"), QStringLiteral("(-)")};
    if (!tuning.port().pollShown())
        return QStringLiteral("Rig Control-") + tuning.connection().rigName();
    return tuning.port().pollLineText() +
           spinner.at((tuning.port().polls() - 1) % spinner.size()); // the first poll shows "(/)"
}

RigControlView ControlViewOf(const RigTuning& tuning, const core::ProgramState& state,
                             const table::TableViewModel& view) {
    const rig::RigConnection& rig = tuning.connection();
    const rig::LinkCapabilities caps = rig.capabilities();
    const RigState& shown = tuning.rigState();
    RigControlView v;
    v.FrameCaption = FrameCaptionOf(tuning);
    v.PortCaption = PortCaptionOf(tuning, state);
    v.PortToolTip = QStringLiteral("Toggle cat comport for a ") + rig.rigName() + QLatin1Char('.');
    v.PollCaption = tuning.poller().RateCaption();
    v.PollToolTip = tuning.poller().RateToolTip();
    v.LockCaption = table::LockCaption(tuning.follower().locked());
    v.LockEnabled = tuning.follower().lockEnabled();
    v.DialLockEnabled = caps.dialLock;
    v.DialLocked = shown.dialLocked();
    v.FrequencyText = shown.frequencyText();
    v.JumpText = QString::number(state.CatScrollSetting) + QStringLiteral(" kHz");
    v.JumpRed = tuning.tableCommands().jumpLabelRed();
    v.Jump = state.CatScrollSetting;
    v.PttCaption = shown.pttOn() ? QStringLiteral("&PTT on") : QStringLiteral("&PTT off");
    v.PttToolTip = tuning.ptt().ToolTip();
    v.AmPtt = tuning.ptt().amPtt();
    const int swr = shown.swrState();
    v.SwrShown = swr >= 0;
    v.SwrHigh = swr == 1;
    v.SwrText = v.SwrHigh ? QStringLiteral("H-SWR") : QStringLiteral("L-SWR");
    v.PowerShown = caps.powerSwitch;
    v.PowerCaption = shown.powerOn() ? QStringLiteral("FT&817 On") : QStringLiteral("FT&817 Off");
    v.SearchCaption = tuning.peakSearch().Caption();
    // Offered at a position of the table with the rig not keyed, and while it runs: to stop it.
    v.SearchEnabled =
        tuning.peakSearch().searching() ||
        (tuning.port().portOpen() && tuning.follower().calibrateEnabled() && !shown.pttOn());
    v.SwrTuneCaption = tuning.swrTune().Caption();
    v.SwrTuneToolTip = tuning.rigCommands().SwrTuneToolTip();
    v.SwrTuneEnabled =
        tuning.rigCommands().swrTuneEnabled() && (tuning.swrTune().running() || !shown.pttOn());
    v.TuneNowEnabled = tuning.port().portOpen() && tuning.following() && !shown.pttOn();
    v.TuneNowToolTip = QStringLiteral("Follow: %1. Turns once to the table's position for the "
                                      "rig's frequency.")
                           .arg(FollowModeName(tuning.follower().followSettings().mode));
    v.SMeter = int(shown.sMeter());
    v.Modes = caps.modeNames;
    v.ModeIndex = shown.modeIndex();
    switch (tuning.transmitHold()) {
    case TransmitHold::RigTransmits:
        v.InfoText = QStringLiteral("TX: no turning");
        break;
    case TransmitHold::RigSilent:
        v.InfoText = QStringLiteral("TX: no turning (rig silent)");
        break;
    default:
        v.InfoText = view.view().InfoInterpolText;
    }
    v.InputEnabled = tuning.follower().inputEnabled();
    v.SimulatedShown = tuning.port().simulatedLink();
    return v;
}

TableMenusView MenusViewOf(const RigTuning& tuning, const core::ProgramState& state,
                           const table::TableEditor& editor, const table::TableViewModel& view) {
    TableMenusView v;
    v.StepperOffsetCaption = view.StepperOffsetCaption();
    v.RetuneEnabled = tuning.tableCommands().retuneEnabled();
    v.OffsetZeroEnabled = editor.data().StepperOffset != 0;
    v.OffsetBandOnly = editor.data().OffsetBandKHz != 0;
    v.SetToInterpolEnabled = tuning.tableCommands().setToInterpolEnabled();
    v.InterpolType = editor.data().InterpolType;
    v.LinkMenusEnabled = tuning.port().menusEnabled();
    v.RigModel = state.RigModel;
    v.BaudRate = state.BaudRate;
    v.Link = tuning.port().link();
    v.ComPort = v.Link == RigLinkChoice::Link::Serial ? state.ComPort : 0;
    v.TransmitGuard = tuning.guard().enabled();
    return v;
}

} // namespace tuning
