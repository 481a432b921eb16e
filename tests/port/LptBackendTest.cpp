#include "port/LptBackendFactory.h"
#include "port/PortLogLpt.h"
#include "port/PpdevLpt.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <map>
#include <string>
#include <sys/ioctl.h>
#include <vector>

using namespace port;
using port::LptBackend;
using testing_support::FakePlatform;

namespace {

struct LptBackendTest : ::testing::Test {
    QTemporaryDir dir;
    FakePlatform platform;

    // Devices that do not exist: no parallel port on this machine.
    LptDevicePaths missingDevices() const {
        return {dir.filePath("parport0"), dir.filePath("parport1"), dir.filePath("parport2")};
    }
    LptBackendOptions options(LptBackend choice) const {
        return {choice, missingDevices(), {}, {}};
    }
};

} // namespace

TEST_F(LptBackendTest, autoWithoutAnyDevice_fallsBackToTheSimulatedPortSilently) {
    auto port = CreateLptBackend(options(LptBackend::Auto), platform);
    EXPECT_EQ(port->backendName(), "simulated");
    EXPECT_TRUE(platform.messages.empty());
    port->Out32(888, 7);
    EXPECT_EQ(port->Inp32(888), 7);
}

TEST_F(LptBackendTest, explicitPpdevOnAMissingDevice_saysWhyOnceAndGoesOnSimulated) {
    auto port = CreateLptBackend(options(LptBackend::Ppdev), platform);
    EXPECT_EQ(port->backendName(), "simulated");
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_TRUE(text.startsWith("cannot open " + dir.filePath("parport0") +
                                ": No such file or directory — "))
        << text.toStdString();
    EXPECT_TRUE(text.contains("group lp"));
    EXPECT_TRUE(text.contains("simulated port"));
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Exclamation);
}

