#include "port/GpioLpt.h"

#include "port/InhibitSettings.h"
#include "port/LptBackendFactory.h"
#include "port/LptSettings.h"
#include "port/SerializedLpt.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace port;
using testing_support::FakePlatform;

namespace {

// A GPIO chip without hardware.
//   refuse        - the failure request() gives (errorNumber 0: the lines are granted)
//   asked         - the request made
//   outputs       - the levels last driven
//   inputs        - the levels the input lines read
//   writesLeft    - output writes that succeed before the chip fails as a pulled cable would
//   held          - the lines are held (not given back)
struct FakeGpio : GpioCalls {
    GpioFailure refuse;
    GpioRequest asked;
    std::vector<int> outputs;
    std::vector<int> inputs;
    int writesLeft = 1000;
    int writes = 0;
    bool held = false;

    struct Lines : GpioLines {
        FakeGpio& chip;
        explicit Lines(FakeGpio& c) : chip(c) { chip.held = true; }
        ~Lines() override { chip.held = false; }
        bool setOutputs(const std::vector<int>& levels) override {
            ++chip.writes;
            if (chip.writesLeft-- <= 0) {
                errno = ENODEV;
                return false;
            }
            chip.outputs = levels;
            return true;
        }
        bool readInputs(std::vector<int>& levels) override {
            levels = chip.inputs;
            return true;
        }
    };

    std::unique_ptr<GpioLines> request(const GpioRequest& r, GpioFailure& failure) override {
        asked = r;
        if (refuse.errorNumber != 0) {
            failure = refuse;
            return nullptr;
        }
        inputs.assign(r.inputs.size(), 1);
        return std::make_unique<Lines>(*this);
    }
};

std::unique_ptr<GpioLpt> Opened(FakeGpio& chip, const GpioPinMap& map = {}) {
    auto opened = GpioLpt::open(map, chip);
    EXPECT_TRUE(opened.failure.isEmpty()) << opened.failure.toStdString();
    return std::move(opened.port);
}

} // namespace

