// The counter is the position: whatever writes the data register, the coil lines carry the code
// of the selected stepper's motor position, so no write ever turns a motor by a step nobody
// counted, and every step goes to a neighbouring code.
#include "AppFixture.h"
#include "display/DialView.h"
#include "display/WebcamWindow.h"
#include "port/CoilOutput.h"

namespace app_test {
namespace {

struct CoilCodeRule : AppFixture {
    std::vector<std::int64_t> positions; // the motor position at each write, in write order

    void trace() {
        positions.clear();
        lpt->traceWrites([this] {
            positions.push_back(state.PhasePosition());
            return 0.0;
        });
    }
    // Every traced write to the data register since trace(), checked; what wrote it named.
    void expectPositionCodes(const char* what) {
        const auto& writes = lpt->writes();
        for (std::size_t i = 0; i < writes.size(); ++i) {
            if (writes[i].address != 888)
                continue;
            EXPECT_EQ(writes[i].value & port::CoilMask, port::CoilCode(positions[i]))
                << what << ": write " << i << " of " << int(writes[i].value) << " at position "
                << positions[i];
        }
        trace();
    }
};

} // namespace

TEST_F(CoilCodeRule, everyWriterOfTheRegister_putsTheCodeOfTheCountersPosition) {
    firstStart();
    // As a start-up restores them: stepper 1 at 5 (code 1), stepper 2 at 6 (code 3), neither
    // code on the register yet.
    state.StepCounter = 5;
    state.StoredProfiles[1].StepCounter = 6;
    trace();

    form.mnuTarvex->trigger(); // "Both steppers and pin6": the main window built again
    form.mnuTarvex->trigger();
    expectPositionCodes("rebuilding the main window");
    EXPECT_TRUE(lpt->data(888) & 4) << "autopower keeps the driver on";

    form.chkAuto->click();
    form.chkFieldPower->click();
    form.chkFieldPower->click();
    form.chkAuto->click();
    platform.advance(22000); // autopower switches the driver off
    form.mnuLPT89->trigger();
    form.mnuLPT89->trigger();
    expectPositionCodes("the power commands");

    form.cmdCw->click();
    form.cmdCw->click();
    EXPECT_EQ(state.StepCounter, 7);
    expectPositionCodes("steps");

    form.mnuStepper12->trigger(); // to stepper 2, which has not run yet
    EXPECT_EQ(state.SelectedStepper, 1);
    form.cmdCw->click();
    form.mnuStepper12->trigger();
    EXPECT_EQ(state.SelectedStepper, 0);
    expectPositionCodes("switching the stepper");

    QTest::mouseClick(form.Image1, Qt::LeftButton);
    display::WebcamWindow* webcam = Shown<display::WebcamWindow>();
    ASSERT_TRUE(webcam);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(webcam, &activate);
    QTest::mouseClick(webcam->Picture1, Qt::LeftButton); // elevation: stepper 2
    QTest::mouseClick(webcam->Picture1, Qt::RightButton);
    QCoreApplication::sendEvent(webcam, &activate);
    webcam->close();
    expectPositionCodes("the webcam window");

    // The pin walk pulls every pin in turn; it ends on the position's code.
    form.cmdLptTest->click();
    EXPECT_EQ(lpt->data(888) & port::CoilMask, port::CoilCode(state.StepCounter));

    // The counter set by hand names where the motor stands: its code stays, and the next step
    // is one phase on.
    const int code = lpt->data(888) & port::CoilMask;
    platform.answerNextInput("10");
    form.mnuSet->trigger();
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_EQ(lpt->data(888) & port::CoilMask, code);
    trace();
    form.cmdCw->click();
    expectPositionCodes("a step after the counter was set");
    EXPECT_EQ(lpt->data(888) & port::CoilMask, port::CoilCode(state.PhasePosition()));
}

TEST_F(CoilCodeRule, aCounterSetKeepsItsCodeOverARestart_theDriverIsPoweredOnWhereTheMotorStands) {
    firstStart();
    for (int i = 0; i < 3; ++i)
        form.cmdCw->click();
    const int code = lpt->data(888) & port::CoilMask;
    ASSERT_EQ(code, port::CoilCode(3));
    platform.answerNextInput("100");
    form.mnuSet->trigger();
    ASSERT_EQ(state.StepCounter, 100);
    EXPECT_TRUE(file("Ventrolo.ini").contains("[stepper1]"));
    EXPECT_TRUE(file("Ventrolo.ini").contains("phaseOffset=3"));
    app.mainWindow().close();
    ASSERT_TRUE(app.exitDialog());
    QTest::mouseClick(app.exitDialog()->CmdNo, Qt::LeftButton);

    app_test::SecondRun second(dir.path());
    EXPECT_EQ(second.app.state().StepCounter, 100);
    EXPECT_EQ(second.app.station().lpt().Inp32(888) & port::CoilMask, code);
}

} // namespace app_test
