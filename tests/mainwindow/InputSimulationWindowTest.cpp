#include "mainwindow/InputSimulationWindow.h"

#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using mainwindow::InputSimulationWindow;

namespace {

struct InputSimulationWindowTest : ::testing::Test {
    core::ProgramState state;
    testing_support::FakePlatform platform;
    port::SimulatedLpt lpt;
    port::InputSimulation simulation{state, lpt};
    QPointer<InputSimulationWindow> window;

    InputSimulationWindowTest() {
        state.RemoteTurning = true;
        simulation.MenuClicked();
        window = new InputSimulationWindow(simulation, platform);
        window->show();
    }
    ~InputSimulationWindowTest() override { delete window; }
    QPushButton* button(int i) const { return window->buttons[static_cast<std::size_t>(i)]; }
};

} // namespace

TEST_F(InputSimulationWindowTest, aHeldButtonSetsTheInputAndShowsItsPinUntilReleased) {
    EXPECT_FALSE(button(2)->isEnabled()) << "the switches are off";
    QTest::mousePress(button(1), Qt::LeftButton);
    EXPECT_EQ(state.SimulatedInput, 2);
    EXPECT_EQ(button(1)->text(), "Remote CW. Pin 13=1");
    state.SimulatedInput = 0; // used up by a remote step
    QTest::mouseRelease(button(1), Qt::LeftButton);
    EXPECT_EQ(button(1)->text(), "Remote CW. Pin 13=0");
    EXPECT_EQ(lpt.Inp32(889), 0);

    lpt.setStatus(888, 8 * 8); // a wire on pin 10 shows up at the next refresh
    platform.advance(500);
    EXPECT_EQ(button(3)->text(), "End switch. Pin 10=1");
}

TEST_F(InputSimulationWindowTest, minimisedItReadsNothing_shownAgainItShowsTheLevelsAtOnce) {
    window->hide();
    lpt.setStatus(888, 8 * 8);
    platform.advance(2000);
    EXPECT_EQ(button(3)->text(), "End switch. Pin 10=0") << "not refreshed while hidden";
    window->show();
    EXPECT_EQ(button(3)->text(), "End switch. Pin 10=1");
    lpt.setStatus(888, 0);
    platform.advance(500);
    EXPECT_EQ(button(3)->text(), "End switch. Pin 10=0");
}

TEST_F(InputSimulationWindowTest, closingEndsTheSimulationAndTheWindow) {
    // What ending the simulation lets go is the simulation's own test.
    QTest::mousePress(button(0), Qt::LeftButton);
    ASSERT_EQ(state.SimulatedInput, 1);
    window->close();
    EXPECT_FALSE(simulation.isOpen());
    EXPECT_EQ(state.SimulatedInput, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}
