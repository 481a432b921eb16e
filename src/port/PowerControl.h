#pragma once

#include "core/ProgramState.h"
#include "port/CoilOutput.h"

#include <QObject>
#include <QString>

namespace port {

// The driver-enable rules and the state of the main window's "Autopower" and "Fieldpower"
// boxes. Callers stop any turn first where the user changes a box; the window renders
// autoPowerTicked(), autoPowerCaption(), fieldPowerTicked() and fieldPowerVisible().
//
// With autopower (AutoPower = 1) the enable bits go off after 20 seconds without a step; with
// manual power the "Fieldpower" box switches them. A turn always enables the driver.
// Whoever changes the power (the user's boxes, the housekeeping, a turn, the pin walk), the one
// signal changed() tells the window; the once-a-second housekeeping only when what the boxes
// show changed.
class PowerControl : public QObject {
    Q_OBJECT

public:
    // Idle seconds after which autopower switches the drivers off.
    static constexpr int AutoPowerOffSeconds = 20;

    PowerControl(core::ProgramState& state, CoilOutput& coil);

    bool autoPowerTicked() const { return state_.AutoPower == 1; }
    const QString& autoPowerCaption() const { return autoPowerCaption_; }
    // The caption while autopower counts down: "Autopower (20 Sec.)".
    static QString CountdownCaption(int secondsLeft);
    bool fieldPowerTicked() const { return fieldPowerTicked_; }
    bool fieldPowerVisible() const { return !autoPowerTicked(); }
    // The drivers are meant to be on: autopower or field power is ticked.
    bool powerWanted() const { return autoPowerTicked() || fieldPowerTicked_; }
    int idleSeconds() const { return idleSeconds_; }

    // Start-up and every rebuild of the main window: the selected driver enabled with
    // autopower and left off with manual power, on the code of the stepper's position, in one
    // write.
    void ApplyStartUpPower();
    // Before a turn: with neither box ticked, ticks "Fieldpower", which enables the driver.
    // Returns true when it did.
    bool EnsureTurnPower();
    // The "Autopower" box ticked or unticked by the user.
    void SetAutoPower(bool ticked);
    // The "Fieldpower" box ticked or unticked by the user (slow turns stopped by the caller).
    void SetFieldPower(bool ticked);
    // The drivers were switched off on the register by other means (the pin walk): the
    // "Fieldpower" box shows it.
    void DriversWentOff();
    // The power part of the one-second housekeeping: restarts the idle count after a step,
    // shows the countdown and switches the drivers off once the count reaches 20. Nothing
    // counts while a slow turn runs.
    void HousekeepingTick(bool slowTurnRunning);

signals:
    // What the boxes show changed: autoPowerTicked(), autoPowerCaption(), fieldPowerTicked().
    void changed();

private:
    struct Shown {
        bool autoTicked;
        QString autoCaption;
        bool fieldTicked;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() const { return {autoPowerTicked(), autoPowerCaption_, fieldPowerTicked_}; }
    void tellIfChanged(const Shown& before);
    void writeWithStepperBits(bool on);

    core::ProgramState& state_;
    CoilOutput& coil_;
    QString autoPowerCaption_ = QStringLiteral("Autopower");
    bool fieldPowerTicked_ = false;
    int idleSeconds_ = 0;
};

} // namespace port