TEST(GpioLpt, dataBitsDriveTheirLinesAndTheStatusReadsAsAPcPortWould) {
    FakeGpio chip;
    auto port = Opened(chip);
    ASSERT_TRUE(port);
    EXPECT_EQ(chip.asked.chip, "gpiochip0");
    EXPECT_EQ(chip.asked.outputs.size(), 8u);
    EXPECT_EQ(chip.asked.inputs.size(), 5u);
    EXPECT_EQ(port->backendName(), "GPIO gpiochip0");

    port->Out32(888, 0b1010'0101);
    EXPECT_EQ(chip.outputs, (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1}));
    EXPECT_EQ(port->Inp32(888), 0b1010'0101);

    // All pins high (the pull-ups of an unwired header): 120, as an unconnected PC port.
    EXPECT_EQ(port->Inp32(889), 120);
    chip.inputs = {0, 0, 0, 0, 0};
    EXPECT_EQ(port->Inp32(889), 128); // pin 11 low reads as the inverted bit set
    chip.inputs = {1, 0, 0, 1, 0};    // S3 and S6: remote CCW and the end switch
    EXPECT_EQ(port->Inp32(889) / 8, 1 + 8 + 16);
}

TEST(GpioLpt, theHeaderAnswersAtEveryStandardPortAndBitsWithoutALineAreLeftOut) {
    FakeGpio chip;
    GpioPinMap map;
    map.chip = "/dev/gpiochip4";
    map.data[5] = GpioNotConnected;
    map.status[1] = GpioNotConnected; // S4 reads as an open input: high
    map.status[4] = GpioNotConnected; // S7 open: the inverted bit reads 0
    map.bias = GpioBias::PullDown;
    auto port = Opened(chip, map);
    ASSERT_TRUE(port);
    EXPECT_EQ(chip.asked.outputs.size(), 7u);
    EXPECT_EQ(chip.asked.inputs.size(), 3u);
    EXPECT_EQ(chip.asked.bias, GpioBias::PullDown);

    port->Out32(956, 0xFF);
    EXPECT_EQ(chip.outputs, std::vector<int>(7, 1));
    port->Out32(632, 0b0010'0000); // only the bit without a line
    EXPECT_EQ(chip.outputs, std::vector<int>(7, 0));
    port->Out32(890, 0xFF); // a control register, or no port at all: not the header
    port->Out32(1000, 0xFF);
    EXPECT_EQ(chip.outputs, std::vector<int>(7, 0));
    EXPECT_EQ(chip.writes, 2);

    chip.inputs = {0, 0, 0};
    EXPECT_EQ(port->Inp32(633), 16);
    EXPECT_EQ(port->Inp32(957), 16);
    EXPECT_EQ(port->Inp32(890), 0);
}

TEST(GpioLpt, anInhibitLineOnADataBitWithoutALine_isRefusedAtTheStart_notWrittenToNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(file, "[inhibit]\nline=D5\n");
    FakeGpio chip;
    GpioPinMap map;
    map.data[5] = GpioNotConnected;
    const SerializedLpt port(Opened(chip, map)); // as the program shares it
    EXPECT_FALSE(port.drivesDataBit(5));
    EXPECT_TRUE(port.drivesDataBit(6));

    core::SettingsReport report;
    EXPECT_FALSE(ReadInhibitSettings(file, DefaultStepperOutputs(), &report, &port).bit);
    EXPECT_EQ(report.text(), file + ": [inhibit] line=D5 (GPIO gpiochip0 has no line for it) "
                                    "cannot be used; none is used instead.");

    // A bit with its line, and any bit of the simulated port, is the line.
    test_support::WriteFile(file, "[inhibit]\nline=D6\n");
    core::SettingsReport none;
    EXPECT_EQ(ReadInhibitSettings(file, DefaultStepperOutputs(), &none, &port).bit, 6);
    test_support::WriteFile(file, "[inhibit]\nline=D5\n");
    const SimulatedLpt simulated;
    EXPECT_EQ(ReadInhibitSettings(file, DefaultStepperOutputs(), &none, &simulated).bit, 5);
    EXPECT_TRUE(none.isEmpty()) << none.text().toStdString();
}

TEST(GpioLpt, linesThatCannotBeHadSayWhyAndWhatToDo) {
    FakeGpio chip;
    chip.refuse = {"open", EACCES};
    auto opened = GpioLpt::open({}, chip);
    EXPECT_FALSE(opened.port);
    EXPECT_TRUE(opened.failure.startsWith("cannot open gpiochip0: Permission denied — add your "
                                          "user to group gpio"))
        << opened.failure.toStdString();

    chip.refuse = {"request the lines of", EBUSY};
    opened = GpioLpt::open({}, chip);
    EXPECT_TRUE(opened.failure.startsWith("cannot request the lines of gpiochip0: Device or "
                                          "resource busy — another program or a driver"));

    // A map the user got wrong never reaches the chip.
    chip.asked = {};
    GpioPinMap wrong;
    wrong.problem = "Ventrolo.ini: [gpio] D3=x is no line number";
    opened = GpioLpt::open(wrong, chip);
    EXPECT_EQ(opened.failure, wrong.problem);
    EXPECT_TRUE(chip.asked.chip.isEmpty());
}

TEST(GpioLpt, linesFailingMidRun_areReportedOnceGivenBackAndNoLongerDriven) {
    FakeGpio chip;
    chip.writesLeft = 2;
    auto port = Opened(chip);
    std::vector<QString> told;
    port->onDeviceFailure = [&](const QString& text) { told.push_back(text); };
    for (int i = 0; i < 5; ++i)
        port->Out32(888, static_cast<std::uint8_t>(i));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].startsWith("cannot write gpiochip0: No such device"));
    EXPECT_TRUE(told[0].contains("no longer driven"));
    EXPECT_EQ(chip.writes, 3);
    EXPECT_FALSE(chip.held);
    EXPECT_FALSE(port->driven());
    EXPECT_EQ(port->Inp32(889), 0);
    EXPECT_EQ(port->backendName(), "");
}

