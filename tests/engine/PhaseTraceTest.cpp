// The coil code of the phase output, byte for byte and to the virtual millisecond, over a run of
// turns that goes through every kind of stepping: plain, ramped, overlay, a stop midway, a turn
// started inside another, the second stepper, a slow turn, parking at exit. The recorded trace
// was made by the step loop before it could run on the stepping thread; any change to what
// reaches the port shows here.
#include "EngineFixture.h"

#include <QFile>
#include <QTextStream>

using namespace engine_test;

namespace {

QString Trace(const port::SimulatedLpt& lpt) {
    QString text;
    QTextStream out(&text);
    for (const auto& w : lpt.writes())
        out << QString::number(w.atMs, 'f', 3) << ' ' << w.address << ' ' << w.value << '\n';
    return text;
}

struct PhaseTrace : EngineFixture {
    void runOfTurns() {
        state.MaxPosition = 2000;
        turnTo(120);                           // plain, 15 ms per step
        speedPanel.SpeedModulateClicked(true); // ramped
        turnTo(40);
        speedPanel.SpeedModulateClicked(false);
        state.OverlayMenu = state.OverlayOn = true;
        state.OverlaySteps = 6;
        turnTo(60); // the overlay taken up first
        turnTo(30); // and given back
        state.OverlayOn = false;
        platform.scheduleAt(platform.steadyMs() + 100,
                            [this] { engine.StopTurningAndFollowing(); });
        turnTo(400); // stopped midway
        platform.scheduleAt(platform.steadyMs() + 50, [this] { turnTo(10); });
        turnTo(300); // another turn started inside it
        engine.StepBy(-7, 0, engine::TurnOrigin::Window);
        engine.SwitchStepper(1);
        turnTo(25);
        engine.SwitchStepper(0);
        setSlowSpeed(1500);
        turnTo(state.StepCounter + 3); // slow turn on the timers
        platform.advance(6000);
        speedPanel.SpeedScrolled(10);
        state.NoYield = true;
        engine.ParkBothSteppers();
    }
};

TEST_F(PhaseTrace, aRunOfTurnsWritesTheRecordedCoilCodesAtTheRecordedTimes) {
    runOfTurns();
    const QString trace = Trace(lpt);
    if (const QByteArray path = qgetenv("VENTROLO_WRITE_TRACE"); !path.isEmpty()) {
        QFile file(QString::fromLocal8Bit(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(trace.toLatin1());
        return;
    }
    QFile recorded(QStringLiteral(VENTROLO_TEST_DATA "/phase-trace.txt"));
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly)) << recorded.fileName().toStdString();
    const QStringList expected = QString::fromLatin1(recorded.readAll()).split('\n');
    const QStringList actual = trace.split('\n');
    for (int i = 0; i < std::min(expected.size(), actual.size()); ++i)
        ASSERT_EQ(actual[i].toStdString(), expected[i].toStdString()) << "write " << i;
    EXPECT_EQ(actual.size(), expected.size());
}

} // namespace
