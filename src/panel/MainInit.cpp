#include "panel/MainInit.h"

#include "core/Degrees.h"
#include "core/MainCaption.h"
#include "core/TextRules.h"

namespace panel {

MainInit::MainInit(const Parts& parts, QObject* parent) : QObject(parent), p_(parts) {}

StartWindows MainInit::windowFlags() {
    core::ProgramState& s = p_.state;
    StartWindows shown;
    if (!(s.StepsPer360 > 0 && s.PelorusShown))
        s.PelorusShown = false;
    if (!(s.StepsPer360 > 0 && s.SmallPelorusShown))
        s.SmallPelorusShown = false;
    if (s.TableWindowShown)
        s.TimerWindowShown = false;
    if (!s.TableWindowShown && !s.TimerWindowShown && !s.PelorusShown)
        s.MainShown = true;
    shown.pelorus = s.PelorusShown;
    shown.smallPelorus = s.SmallPelorusShown;
    shown.table = s.TableWindowShown;
    shown.timer = s.TimerWindowShown;
    shown.main = s.MainShown;
    return shown;
}

void MainInit::InitMain(bool quiet) {
    core::ProgramState& s = p_.state;
    engine::Engine& engine = p_.engine;
    MainFields& fields = p_.fields;

    s.LoadStepperProfile();
    if (s.WebcamWindowOpen)
        s.TableWindowShown = s.TimerWindowShown = false;
    p_.joystick.StartUp();
    s.DateText = core::DateText(p_.platform.now().date());
    p_.port.coil().UpdateStepperBits();
    s.LptStatusAddress = s.LptAddress + 1;
    p_.switches.SwitchMenus(0);
    p_.portCommands.ApplyStartUpPower();

    p_.switches.ShowStatusRegister();

    fields.setText(EntryField::MaxPosition, QString::number(s.MaxPosition));
    fields.setText(EntryField::MinPosition, QString::number(s.MinPosition));
    fields.setText(EntryField::StepsPer360, core::PlainNumberText(s.StepsPer360));
    p_.turns.ShowLimitToolTips();
    engine.LimitsOrScaleChanged();
    p_.speed.InitSpeed();

    p_.modes.modes().reset();
    p_.modes.ModesChanged();
    fields.setText(EntryField::ShuttleMin, QString::number(s.ShuttleMin));
    fields.setText(EntryField::ShuttleMax, QString::number(s.ShuttleMax));
    fields.setText(EntryField::PulsSteps, QString::number(s.PulsSteps));
    fields.setText(EntryField::PulsPause, core::PlainNumberText(s.PulsTime));
    p_.turns.ShowGotoFields();
    emit pulsShuttleTextChanged(s.StepsPer360 < 1 ? QStringLiteral("???")
                                                  : QLatin1Char(' ') +
                                                        core::PlainNumberText(core::StepsToDegrees(
                                                            s.PulsSteps, s.DegreesPerStep)) +
                                                        QStringLiteral("°"));

    const StartWindows windows = windowFlags();
    p_.overlay.InitPanel();
    engine.ShowPosition();
    p_.wheel.SelectWheelFunction(-1);
    emit mainWindowChanged();
    if (!quiet)
        emit windowsShown(windows);
    if (!s.WebcamWindowOpen) {
        p_.housekeeping.Start();
        s.StepActivity = true;
    }
}

} // namespace panel
