#include "display/LptPins.h"

#include "display/LptInputTest.h"
#include "display/LptOutputTest.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace display;

TEST(PinBoxes, makeTheRegisterValueAndAreReadBackFromIt) {
    PinBoxes boxes{};
    EXPECT_EQ(PinBoxesValue(boxes), 0);
    boxes[0] = boxes[2] = true; // "Pin2." and "Pin 4."
    EXPECT_EQ(PinBoxesValue(boxes), 5);
    for (int value = 0; value < 256; ++value)
        ASSERT_EQ(PinBoxesValue(PinBoxesOf(std::uint8_t(value))), value);
}

TEST(PinBoxes, combineWithTheStepperBitsWithoutCarryingOrWrapping) {
    // Stepper 2 with both drivers and pin 6 (28) plus the box of pin 6 (16) and coil code 3:
    // adding would give 47 and raise pin 7; the pins are 2, 3, 4, 5 and 6.
    EXPECT_EQ(CombineBits({3, 28, 16}), 31);
    // Every extra pin with both drivers: adding gives 271, which wraps to 15.
    EXPECT_EQ(CombineBits({3, 28, 240}), 255);
    EXPECT_EQ(CombineBits({0x1FF}), 0xFF);
}

TEST(PinBoxes, removingABitClearsItAndNeverSubtracts) {
    EXPECT_EQ(WithPin(0b0111, 2, false), 0b0011);
    EXPECT_EQ(WithPin(0b0011, 2, false), 0b0011); // not set: subtracting 4 would give 255
    EXPECT_EQ(WithPin(0xFF, 7, true), 0xFF);      // set twice is set once
    EXPECT_EQ(WithPin(0, 7, true), 128);
    EXPECT_EQ(WithPin(5, 8, true), 5); // no ninth pin
    EXPECT_EQ(WithPin(5, -1, false), 5);
}

TEST(StatusPins, decodeTheFiveInputsWithPinElevenInvertedByThePort) {
    auto pins = StatusPins(8); // bit 3 alone
    EXPECT_EQ(pins[0].pin, 15);
    EXPECT_TRUE(pins[0].set);
    EXPECT_TRUE(pins[0].high);
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(pins[i].set) << i;
    EXPECT_FALSE(pins[4].set);
    EXPECT_TRUE(pins[4].high); // busy reads 0 while pin 11 is high

    pins = StatusPins(128); // bit 7 alone
    EXPECT_EQ(pins[4].pin, 11);
    EXPECT_EQ(pins[4].value, 16);
    EXPECT_TRUE(pins[4].set);
    EXPECT_FALSE(pins[4].high);

    pins = StatusPins(0x07); // the low bits carry no input
    for (const auto& pin : pins)
        EXPECT_FALSE(pin.set) << pin.pin;
    EXPECT_EQ(StatusPins(0x78)[3].pin, 10);
    EXPECT_EQ(StatusPins(0x78)[3].value, 8);
}

TEST(StatusPins, valueTextAndSpinnerOfTheInputWindow) {
    EXPECT_EQ(StatusValueText(0xFF), QStringLiteral("b11111000D=31"));
    const QString expected[] = {"(\\)", "(-)", "(/)", "(-)", "(\\)", "(-)"};
    for (int reading = 1; reading <= 6; ++reading)
        EXPECT_EQ(SpinnerText(reading), expected[reading - 1]) << reading;
}

TEST(LptTests, anAddressBeyondTheStandardPortsReachesNoPort) {
    // A hand-edited Ventrolo.cfg: the output test writes nothing, the input test keeps its port.
    core::ProgramState state;
    state.LptAddress = 70000;
    port::SimulatedLpt lpt;
    testing_support::FakePlatform platform;
    lpt.Out32(888, 0x55);
    lpt.traceWrites();
    const port::StepperOutputs outputs = port::DefaultStepperOutputs();
    LptOutputTest output(state, lpt, platform, outputs);
    output.Open();
    EXPECT_EQ(output.boxes(), PinBoxes{});
    output.BoxClicked(7, true);
    output.BoxClicked(8, true); // no such box
    EXPECT_TRUE(lpt.writes().empty());
    EXPECT_EQ(state.LptExtraBits, 128);

    LptInputTest input(lpt);
    EXPECT_FALSE(input.SetLptPort(890));
    EXPECT_EQ(input.inPort(), 889);
    lpt.setStatus(888, 0x40); // pin 10
    EXPECT_EQ(input.GetLptInp().pinTexts[3], QStringLiteral("Pin 10=1"));
}

TEST(LptInputTest, everyCaptionTheFrameShowsIsOneTheWindowIsSizedFor) {
    port::SimulatedLpt lpt;
    LptInputTest input(lpt);
    const auto captions = LptInputTest::FrameCaptions();
    for (const core::Long port : LptInputTest::StatusAddresses) {
        ASSERT_TRUE(input.SetLptPort(port));
        for (int tick = 0; tick < 5; ++tick) {
            const QString shown = input.GetLptInp().frameCaption;
            EXPECT_NE(std::find(captions.begin(), captions.end(), shown), captions.end())
                << shown.toStdString();
        }
    }
}

TEST(LptOutputTest, theBoxesNameTheLinesOfTheStepDirDrivers) {
    core::ProgramState state;
    port::SimulatedLpt lpt;
    testing_support::FakePlatform platform;
    port::StepperOutputs outputs = port::DefaultStepperOutputs();
    const LptOutputTest phase(state, lpt, platform, outputs);
    EXPECT_EQ(phase.boxCaption(0), "Pin2.");
    EXPECT_EQ(phase.boxCaption(7), "Pin 9.");
    EXPECT_EQ(phase.boxToolTip(0), "D0");

    outputs[1].output = port::OutputKind::StepDir; // the test sees the wiring it is given
    outputs[1].dirBit = 4;
    EXPECT_EQ(phase.boxCaption(5), "Pin 7. STEP 2");
    EXPECT_EQ(phase.boxToolTip(3), "D3 ENABLE 2");
    EXPECT_EQ(phase.boxCaption(4), "Pin 6. DIR 2");
    EXPECT_EQ(phase.boxCaption(0), "Pin2.");

    // The transmit-inhibit line on pin 7, which the phase steppers leave free.
    const port::StepperOutputs phaseOutputs = port::DefaultStepperOutputs();
    port::InhibitSettings inhibit;
    inhibit.bit = 5;
    const LptOutputTest withLine(state, lpt, platform, phaseOutputs, inhibit);
    EXPECT_EQ(withLine.boxCaption(5), "Pin 7. TX inhibit");
    EXPECT_EQ(withLine.boxToolTip(5), "D5 TX inhibit");
    EXPECT_EQ(withLine.boxCaption(6), "Pin 8.");
}
