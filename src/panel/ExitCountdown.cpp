#include "panel/ExitCountdown.h"

#include "core/TextRules.h"

namespace panel {

ExitCountdown::ExitCountdown(platform::Platform& platform, core::Long stepper1Min,
                             core::Long stepper2Min, QObject* parent)
    : QObject(parent), stepper1Min_(stepper1Min), stepper2Min_(stepper2Min),
      parkMessage_("Steppers are turned to" + core::NumberText(stepper1Min) + " and" +
                   core::NumberText(stepper2Min)),
      countdownText_("Autoreset"), timer_(platform.createTimer([this] { tick(); })) {}

ExitCountdown::~ExitCountdown() = default;

QString ExitCountdown::question() const {
    return "Reset stepper1 to" + core::NumberText(stepper1Min_) + "\r\n\r\n" + "Reset stepper2 to" +
           core::NumberText(stepper2Min_);
}

void ExitCountdown::start() {
    if (started_ || choice_)
        return;
    started_ = true;
    timer_->start(TickMs);
}

void ExitCountdown::answerYes() {
    decide(ExitChoice::Park, parkMessage_);
}

void ExitCountdown::answerNo() {
    decide(ExitChoice::SaveOnly, QString());
}

void ExitCountdown::showParkWait(int secondsLeft) {
    setCountdownText("Parking waits for receive (" + QString::number(secondsLeft) + ") Sec");
}

void ExitCountdown::showNotParked() {
    setCountdownText("Not parked: the rig transmits");
}

void ExitCountdown::tick() {
    if (choice_)
        return;
    setCountdownText("Autoreset (" + QString::number(5 - ticks_) + ") " + "Sec");
    ++ticks_;
    if (ticks_ >= ParkTick)
        decide(ExitChoice::Park, parkMessage_);
}

void ExitCountdown::decide(ExitChoice choice, const QString& text) {
    if (choice_)
        return;
    choice_ = choice;
    timer_->stop();
    setCountdownText(text);
    emit decided(choice);
}

void ExitCountdown::setCountdownText(const QString& text) {
    countdownText_ = text;
    emit countdownTextChanged(text);
}

} // namespace panel
