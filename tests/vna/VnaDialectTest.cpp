// Both dialects against emulated devices on the virtual clock: found by what they answer,
// swept in each firmware family's form, and every fault an error, never a sweep.
#include "EmulatedPort.h"
#include "NanoVnaEmulator.h"
#include "support/FakePlatform.h"
#include "vna/DetectedVna.h"
#include "vna/LoopModel.h"

#include <gtest/gtest.h>

using namespace vna;
using namespace vna_test;

namespace {

class VnaDialectTest : public ::testing::Test {
protected:
    // The emulated device measures the modelled loop, without noise.
    Antenna antenna() {
        return [this](double hz) { return loop.s11(hz); };
    }
    // The VNA on an emulated port; the port stays the test's to unplug.
    std::unique_ptr<DetectedVna> connect(EmulatedDevice& device, Dialect dialect = Dialect::Auto) {
        auto owned = std::make_unique<EmulatedPort>(platform, device);
        port = owned.get();
        return std::make_unique<DetectedVna>(std::move(owned), platform, "/dev/ttyACM0", dialect);
    }
    // Every valid point as the loop reflects it at the point's frequency.
    void expectLoop(const Sweep& sweep, const SweepRequest& request) {
        ASSERT_EQ(int(sweep.size()), request.points);
        EXPECT_NEAR(sweep.front().hz, request.startHz, 1);
        EXPECT_NEAR(sweep.back().hz, request.stopHz, request.points);
        for (const SweepPoint& point : sweep) {
            if (point.valid) {
                EXPECT_NEAR(std::abs(point.s11 - loop.s11(point.hz)), 0, 2e-6) << point.hz;
            }
        }
    }

    testing_support::FakePlatform platform;
    LoopModel loop{LoopParameters{.noise = 0}, 1000};
    EmulatedPort* port = nullptr;
    const SweepRequest request{7'000'000, 7'200'000, 101};
};

} // namespace

TEST_F(VnaDialectTest, shellH4_foundByItsPrompt_sweptInBinary_resumedAtClosing) {
    ShellEmulator h4(ShellFirmware::H4(), antenna());
    auto vna = connect(h4);
    const auto identity = vna->open();
    ASSERT_TRUE(identity.ok()) << identity.error.toStdString();
    EXPECT_EQ(identity.value->name, "NanoVNA-H 4 1.2.27");
    EXPECT_EQ(identity.value->maxPoints, 401);
    EXPECT_TRUE(h4.paused);
    const double before = platform.steadyMs();
    const auto sweep = vna->sweep(request);
    ASSERT_TRUE(sweep.ok()) << sweep.error.toStdString();
    expectLoop(*sweep.value, request);
    EXPECT_EQ(h4.commandsHeard.last(), "scan_bin 7000000 7200000 101 3");
    EXPECT_GE(platform.steadyMs() - before, 101 * 5.4); // the sweep's own time was waited
    EXPECT_NE(h4.ownSweep, "50000 900000000 201");
    vna->close();
    EXPECT_FALSE(h4.paused);
    EXPECT_EQ(h4.ownSweep, "50000 900000000 201"); // its own range given back
}

TEST_F(VnaDialectTest, shellFamilies_textScanWithMask_olderScanThenData_decimalComma) {
    ShellEmulator original(ShellFirmware::Original(), antenna());
    auto first = connect(original);
    const auto identity = first->open();
    ASSERT_TRUE(identity.ok());
    EXPECT_EQ(identity.value->maxPoints, 101); // info does not say: the original's own
    const auto text = first->sweep(request);
    ASSERT_TRUE(text.ok()) << text.error.toStdString();
    expectLoop(*text.value, request);
    EXPECT_EQ(original.commandsHeard.last(), "scan 7000000 7200000 101 3");
    EXPECT_FALSE(first->sweep({7e6, 7.2e6, 201}).ok()); // beyond the firmware's points

    ShellFirmware oldest = ShellFirmware::Oldest();
    oldest.decimalComma = true;
    ShellEmulator old(oldest, antenna());
    auto second = connect(old);
    const auto oldIdentity = second->open();
    ASSERT_TRUE(oldIdentity.ok());
    EXPECT_EQ(oldIdentity.value->name, "NanoVNA"); // it knows no version command
    for (int round = 0; round < 2; ++round) {
        const auto legacy = second->sweep(request);
        ASSERT_TRUE(legacy.ok()) << legacy.error.toStdString();
        expectLoop(*legacy.value, request);
        EXPECT_EQ(old.commandsHeard.mid(old.commandsHeard.size() - 3),
                  QStringList({"scan 7000000 7200000 101", "frequencies", "data 0"}));
    }
}

