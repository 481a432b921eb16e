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
            positions.push_back(std::int64_t{state.StepCounter} + state.OverlayPosition);
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

    // The counter set by hand: the shaft stands where the new counter says, its code follows.
    platform.answerNextInput("10");
    form.mnuSet->trigger();
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_EQ(lpt->data(888) & port::CoilMask, port::CoilCode(10));
}

} // namespace app_test
