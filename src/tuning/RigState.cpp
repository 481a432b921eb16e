#include "tuning/RigState.h"

#include "core/TextRules.h"

namespace tuning {

template <typename T> void RigState::set(T& field, T value) {
    if (field == value)
        return;
    field = value;
    emit changed();
}

void RigState::follow(rig::RigConnection* link) {
    if (link == link_)
        return;
    if (link_) {
        disconnect(link_, nullptr, this, nullptr);
        if (kept_.insert_or_assign(link_, now_).second)
            connect(link_, &QObject::destroyed, this,
                    [this, gone = link_.data()] { kept_.erase(gone); });
    }
    link_ = link;
    const auto kept = kept_.find(link_);
    now_ = kept == kept_.end() ? Shown{} : kept->second;
    emit changed();
    if (!link_)
        return;
    using rig::RigConnection;
    connect(link_, &RigConnection::pttSwitched, this, [this](bool on) { set(now_.pttOn, on); });
    connect(link_, &RigConnection::modeSelected, this,
            [this](int index) { set(now_.modeIndex, index); });
    connect(link_, &RigConnection::dialLockSwitched, this,
            [this](bool on) { set(now_.dialLocked, on); });
    connect(link_, &RigConnection::powerSwitched, this, [this](bool on) { set(now_.powerOn, on); });
    connect(link_, &RigConnection::sMeterRead, this,
            [this](float value) { set(now_.sMeter, value); });
    connect(link_, &RigConnection::sMeterArrived, this, [this](std::optional<float> value) {
        if (value)
            set(now_.sMeter, *value);
    });
    connect(link_, &RigConnection::swrStateRead, this,
            [this](int state) { set(now_.swrState, state); });
    connect(link_, &RigConnection::frequencyShown, this, &RigState::showFrequency);
    connect(link_, &RigConnection::closed, this, &RigState::linkClosed);
    // A model with fewer modes has no button for a mode of the last one.
    connect(link_, &RigConnection::capabilitiesChanged, this, [this] {
        if (now_.modeIndex > link_->capabilities().modeNames.size())
            set(now_.modeIndex, 0);
    });
}

QString RigState::frequencyText() const {
    return now_.kHz == 0 ? QStringLiteral("-----.- kHz")
                         : core::PlainNumberText(now_.kHz) + QStringLiteral(" kHz");
}

bool RigState::powerOn() const {
    return now_.powerOn || !link_ || !link_->capabilities().powerSwitch;
}

void RigState::showFrequency(float kHz) {
    set(now_.kHz, kHz);
}

void RigState::resetSMeter() {
    set(now_.sMeter, 0.0f);
}

void RigState::resetSwrState() {
    set(now_.swrState, -1);
}

void RigState::linkClosed() {
    set(now_.pttOn, false);
    set(now_.powerOn, false);
    set(now_.kHz, 0.0f);
}

} // namespace tuning
