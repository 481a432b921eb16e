#pragma once

#include "rig/SimulatedRig.h"

#include <QWidget>

class QCheckBox;
class QDial;
class QLabel;
class QPushButton;
class QSpinBox;

namespace table {

// The front panel of the simulated rig, shown in the table window while that link is chosen:
// its dial with a knob and step buttons, its own PTT (as if the microphone's were pressed) and
// its S-meter, so that following can be tried without a transceiver.
class SimulatedRigPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr double KnobStepKHz = 1; // one click of the knob

    explicit SimulatedRigPanel(rig::SimulatedRig& rig, QWidget* parent = nullptr);

    // Shows the dial as the rig has it now (the program may have tuned it).
    void render();

    QLabel* lblSimDial;
    QDial* dialSim;
    QPushButton* cmdSimDown10;
    QPushButton* cmdSimDown;
    QPushButton* cmdSimUp;
    QPushButton* cmdSimUp10;
    QCheckBox* chkSimTransmit;
    QSpinBox* spinSimSMeter;

private:
    void turn(double kHz);

    rig::SimulatedRig& rig_;
    int knob_ = 0;
};

} // namespace table
