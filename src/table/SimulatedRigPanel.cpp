#include "table/SimulatedRigPanel.h"

#include <QCheckBox>
#include <QDial>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace table {

namespace {

constexpr int KnobClicks = 50; // clicks of the knob per turn

} // namespace

SimulatedRigPanel::SimulatedRigPanel(rig::SimulatedRig& rig, QWidget* parent)
    : QWidget(parent), rig_(rig) {
    setObjectName(QStringLiteral("SimulatedRigPanel"));
    lblSimDial = new QLabel;
    lblSimDial->setObjectName(QStringLiteral("lblSimDial"));
    lblSimDial->setToolTip(QStringLiteral("The simulated rig's dial."));
    QFont font = lblSimDial->font();
    font.setPointSize(font.pointSize() + 3);
    font.setBold(true);
    lblSimDial->setFont(font);
    dialSim = new QDial;
    dialSim->setObjectName(QStringLiteral("dialSim"));
    dialSim->setToolTip(QStringLiteral("Turn the rig's dial: 1 kHz a click."));
    dialSim->setAccessibleName(QStringLiteral("Rig's dial"));
    dialSim->setRange(0, KnobClicks - 1);
    dialSim->setWrapping(true);
    dialSim->setNotchesVisible(true);
    dialSim->setFixedSize(64, 64);
    auto step = [this](const char* name, const char* caption, double kHz) {
        auto* button = new QPushButton(QString::fromLatin1(caption));
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        button->setToolTip(QStringLiteral("Turn the rig's dial by %1 kHz.").arg(kHz));
        connect(button, &QPushButton::clicked, this, [this, kHz] { turn(kHz); });
        return button;
    };
    cmdSimDown10 = step("cmdSimDown10", "-10", -10);
    cmdSimDown = step("cmdSimDown", "-1", -1);
    cmdSimUp = step("cmdSimUp", "+1", 1);
    cmdSimUp10 = step("cmdSimUp10", "+10", 10);
    chkSimTransmit = new QCheckBox(QStringLiteral("Rig's own PTT"));
    chkSimTransmit->setObjectName(QStringLiteral("chkSimTransmit"));
    chkSimTransmit->setToolTip(QStringLiteral("The rig transmits, as if its microphone's PTT "
                                              "were pressed."));
    spinSimSMeter = new QSpinBox;
    spinSimSMeter->setObjectName(QStringLiteral("spinSimSMeter"));
    spinSimSMeter->setRange(0, 15);
    spinSimSMeter->setPrefix(QStringLiteral("S-meter "));
    spinSimSMeter->setAccessibleName(QStringLiteral("S-meter"));

    connect(dialSim, &QDial::valueChanged, this, [this](int value) {
        // The shorter way round the wrapping knob is the way it was turned.
        int clicks = value - knob_;
        if (clicks > KnobClicks / 2)
            clicks -= KnobClicks;
        else if (clicks < -KnobClicks / 2)
            clicks += KnobClicks;
        knob_ = value;
        turn(clicks * KnobStepKHz);
    });
    connect(chkSimTransmit, &QCheckBox::toggled, this, [this](bool on) {
        rig_.rig().setTransmit(on);
        render();
    });
    connect(spinSimSMeter, &QSpinBox::valueChanged, this,
            [this](int value) { rig_.rig().setSMeter(value); });

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblSimDial, 0, 0, 1, 4);
    grid->addWidget(dialSim, 0, 4, 2, 1);
    grid->addWidget(cmdSimDown10, 1, 0);
    grid->addWidget(cmdSimDown, 1, 1);
    grid->addWidget(cmdSimUp, 1, 2);
    grid->addWidget(cmdSimUp10, 1, 3);
    grid->addWidget(chkSimTransmit, 2, 0, 1, 2);
    grid->addWidget(spinSimSMeter, 2, 2, 1, 3);
    render();
}

void SimulatedRigPanel::turn(double kHz) {
    rig_.rig().turnDial(kHz);
    render();
}

void SimulatedRigPanel::render() {
    const rig::RigEmulator& rig = rig_.rig();
    QString text = QString::number(rig.frequency(), 'f', 2) + QStringLiteral(" kHz");
    if (rig.locked())
        text += QStringLiteral("  (dial locked)");
    if (rig.transmitting())
        text += QStringLiteral("  TX");
    lblSimDial->setText(text);
    const QSignalBlocker quiet(spinSimSMeter);
    spinSimSMeter->setValue(rig.sMeter());
}

} // namespace table