TEST(GpioPinMap, missingKeysAreWrittenAndEveryMistakeIsNamed) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Ventrolo.ini");
    auto write = [&](const char* key, const QVariant& value) {
        QSettings edit(file, QSettings::IniFormat);
        if (value.isValid())
            edit.setValue(QStringLiteral("gpio/") + key, value);
        else
            edit.remove(QStringLiteral("gpio/") + key);
    };
    write("D0", "GPIO5");
    write("S3", "none");
    write("bias", "Pull-Down");
    const GpioPinMap map = ReadLptSettings(file).gpio;
    EXPECT_TRUE(map.problem.isEmpty()) << map.problem.toStdString();
    EXPECT_EQ(map.data[0], 5);
    EXPECT_EQ(map.status[0], GpioNotConnected); // so GPIO5 is free for D0
    EXPECT_EQ(map.bias, GpioBias::PullDown);
    {
        const QSettings ini(file, QSettings::IniFormat);
        EXPECT_EQ(ini.value("gpio/chip").toString(), "gpiochip0");
        EXPECT_EQ(ini.value("gpio/D7").toString(), QString::number(GpioPinMap().data[7]));
    }

    auto problemWith = [&](const char* key, const QVariant& value) {
        write(key, value);
        const QString problem = ReadLptSettings(file).gpio.problem;
        write(key, QVariant());
        return problem;
    };
    EXPECT_EQ(problemWith("D3", "x17"),
              file + ": [gpio] D3=x17 is no line number; give one such as 17, or none");
    EXPECT_TRUE(problemWith("S5", "18").endsWith("[gpio] D1 and S5 both use line 18"));
    EXPECT_TRUE(problemWith("bias", "strong").contains("bias=strong"));
    // A value QSettings reads as a list is reported whole, not replaced by the default.
    EXPECT_TRUE(problemWith("D2", QStringList{"17", "18"}).contains("D2=17,18"));
}

TEST(GpioPinMap, aBlankLineIsMissing_aBadBiasIsToldWhenTheBackendOpens_notInTheReport) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Ventrolo.ini");
    const QByteArray hand = "[gpio]\nchip=gpiochip1\nD1=\nbias=Strong\n";
    test_support::WriteFile(file, hand);
    core::SettingsReport report;
    const GpioPinMap map = LptOptionsFor({}, file, report).gpio;
    EXPECT_TRUE(report.isEmpty()) << report.text().toStdString();
    EXPECT_EQ(map.problem, file + ": [gpio] bias=strong is not one of pull-up, pull-down, none");
    EXPECT_EQ(map.chip, "gpiochip1");
    EXPECT_EQ(map.data[1], 18);
    EXPECT_EQ(map.bias, GpioBias::PullUp);
    // The blank D1 and the missing keys go into a group of their own after [lpt]'s; the bad
    // bias stays for the user to mend.
    const QByteArray written = test_support::ReadFile(file);
    EXPECT_TRUE(written.startsWith(hand + "\n[lpt]\nbackend=auto\n")) << written.constData();
    EXPECT_TRUE(written.endsWith("\n[gpio]\nD0=17\nD1=18\nD2=27\nD3=22\nD4=23\nD5=24\nD6=25\n"
                                 "D7=4\nS3=5\nS4=6\nS5=12\nS6=13\nS7=26\n"))
        << written.constData();
}

TEST(GpioLpt, chosenInTheSettingsOnAMachineWithoutTheChip_saysWhyAndGoesOnSimulated) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Ventrolo.ini");
    {
        QSettings ini(file, QSettings::IniFormat);
        ini.setValue("lpt/backend", "gpio");
        ini.setValue("gpio/chip", dir.filePath("gpiochip0"));
    }
    FakePlatform platform;
    core::SettingsReport report;
    const LptBackendOptions options = LptOptionsFor({}, file, report);
    EXPECT_TRUE(report.isEmpty());
    EXPECT_EQ(options.choice, LptBackend::Gpio);
    auto port = CreateLptBackend(options, platform); // the real library, on no chip
    EXPECT_EQ(port->backendName(), "simulated");
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_TRUE(text.startsWith("cannot open " + dir.filePath("gpiochip0") + ": "))
        << text.toStdString();
    EXPECT_TRUE(text.contains("simulated port"));
}
