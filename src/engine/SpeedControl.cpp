#include "engine/SpeedControl.h"

#include "core/TextRules.h"

#include <algorithm>

namespace engine {

namespace {

QString Seconds(core::Long ms) {
    return core::PlainNumberText(static_cast<double>(ms) / 1000.0);
}

// " .015" -> " .015", " 1" -> " 1.000", " 1.5" -> " 1.500".
QString ThreeDecimals(QString text) {
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text + QStringLiteral(".000");
    while (text.size() - point - 1 < 3)
        text += QLatin1Char('0');
    return text;
}

} // namespace

SpeedControl::SpeedControl(core::ProgramState& state) : state_(state) {}

QString SpeedControl::speedButtonCaption() const {
    return fastMode_ ? QStringLiteral("Fa&st") : QStringLiteral("Cu&stom");
}

void SpeedControl::setRange(core::Long minimum, core::Long maximum) {
    bar_.minimum = minimum;
    bar_.maximum = std::max(minimum, maximum);
    bar_.value = std::clamp(bar_.value, bar_.minimum, bar_.maximum);
}

void SpeedControl::setScrollValue(core::Long value) {
    bar_.value = std::clamp(value, bar_.minimum, bar_.maximum);
}

void SpeedControl::setSpeedModulateTicked(bool ticked) {
    speedModulateTicked_ = ticked;
    told();
}

void SpeedControl::InitSpeed() {
    fastMode_ = false;
    speedModulateTicked_ = state_.SpeedModulate;
    setRange(state_.FastestDelayMs, state_.SlowestDelayMs);
    setScrollValue(state_.CustomDelayMs);
    SetSpeed();
}

void SpeedControl::SetSpeed() {
    texts_.slowestField = Seconds(state_.SlowestDelayMs);
    texts_.fastestField = Seconds(state_.FastestDelayMs);
    setRange(state_.FastestDelayMs, state_.SlowestDelayMs);
    texts_.slowLabel = texts_.slowestField + QStringLiteral(" Sec");
    texts_.fastLabel = texts_.fastestField + QStringLiteral(" Sec");
    if (!(fastMode_ && bar_.value == state_.FastestDelayMs)) {
        const core::Long v = bar_.value;
        if (v < state_.SlowestDelayMs) {
            state_.CustomDelayMs = std::max(v, state_.FastestDelayMs);
            bar_.value = state_.CustomDelayMs;
        } else {
            state_.CustomDelayMs = state_.SlowestDelayMs;
            bar_.value = state_.CustomDelayMs;
        }
        fastMode_ = state_.CustomDelayMs == state_.FastestDelayMs;
        state_.StepDelayMs = state_.CustomDelayMs;
        bar_.smallChange = state_.CustomDelayMs < 1000 ? 1 : state_.CustomDelayMs < 2000 ? 10 : 100;
    }
    showTexts();
    UpdateSpeedModulateCheck();
    told();
}

void SpeedControl::ShowSpeed() {
    showTexts();
    told();
}

void SpeedControl::showTexts() {
    const core::Long delay = state_.StepDelayMs;
    double rpm = 0;
    if (state_.StepsPer360 > 1 && delay >= 1)
        rpm = 60.0 / (static_cast<double>(state_.StepsPer360) * delay * 0.001);
    if (rpm >= 1) {
        QString text = core::PlainNumberText(core::RoundHalfEven(rpm, 1));
        if (!text.contains(QLatin1Char('.')))
            text += QStringLiteral(".0");
        texts_.rpmLabel = text + QStringLiteral(" Rpm");
    }
    if (rpm <= 1)
        texts_.rpmLabel = QStringLiteral("Slow");
    if (delay == 0)
        texts_.rpmLabel = QStringLiteral("Fast");
    texts_.speedLabel = QStringLiteral("Stepspeed ") +
                        ThreeDecimals(core::NumberText(static_cast<double>(delay) * 0.001)) +
                        QStringLiteral(" Sec");
}

void SpeedControl::UpdateSpeedModulateCheck() {
    speedModulateVisible_ = !fastMode_ && state_.StepDelayMs < 1001;
    state_.SpeedModulate = speedModulateVisible_ && speedModulateTicked_;
}

void SpeedControl::ToggleFastCustom() {
    if (!fastMode_) {
        fastMode_ = true;
        bar_.value = state_.FastestDelayMs;
        state_.StepDelayMs = state_.FastestDelayMs;
    } else {
        fastMode_ = false;
        state_.CustomDelayMs = std::max(state_.CustomDelayMs, state_.FastestDelayMs);
        state_.StepDelayMs = state_.CustomDelayMs;
        bar_.value = state_.CustomDelayMs;
    }
    showTexts();
    // Fast mode never ramps: without this a ramp planned from the custom speed would end
    // each turn on the custom delay and leave "Fa&st" turning slowly.
    UpdateSpeedModulateCheck();
    told();
}

} // namespace engine