TEST_F(VnaDialectTest, failedPoints_areMarkedNotMeasured_textAndBinary) {
    for (const ShellFirmware& firmware : {ShellFirmware::H4(), ShellFirmware::Original()}) {
        ShellEmulator device(firmware, antenna());
        device.failedPoints = {3, 60};
        auto vna = connect(device);
        ASSERT_TRUE(vna->open().ok());
        const auto sweep = vna->sweep(request);
        ASSERT_TRUE(sweep.ok()) << sweep.error.toStdString();
        expectLoop(*sweep.value, request);
        EXPECT_FALSE((*sweep.value)[3].valid);
        EXPECT_FALSE((*sweep.value)[60].valid);
        EXPECT_TRUE((*sweep.value)[4].valid);
    }
}

TEST_F(VnaDialectTest, v2_foundByItsIndicate_pointsGatheredByIndex_usbModeLeftAtClosing) {
    V2Emulator v2(antenna());
    v2.firstIndexAfterClear = 40; // the FIFO starts in the middle of the sweep
    auto vna = connect(v2);
    const auto identity = vna->open();
    ASSERT_TRUE(identity.ok()) << identity.error.toStdString();
    EXPECT_EQ(identity.value->name, "NanoVNA V2 (hardware 2, firmware 1.3, protocol 1)");
    const auto sweep = vna->sweep(request);
    ASSERT_TRUE(sweep.ok()) << sweep.error.toStdString();
    expectLoop(*sweep.value, request);
    EXPECT_TRUE(v2.usbDataMode);
    vna->close();
    EXPECT_FALSE(v2.usbDataMode);

    V2Emulator older(antenna(), /*checksums=*/false);
    auto other = connect(older, Dialect::V2);
    ASSERT_TRUE(other->open().ok());
    const auto sweep300 = other->sweep({7e6, 7.3e6, 300}); // more than one FIFO read
    ASSERT_TRUE(sweep300.ok()) << sweep300.error.toStdString();
    EXPECT_EQ(sweep300.value->size(), 300u);
}

TEST_F(VnaDialectTest, faults_missingSilentGoneGarbledOrForeign_areErrors) {
    ShellEmulator device(ShellFirmware::H4(), antenna());
    auto vna = connect(device);
    port->missing = true;
    EXPECT_EQ(vna->open().error, "Cannot open the VNA: /dev/ttyACM0: No such file or directory.");
    port->missing = false;
    device.silent = true;
    EXPECT_EQ(vna->open().error, "The VNA on /dev/ttyACM0 does not answer.");
    device.silent = false;
    ASSERT_TRUE(vna->open().ok());

    device.garbledScans = 1;
    const auto garbled = vna->sweep(request);
    EXPECT_FALSE(garbled.ok());
    EXPECT_TRUE(garbled.error.contains("garbled")) << garbled.error.toStdString();
    ASSERT_TRUE(vna->sweep(request).ok()); // the next reply is read afresh

    // Stopped from a handler: the sweep ends at once, and the next opening forgets it.
    const double before = platform.steadyMs();
    platform.scheduleAfter(100, [&vna] { vna->abort(); });
    EXPECT_EQ(vna->sweep(request).error, "The sweep was stopped.");
    EXPECT_LT(platform.steadyMs() - before, 110);
    ASSERT_TRUE(vna->open().ok());
    ASSERT_TRUE(vna->sweep(request).ok());

    platform.scheduleAfter(200, [this] { port->unplugged = true; });
    EXPECT_EQ(vna->sweep(request).error, "The VNA on /dev/ttyACM0 is gone (unplugged?).");

    // The other dialect named, or a device that is no VNA.
    ShellEmulator shell(ShellFirmware::H4(), antenna());
    auto wrong = connect(shell, Dialect::V2);
    EXPECT_TRUE(wrong->open().error.startsWith("The device on /dev/ttyACM0 is no NanoVNA V2"));

    V2Emulator v2(antenna());
    auto binary = connect(v2);
    ASSERT_TRUE(binary->open().ok());
    v2.garbleNextRead = true;
    EXPECT_EQ(binary->sweep(request).error, "The VNA's data is garbled.");
    v2.silent = true;
    EXPECT_EQ(binary->sweep(request).error, "The VNA on /dev/ttyACM0 does not answer.");
}
