#include "port/InputSimulation.h"

#include "port/LptBackendFactory.h"
#include "port/PortLogLpt.h"
#include "port/SimulatedLpt.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace port;

namespace {

// A port that is not the simulated one, as a hardware backend is.
struct HardwarePort : platform::LptPort {
    std::uint8_t status = 0;
    void Out32(std::uint16_t, std::uint8_t) override {}
    std::uint8_t Inp32(std::uint16_t address) override { return address == 889 ? status : 0; }
    QString backendName() const override { return QStringLiteral("hardware"); }
};

struct InputSimulationTest : ::testing::Test {
    core::ProgramState state;
    SimulatedLpt lpt;
    InputSimulation simulation{state, lpt};
    QSignalSpy openChanged{&simulation, &InputSimulation::openChanged};

    InputSimulationTest() { state.RemoteTurning = true; }
};

} // namespace

TEST_F(InputSimulationTest, inCentreModeTheSwitchButtonsAreTheCentreAndTheUnusedPin) {
    state.RemoteTurning = false;
    state.CenterSwitch = true;
    const auto buttons = simulation.buttons();
    EXPECT_EQ(buttons[2].caption(), "Center switch. Pin 12=0");
    EXPECT_EQ(buttons[3].name, "Not used.");
    EXPECT_EQ(buttons[3].value, 8);
    EXPECT_FALSE(buttons[0].enabled || buttons[1].enabled);
    EXPECT_TRUE(buttons[2].enabled && buttons[3].enabled);
}

TEST_F(InputSimulationTest, theMenuOpensOnlyWithAModeAndClosingEndsTheSimulation) {
    state.RemoteTurning = false;
    simulation.MenuClicked();
    EXPECT_FALSE(simulation.isOpen());
    EXPECT_EQ(openChanged.count(), 0);

    state.EndSwitches = true;
    simulation.MenuClicked();
    EXPECT_TRUE(simulation.isOpen());
    simulation.press(3);
    EXPECT_EQ(state.SimulatedInput, 8);
    simulation.MenuClicked();
    EXPECT_FALSE(simulation.isOpen());
    EXPECT_EQ(state.SimulatedInput, 0);
    EXPECT_EQ(lpt.Inp32(889), 0); // the held pin let go
    ASSERT_EQ(openChanged.count(), 2);
    EXPECT_EQ(openChanged[1][0].toBool(), false);
}

TEST_F(InputSimulationTest, onHardwareAPressOnlySetsTheSimulatedInput) {
    HardwarePort hardware;
    hardware.status = 4 * 8;
    InputSimulation onHardware{state, hardware};
    EXPECT_EQ(onHardware.buttons()[2].caption(), "Begin switch. Pin 12=1");
    onHardware.press(0);
    EXPECT_EQ(state.SimulatedInput, 1);
    // While a simulated value is pending it is what the inputs read.
    EXPECT_EQ(onHardware.buttons()[0].caption(), "Remote CCW. Pin 15=1");
    EXPECT_EQ(onHardware.buttons()[2].caption(), "Begin switch. Pin 12=0");
    EXPECT_EQ(hardware.status, 4 * 8);
}

TEST(SimulatedBackend, isFoundAlsoUnderAPortLog) {
    auto simulated = std::make_unique<SimulatedLpt>();
    SimulatedLpt* inner = simulated.get();
    auto log = std::make_unique<QBuffer>();
    log->open(QIODevice::WriteOnly);
    PortLogLpt logged(std::move(simulated), std::move(log), [] { return 0.0; });
    EXPECT_EQ(SimulatedBackend(logged), inner);
    HardwarePort hardware;
    EXPECT_EQ(SimulatedBackend(hardware), nullptr);
}
