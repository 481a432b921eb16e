// Following the rig through a stand-in flrig whose dial and PTT the test turns: the real clock,
// the engine on the simulated parallel port.
#include "rig/FakeFlrig.h"
#include "support/QtPrinters.h"
#include "support/RigTestHelpers.h"
#include "tuning/FollowingStation.h"
#include "tuning/RigControlView.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;
using namespace tuning;
using rig_test::FakeFlrig;

using test_support::WaitFor;

TEST(FlrigFollowTest, theStepperFollowsFlrigsDial_holdsWhileItTransmits_andSurvivesARestart) {
    FakeFlrig flrig;
    QByteArray hz = "7000000";
    int ptt = 0;
    flrig.answer = [&](const QByteArray& method) {
        if (method == "rig.get_vfo")
            return FakeFlrig::Http(FakeFlrig::Value(hz));
        if (method == "rig.get_ptt")
            return FakeFlrig::Http(FakeFlrig::Value("<i4>" + QByteArray::number(ptt) + "</i4>"));
        if (method == "rig.get_mode")
            return FakeFlrig::Http(FakeFlrig::Value("USB"));
        if (method == "rig.set_vfo") // "rig.set_vfo 7000000.0"
            hz = flrig.calls.last().split(' ').last().split('.').first();
        return FakeFlrig::Http(FakeFlrig::Value("<i4>0</i4>"));
    };
    QTemporaryDir dir;
    FollowingStation station(dir.path(),
                             "[rig]\nlink=flrig\n[flrig]\nhost=127.0.0.1\nport=" +
                                 QByteArray::number(flrig.port()) + "\n",
                             "7000,100,\"\"\r\n7200,200,\"\"\r\n");
    auto [tuning, state, link] = std::tie(station.tuning, station.state, station.flrig);
    tuning.port().provideLink(tuning::RigLinkChoice::Link::Flrig, link);

    tuning.Load();
    ASSERT_EQ(tuning.port().link(), RigLinkChoice::Link::Flrig);
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 100; }));

    hz = "7100000";
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 150; }));

    // The rig keyed by another program: the dial moves, the stepper waits for the end of
    // transmit.
    ptt = 1;
    hz = "7150000";
    EXPECT_TRUE(WaitFor([&] {
        return tuning.rigTransmitting() && tuning.rigState().frequencyText() == "7150 kHz";
    }));
    EXPECT_EQ(state.StepCounter, 150);
    ptt = 0;
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 175; }));

    // flrig gone: no reading, nothing moves; back: followed again.
    flrig.stop();
    EXPECT_TRUE(WaitFor([&] {
        return tuning.rigState().frequencyText() == "-----.- kHz" &&
               tuning::FrameCaptionOf(tuning).contains("no connection");
    }));
    EXPECT_EQ(state.StepCounter, 175);
    hz = "7050000";
    ASSERT_TRUE(flrig.listen(flrig.port()));
    EXPECT_TRUE(WaitFor([&] { return state.StepCounter == 125; }));

    tuning.port().ComportClicked();
    EXPECT_FALSE(link.isOpen());
}
