#include "tuning/PttControl.h"

#include "core/TextRules.h"
#include "rig/RigCaps.h"

#include <algorithm>

namespace tuning {

PttControl::PttControl(const core::ProgramState& state, platform::Platform& platform,
                       const RigState& shown, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), shown_(shown),
      watchdog_(platform_.createTimer([this] { emit watchdogExpired(); })) {}

QString PttControl::ToolTip() {
    return QStringLiteral("Toggle PTT Watch Dog =") + core::NumberText(WatchdogMs / 1000) +
           QStringLiteral(" Sec.");
}

bool PttControl::Key(rig::RigConnection& rig) {
    savedMode_ = shown_.modeIndex();
    modeChanged_ = false;
    if (amPtt_) {
        const QStringList names = rig.capabilities().modeNames;
        const auto am = std::find_if(names.begin(), names.end(), [](const QString& name) {
            return name.contains(QStringLiteral("AM"), Qt::CaseInsensitive);
        });
        const int index = am == names.end() ? 0 : int(am - names.begin()) + 1;
        if (index > 0 && index != savedMode_)
            modeChanged_ = rig.setMode(index) == rig::CatResult::Sent;
    }
    watchdog_->start(WatchdogMs);
    if (rig.setPtt(true) == rig::CatResult::Sent || shown_.pttOn())
        return true;
    watchdog_->stop();
    restoreMode(rig);
    return false;
}

void PttControl::Release(rig::RigConnection& rig) {
    // Released before anything that can fail or take time.
    (void)rig.setPtt(false);
    watchdog_->stop();
    restoreMode(rig);
}

void PttControl::restoreMode(rig::RigConnection& rig) {
    if (!modeChanged_)
        return;
    modeChanged_ = false;
    if (const double ms = rig::Caps(rig::ToModel(state_.RigModel)).modeAfterPttMs; ms > 0)
        platform_.waitMs(ms, false);
    (void)rig.setMode(savedMode_);
}

} // namespace tuning
