#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace panel {

// What the user chose at the end of the program.
enum class ExitChoice {
    Park,     // turn both steppers to their lower limits, then save and end
    SaveOnly, // save and end where they stand
};

// The park question at exit: one tick a second counts "Autoreset (5) Sec" down to
// "Autoreset (0) Sec" and parks at the sixth tick unless the user answered first.
// Exactly one decision is reported; after it the countdown and the answers are dead.
class ExitCountdown : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 1000;
    static constexpr core::Integer ParkTick = 6;

    // The lower limits of the two stored profiles, shown in the question.
    ExitCountdown(platform::Platform& platform, core::Long stepper1Min, core::Long stepper2Min,
                  QObject* parent = nullptr);
    ~ExitCountdown() override;

    // "Reset stepper1 to 0" CR LF CR LF "Reset stepper2 to 0".
    QString question() const;
    // "Steppers are turned to 0 and 0": shown while parking.
    QString parkMessage() const { return parkMessage_; }
    // "Autoreset" until the first tick, then the countdown, then the decision's text.
    QString countdownText() const { return countdownText_; }
    std::optional<ExitChoice> choice() const { return choice_; }

    // Starts the ticks (once; not after a decision).
    void start();
    void answerYes();
    void answerNo();

    // After the decision to park, while the rig transmits: "Parking waits for receive (10) Sec",
    // the seconds the park still waits; then parkMessage() again when it parks, or "Not parked:
    // the rig transmits" when it gave up.
    void showParkWait(int secondsLeft);
    void showParking() { setCountdownText(parkMessage_); }
    void showNotParked();

signals:
    void countdownTextChanged(const QString& text);
    // Emitted once, after countdownText() shows the decision's text.
    void decided(panel::ExitChoice choice);

private:
    void tick();
    void decide(ExitChoice choice, const QString& text);
    void setCountdownText(const QString& text);

    core::Long stepper1Min_;
    core::Long stepper2Min_;
    QString parkMessage_;
    QString countdownText_;
    std::unique_ptr<platform::Timer> timer_;
    core::Integer ticks_ = 0;
    bool started_ = false;
    std::optional<ExitChoice> choice_;
};

} // namespace panel