TEST_F(LptBackendTest, aDeviceThatIsNoParallelPort_isNamedWithTheReasonItFailed) {
    test_support::WriteFile(dir.filePath("parport1"), {});
    const auto opened = PpdevLpt::open(missingDevices());
    EXPECT_FALSE(opened.port);
    ASSERT_EQ(opened.failures.size(), 3u);

    auto port = CreateLptBackend(options(LptBackend::Ppdev), platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    // The plain file opens but cannot be claimed: that says more than the missing devices.
    EXPECT_TRUE(platform.messages[0].text.startsWith("cannot claim " + dir.filePath("parport1")))
        << platform.messages[0].text.toStdString();
}

TEST_F(LptBackendTest, thePortLogAppendsOneLinePerDataWrite) {
    const QString logPath = dir.filePath("ports.log");
    test_support::WriteFile(logPath, "earlier run\n");
    platform.advance(1000); // the log counts from its own start
    auto opts = options(LptBackend::Simulated);
    opts.portLogFile = logPath;
    auto port = CreateLptBackend(opts, platform);
    platform.advance(12.345);
    port->Out32(888, 7);
    EXPECT_EQ(port->Inp32(888), 7);
    platform.advance(0.5);
    port->Out32(632, 255);
    EXPECT_EQ(test_support::ReadFile(logPath), "earlier run\n12.345 888 7\n12.845 632 255\n");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(LptBackendTest, aPortLogThatCannotBeOpened_isReportedAndThePortStillWorks) {
    auto opts = options(LptBackend::Simulated);
    opts.portLogFile = dir.filePath("no/such/dir/ports.log");
    auto port = CreateLptBackend(opts, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.startsWith("cannot open the port log"));
    port->Out32(888, 5);
    EXPECT_EQ(port->Inp32(888), 5);
}

TEST(PortLogLpt, aLogThatStopsTakingLines_isReportedOnceAndThePortGoesOn) {
    auto* buffer = new QBuffer;
    buffer->open(QIODevice::ReadOnly); // every write fails
    auto* inner = new SimulatedLpt;
    PortLogLpt port(std::unique_ptr<SimulatedLpt>(inner), std::unique_ptr<QBuffer>(buffer),
                    [] { return 0.0; });
    int failures = 0;
    port.onLogFailure = [&](const QString&) { ++failures; };
    port.Out32(888, 1);
    port.Out32(888, 2);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(inner->data(888), 2);
}

TEST_F(LptBackendTest, settingsFile_getsTheMissingKeysAndItsMappingIsUsed) {
    const QString ini = dir.filePath("Ventrolo.ini");
    {
        QSettings edit(ini, QSettings::IniFormat);
        edit.setValue("serial/COM1", "/dev/ttyUSB0"); // another group stays as it is
        edit.setValue("lpt/port888", "/dev/parport3");
    }
    const LptSettings read = ReadLptSettings(ini);
    EXPECT_EQ(read.devices.forAddress(888), "/dev/parport3");
    EXPECT_EQ(read.devices.forAddress(956), "/dev/parport1");
    EXPECT_EQ(read.devices.forAddress(889), "");
    EXPECT_EQ(read.backend, LptBackend::Auto);

    QSettings written(ini, QSettings::IniFormat);
    EXPECT_EQ(written.value("lpt/backend").toString(), "auto");
    EXPECT_EQ(written.value("lpt/port632").toString(), "/dev/parport2");
    EXPECT_EQ(written.value("serial/COM1").toString(), "/dev/ttyUSB0");
}

TEST_F(LptBackendTest, settingsFileEditedByHand_keepsItsCommentsWhenTheMissingKeysAreAdded) {
    const QString ini = dir.filePath("Ventrolo.ini");
    const QByteArray hand = "[lpt]\nbackend=ppdev   ; auto, sim, ppdev or direct\n"
                            "port888=/dev/parport3  ; the USB adapter\n# port956 unused\n";
    test_support::WriteFile(ini, hand);
    const LptSettings read = ReadLptSettings(ini);
    EXPECT_EQ(read.backend, LptBackend::Ppdev);
    EXPECT_EQ(read.devices.port888, "/dev/parport3");
    EXPECT_EQ(read.devices.port956, "/dev/parport1");
    EXPECT_TRUE(test_support::ReadFile(ini).startsWith(hand));
    EXPECT_EQ(ReadLptSettings(ini).devices.port632, "/dev/parport2");
}

TEST_F(LptBackendTest, settingsFileWithAHeaderRunOnByABackslash_getsTheMissingKeysOnce) {
    // Found by fuzzing: the header "[lpt\" runs on into the next line, so the file names no
    // backend; the backend added at the first start was missed at the next and added again.
    const QString ini = dir.filePath("Ventrolo.ini");
    test_support::WriteFile(ini, ";\n[lpt\\\nbackend=ppdev   ");
    EXPECT_EQ(ReadLptSettings(ini).backend, LptBackend::Auto);
    const QByteArray afterFirst = test_support::ReadFile(ini);
    const LptSettings second = ReadLptSettings(ini);
    EXPECT_EQ(second.backend, LptBackend::Auto);
    EXPECT_TRUE(second.problem.isEmpty());
    EXPECT_EQ(test_support::ReadFile(ini), afterFirst);
}

TEST_F(LptBackendTest, theCommandLineOverridesTheSettingsFileWhoseBadBackendIsReported) {
    const QString ini = dir.filePath("Ventrolo.ini");
    {
        QSettings edit(ini, QSettings::IniFormat);
        edit.setValue("lpt/backend", "usb");
    }
    core::CommandLineOptions commandLine;
    commandLine.lpt = "sim";
    core::SettingsReport report;
    EXPECT_EQ(LptOptionsFor(commandLine, ini, report).choice, LptBackend::Simulated);
    EXPECT_TRUE(report.isEmpty());
    EXPECT_FALSE(LptBackendFromText("usb"));
    EXPECT_EQ(LptBackendFromText("direct"), LptBackend::DirectIo);

    commandLine.lpt.clear();
    EXPECT_EQ(LptOptionsFor(commandLine, ini, report).choice, LptBackend::Auto);
    ASSERT_EQ(report.unused().size(), 1u);
    EXPECT_EQ(report.unused()[0].key, "lpt/backend");
    EXPECT_EQ(report.unused()[0].found, "usb");
    EXPECT_EQ(report.unused()[0].kept, "auto");
}

namespace {

// A ppdev device that works until writesLeft data writes have been made, then fails as a USB
// adapter pulled out does.
struct FailingDevice : PpdevCalls {
    int writesLeft = 2;
    int writes = 0;
    int open(const char*, int) override { return 42; }
    int ioctl(int, unsigned long request, void*) override {
        if (request != PPWDATA)
            return 0;
        ++writes;
        if (writesLeft-- > 0)
            return 0;
        errno = ENODEV;
        return -1;
    }
    int close(int) override { return 0; }
};

} // namespace

TEST(PpdevLpt, aDeviceFailingMidRun_isReportedOnceAndNoLongerDriven) {
    FailingDevice device;
    auto opened = PpdevLpt::open({"/dev/parport0", "", ""}, device);
    ASSERT_TRUE(opened.port);
    std::vector<QString> told;
    opened.port->onDeviceFailure = [&](const QString& text) { told.push_back(text); };
    EXPECT_TRUE(opened.port->driven());
    for (int i = 0; i < 5; ++i)
        opened.port->Out32(888, static_cast<std::uint8_t>(i));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].startsWith("cannot write /dev/parport0: No such device"));
    EXPECT_TRUE(told[0].contains("no longer driven"));
    EXPECT_EQ(device.writes, 3);         // not tried again after the failure
    EXPECT_FALSE(opened.port->driven()); // no step may be counted any more
    EXPECT_EQ(opened.port->Inp32(888), 0);
    EXPECT_EQ(opened.port->backendName(), "");
}

namespace {

// /dev/parport0 locked by another copy of the program: its claim would wait for ever.
struct HeldDevice : PpdevCalls {
    std::map<int, std::string> paths;
    std::vector<std::string> claimed;
    int open(const char* path, int) override {
        const int fd = 40 + int(paths.size());
        paths[fd] = path;
        return fd;
    }
    int flock(int fd, int) override {
        if (paths[fd] != "/dev/parport0")
            return 0;
        errno = EWOULDBLOCK;
        return -1;
    }
    int ioctl(int fd, unsigned long request, void*) override {
        if (request == PPCLAIM)
            claimed.push_back(paths[fd]);
        return 0;
    }
    int close(int) override { return 0; }
};

} // namespace

TEST(PpdevLpt, aPortAnotherCopyHolds_isNamedAtOnce_andTheOthersAreClaimed) {
    HeldDevice devices;
    const auto opened = PpdevLpt::open({"/dev/parport0", "/dev/parport1", ""}, devices);
    EXPECT_EQ(devices.claimed, std::vector<std::string>{"/dev/parport1"});
    ASSERT_EQ(opened.failures.size(), 1u);
    EXPECT_TRUE(opened.failures[0].text.startsWith("cannot lock /dev/parport0"));
    EXPECT_TRUE(opened.failures[0].text.contains("another copy of Ventrolo drives this port"))
        << opened.failures[0].text.toStdString();
}
