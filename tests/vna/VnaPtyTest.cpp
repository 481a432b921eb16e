// The real serial adaptor against emulated devices on pseudo-terminals, in real time.
#include "NanoVnaEmulator.h"
#include "PtyDevice.h"
#include "platform/QtPlatform.h"
#include "vna/DetectedVna.h"
#include "vna/LoopModel.h"
#include "vna/QtVnaPort.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace vna;
using namespace vna_test;

namespace {

class VnaPtyTest : public ::testing::Test {
protected:
    std::unique_ptr<DetectedVna> connect(const PtyDevice& pty) {
        return std::make_unique<DetectedVna>(std::make_unique<QtVnaPort>(), platform, pty.slavePath,
                                             Dialect::Auto);
    }
    Antenna antenna() {
        return [this](double hz) { return loop.s11(hz); };
    }

    platform::QtPlatform platform;
    LoopModel loop{LoopParameters{.noise = 0}, 1000};
    const SweepRequest request{7'000'000, 7'200'000, 51};
};

} // namespace

TEST_F(VnaPtyTest, bothDialects_foundAndSweptOverTheRealSerialStack) {
    ShellEmulator shell(ShellFirmware::H4(), antenna());
    V2Emulator v2(antenna());
    for (EmulatedDevice* device : std::initializer_list<EmulatedDevice*>{&shell, &v2}) {
        PtyDevice pty(*device);
        ASSERT_FALSE(pty.slavePath.isEmpty());
        auto vna = connect(pty);
        const auto identity = vna->open();
        ASSERT_TRUE(identity.ok()) << identity.error.toStdString();
        const auto sweep = vna->sweep(request);
        ASSERT_TRUE(sweep.ok()) << sweep.error.toStdString();
        ASSERT_EQ(sweep.value->size(), 51u);
        for (const SweepPoint& point : *sweep.value)
            EXPECT_NEAR(std::abs(point.s11 - loop.s11(point.hz)), 0, 2e-6) << point.hz;
        vna->close();
    }
    EXPECT_FALSE(v2.usbDataMode);
    EXPECT_EQ(shell.commandsHeard.last(), "resume");
}

TEST_F(VnaPtyTest, unpluggedDuringASweep_isAnErrorAtOnce) {
    ShellFirmware slow = ShellFirmware::H4();
    slow.msPerPoint = 40; // two seconds for 51 points
    ShellEmulator shell(slow, antenna());
    PtyDevice pty(shell);
    auto vna = connect(pty);
    ASSERT_TRUE(vna->open().ok());
    QTimer::singleShot(300, [&pty] { pty.unplug(); });
    const double before = platform.steadyMs();
    const auto sweep = vna->sweep(request);
    EXPECT_FALSE(sweep.ok());
    EXPECT_EQ(sweep.error, "The VNA on " + pty.slavePath + " is gone (unplugged?).");
    EXPECT_LT(platform.steadyMs() - before, 1500); // long before the sweep would have ended
}
