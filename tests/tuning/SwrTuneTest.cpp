// The SWR tune on the simulated rig: it keys a low-power carrier, turns around the table's
// position reading the SWR, ends at the lowest and leaves the rig as it found it; and every
// way it ends early releases the PTT before anything else.
#include "support/QtPrinters.h"
#include "tuning/RigTuningFixture.h"

#include <algorithm>
#include <functional>

using tuning_test::RigTuningFixture;

namespace {

constexpr std::uint8_t PttOnOpcode = 0x08;
constexpr std::uint8_t PttOffOpcode = 0x88;
constexpr std::uint8_t SetModeOpcode = 0x07;
constexpr std::uint8_t Usb = 1;
constexpr std::uint8_t Cw = 2;

struct SwrTuneTest : RigTuningFixture {
    QObject scope;
    // While the tune is keyed, at the end of each of its turns: where, and what the rig had.
    struct Visit {
        core::Long position;
        double powerW;
        std::uint8_t mode;
    };
    std::vector<Visit> visits;
    double keyedMs = 0;
    double keyedSince = -1;
    bool recordVisits = true;

    SwrTuneTest() {
        QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [this] {
            if (tuning.swrTuneKeyed() && recordVisits)
                visits.push_back({state.StepCounter, meter().powerW(), simulated.rig().modeCode()});
        });
        QObject::connect(&tuning.swrTune(), &tuning::SwrTune::changed, &scope, [this] {
            const bool keyed = tuning.swrTuneKeyed();
            if (keyed && keyedSince < 0)
                keyedSince = platform.steadyMs();
            if (!keyed && keyedSince >= 0) {
                keyedMs += platform.steadyMs() - keyedSince;
                keyedSince = -1;
            }
        });
    }
    rig::SimulatedSwrMeter& meter() { return tuning.simulatedSwrMeter(); }
    // Ventrolo.ini's [swrtune] lines, the simulated rig chosen; before openAndFollow.
    void settings(const QByteArray& lines) {
        test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                                "[rig]\nlink=simulated\n[swrtune]\n" + lines);
        links.Load();
    }
    // The opcodes of every frame the program wrote to the rig, in order.
    std::vector<std::uint8_t> opcodesWritten() const {
        std::vector<std::uint8_t> opcodes;
        const QByteArray& bytes = simulated.written();
        for (qsizetype at = 4; at < bytes.size(); at += 5)
            opcodes.push_back(std::uint8_t(bytes.at(at)));
        return opcodes;
    }
    std::ptrdiff_t lastIndexOf(std::uint8_t opcode) const {
        const auto opcodes = opcodesWritten();
        const auto at = std::find(opcodes.rbegin(), opcodes.rend(), opcode);
        return at == opcodes.rend() ? -1 : std::distance(at, opcodes.rend()) - 1;
    }
    QString told() const {
        return platform.messages.empty() ? QString() : platform.messages.back().text;
    }
};

} // namespace

TEST_F(SwrTuneTest, findsTheLowestSwr_andLeavesTheRigUnkeyedAtItsOldPowerAndMode) {
    openAndFollow(); // 3500 kHz, the table's position 100
    meter().setPowerW(40);
    meter().setDetuneSteps(4);
    ASSERT_EQ(simulated.rig().modeCode(), Usb);
    ASSERT_TRUE(tuning.rigCommands().swrTuneEnabled());
    EXPECT_TRUE(tuning.rigCommands().SwrTuneToolTip().contains("5 W"))
        << tuning.rigCommands().SwrTuneToolTip().toStdString();

    tuning.rigCommands().SwrTuneClicked();

    EXPECT_EQ(state.StepCounter, 104);
    ASSERT_TRUE(tuning.swrTune().result());
    EXPECT_EQ(tuning.swrTune().result()->first, 104);
    EXPECT_DOUBLE_EQ(tuning.swrTune().result()->second, 1.0);
    EXPECT_TRUE(platform.messages.empty()) << told().toStdString();
    // Keyed in CW at 5 W at every position from 10 below to 10 above the table's.
    ASSERT_EQ(visits.size(), 21u);
    for (std::size_t i = 0; i < visits.size(); ++i) {
        EXPECT_EQ(visits[i].position, core::Long(90 + i));
        EXPECT_EQ(visits[i].powerW, 5);
        EXPECT_EQ(visits[i].mode, Cw);
    }
    // Unkeyed, then mode and power back.
    EXPECT_FALSE(simulated.rig().transmitting());
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_FALSE(tuning.swrTuneKeyed());
    EXPECT_LT(lastIndexOf(PttOffOpcode), lastIndexOf(SetModeOpcode));
    EXPECT_EQ(simulated.rig().modeCode(), Usb);
    EXPECT_EQ(meter().powerW(), 40);
    EXPECT_LE(keyedMs, 10000);

    // Following does not take the result back; polls run again.
    EXPECT_TRUE(tuning.poller().timerRunning());
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 104);
}

TEST_F(SwrTuneTest, everyWayItEndsEarly_releasesThePttFirst_thenSetsTheRigBack) {
    struct Case {
        const char* name;
        std::function<void(SwrTuneTest&)> during;
        const char* told;
    };
    const std::vector<Case> cases{
        {"a second click", [](SwrTuneTest& t) { t.tuning.rigCommands().SwrTuneClicked(); },
         "stopped"},
        {"Esc", [](SwrTuneTest& t) { t.engine.StopTurningAndFollowing(); }, "stopped"},
        {"the PTT button", [](SwrTuneTest& t) { t.tuning.rigCommands().PttToggle(false); },
         "stopped"},
        {"the dial turned", [](SwrTuneTest& t) { t.simulated.rig().setFrequency(3510); },
         "frequency changed"},
        {"the carrier dropping", [](SwrTuneTest& t) { t.simulated.rig().setTransmitInhibit(true); },
         "stopped transmitting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        visits.clear();
        platform.messages.clear();
        simulated.rig().setTransmitInhibit(false);
        ASSERT_NO_FATAL_FAILURE(openAndFollow());
        meter().setPowerW(40);
        // During the fourth visit.
        QMetaObject::Connection hook =
            QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
                if (visits.size() == 4)
                    platform.scheduleAfter(60, [&] { c.during(*this); });
            });
        tuning.rigCommands().SwrTuneClicked();
        QObject::disconnect(hook);

        EXPECT_FALSE(tuning.swrTune().running());
        EXPECT_FALSE(tuning.rigState().pttOn());
        EXPECT_FALSE(simulated.rig().transmitting());
        EXPECT_FALSE(tuning.swrTune().result());
        EXPECT_EQ(visits.size(), 4u);
        EXPECT_EQ(state.StepCounter, 93); // where it stood: no turn to a minimum
        EXPECT_LT(lastIndexOf(PttOffOpcode), lastIndexOf(SetModeOpcode));
        EXPECT_EQ(simulated.rig().modeCode(), Usb);
        EXPECT_EQ(meter().powerW(), 40);
        EXPECT_TRUE(told().contains(c.told)) << told().toStdString();
        EXPECT_TRUE(told().contains("unkeyed")) << told().toStdString();
        tuning.port().ComportClicked();
        simulated.rig().setFrequency(3500);
    }
}

TEST_F(SwrTuneTest, theTimeKeyedIsLimited_andALostLinkEndsItAsWell) {
    settings("seconds=1\nsteps=30\n");
    openAndFollow();
    tuning.rigCommands().SwrTuneClicked();
    EXPECT_TRUE(told().contains("keyed for 1 s")) << told().toStdString();
    EXPECT_FALSE(simulated.rig().transmitting());
    // A turn under way when the time is up ends at its next step.
    EXPECT_LE(keyedMs, 1000 + 3 * 15);
    EXPECT_GE(visits.size(), 2u);
    EXPECT_EQ(simulated.rig().modeCode(), Usb);

    // The device pulled out mid-tune: the tune ends unkeyed, the link waits for the device.
    tuning.port().ComportClicked();
    settings("");
    visits.clear();
    openAndFollow();
    QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
        if (visits.size() == 3)
            simulated.failWrites(true);
    });
    tuning.rigCommands().SwrTuneClicked();
    EXPECT_FALSE(tuning.swrTune().running());
    EXPECT_TRUE(tuning.port().portOpen());
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_FALSE(tuning.swrTuneKeyed());
}

TEST_F(SwrTuneTest, aLinkLostWhileKeyed_isNotToldAsUnkeyed_butAsAPttToReleaseAtTheRig) {
    openAndFollow();
    QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
        if (visits.size() == 3)
            simulated.failWrites(true);
    });
    tuning.rigCommands().SwrTuneClicked();

    // The release never reached the rig: it still sends its carrier.
    EXPECT_TRUE(simulated.rig().transmitting());
    EXPECT_FALSE(told().contains("is unkeyed")) << told().toStdString();
    EXPECT_TRUE(told().contains("release its PTT at the rig")) << told().toStdString();
    EXPECT_EQ(state.StepCounter, 92); // where it stood
}

TEST_F(SwrTuneTest, thePortClosedMidTune_unkeysFirst_thenSetsTheRigBackBeforeTheLinkGoes) {
    // Closing the port, the table window or the program mid-tune all close the link this way.
    openAndFollow();
    meter().setPowerW(40);
    QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
        if (visits.size() == 4)
            platform.scheduleAfter(60, [&] { tuning.port().ComportClicked(); });
    });
    tuning.rigCommands().SwrTuneClicked();

    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_FALSE(simulated.rig().transmitting());
    EXPECT_LT(lastIndexOf(PttOffOpcode), lastIndexOf(SetModeOpcode));
    EXPECT_EQ(simulated.rig().modeCode(), Usb);
    EXPECT_EQ(meter().powerW(), 40);
    EXPECT_EQ(state.StepCounter, 93); // where it stood
    ASSERT_EQ(platform.messages.size(), 1u) << told().toStdString();
    EXPECT_TRUE(told().contains("The rig link closed.")) << told().toStdString();
    EXPECT_TRUE(told().contains("unkeyed")) << told().toStdString();
}

TEST_F(SwrTuneTest, keysOnlyOnceTheInhibitLinesTailHasPassed_soTheRigCanSendItsCarrier) {
    port::InhibitSettings line;
    line.bit = 5;
    line.tailMs = 2000; // a sequencer's relay
    drive.coil().setInhibit(line);
    openAndFollow(); // its turn's tail has just begun
    ASSERT_TRUE(drive.coil().inhibiting());
    std::optional<bool> inhibitedWhenKeyed;
    QObject::connect(&tuning.swrTune(), &tuning::SwrTune::changed, &scope, [&] {
        if (tuning.swrTuneKeyed() && !inhibitedWhenKeyed)
            inhibitedWhenKeyed = drive.coil().inhibiting();
    });
    tuning.rigCommands().SwrTuneClicked();

    ASSERT_TRUE(inhibitedWhenKeyed.has_value());
    EXPECT_FALSE(*inhibitedWhenKeyed);
    EXPECT_TRUE(platform.messages.empty()) << told().toStdString();
    EXPECT_EQ(state.StepCounter, 104);
}

TEST_F(SwrTuneTest, refused_withoutKeying_whenTheRigTransmits_orThePowerIsAboveTheLimit) {
    struct Case {
        const char* name;
        QByteArray ini;
        std::function<void(SwrTuneTest&)> before;
        const char* told;
    };
    const std::vector<Case> cases{
        {"the rig transmits", "", [](SwrTuneTest& t) { t.simulated.rig().setTransmit(true); },
         "transmitting"},
        {"power above maxpower", "power=20\n", [](SwrTuneTest&) {}, "above the limit"},
        {"power above a lowered maxpower", "power=5\nmaxpower=2\n", [](SwrTuneTest&) {},
         "above the limit"},
        {"outside the table", "",
         [](SwrTuneTest& t) {
             t.simulated.rig().setFrequency(5000);
             t.poll();
             t.poll();
         },
         "inside the table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings(c.ini);
        ASSERT_NO_FATAL_FAILURE(openAndFollow());
        c.before(*this);
        const core::Long before = state.StepCounter;
        platform.messages.clear();
        tuning.rigCommands().SwrTuneClicked();
        EXPECT_TRUE(told().contains(c.told)) << told().toStdString();
        EXPECT_EQ(lastIndexOf(PttOnOpcode), -1);
        EXPECT_EQ(state.StepCounter, before);
        EXPECT_EQ(meter().powerW(), 50);
        EXPECT_EQ(simulated.rig().modeCode(), Usb);
        simulated.rig().setTransmit(false);
        tuning.port().ComportClicked();
        simulated.rig().setFrequency(3500);
    }
}

TEST_F(SwrTuneTest, whileKeyed_noOtherTurnMoves_notEvenOneTheUserWouldConsentTo) {
    openAndFollow();
    std::vector<engine::TurnOutcome> others;
    bool tried = false;
    QObject::connect(&engine, &engine::Engine::turnEnded, &scope, [&] {
        // Once: the refused turns end too.
        if (visits.size() != 2 || tried)
            return;
        tried = true;
        const core::Long at = state.StepCounter;
        platform.answerNextMessage(platform::Answer::Yes);
        const std::size_t asked = platform.messages.size();
        recordVisits = false;
        for (const engine::TurnOrigin origin :
             {engine::TurnOrigin::Window, engine::TurnOrigin::Repeated,
              engine::TurnOrigin::Following, engine::TurnOrigin::Search,
              engine::TurnOrigin::Network})
            others.push_back(engine.TurnTo({at + 50, origin}));
        recordVisits = true;
        EXPECT_EQ(platform.messages.size(), asked); // nobody is asked
        EXPECT_EQ(state.StepCounter, at);
    });
    tuning.rigCommands().SwrTuneClicked();
    ASSERT_EQ(others.size(), 5u);
    for (const engine::TurnOutcome outcome : others)
        EXPECT_EQ(outcome, engine::TurnOutcome::Refused);
    // The tune itself went on to the end.
    EXPECT_EQ(visits.size(), 21u);
    EXPECT_EQ(state.StepCounter, 104);
}

TEST_F(SwrTuneTest, aLinkWithoutAnSwrMeter_offersNoTune_andSaysWhy) {
    useScriptedRig(rig::Model::Ft757GXII);
    loadTable("3500,100,\"\"\r\n4000,200,\"\"\r\n");
    EXPECT_FALSE(tuning.rigCommands().swrTuneEnabled());
    EXPECT_TRUE(tuning.rigCommands().SwrTuneToolTip().contains("does not read the rig's SWR"))
        << tuning.rigCommands().SwrTuneToolTip().toStdString();
    tuning::SwrTune tune{state, platform, engine, tuning.rigState()};
    tune.Run(rig, nullptr, 100);
    EXPECT_TRUE(told().contains("does not read the rig's SWR")) << told().toStdString();
    EXPECT_FALSE(tune.keyed());
    EXPECT_TRUE(scripted.frames.empty());
}

TEST_F(SwrTuneTest,
       aRigWhosePowerCatCannotSet_isTunedAtItsOwnPowerOnlyWhenAllItGivesIsWithinTheLimit) {
    openAndFollow();
    meter().setPowerW(5);
    // A 5 W portable, as the FT-817/818: keyed at its own setting, nothing asked of its power.
    meter().setPowerUnsettable(6);
    ASSERT_TRUE(tuning.rigCommands().swrTuneEnabled());
    EXPECT_TRUE(tuning.rigCommands().SwrTuneToolTip().contains("at its own setting, at most 6 W"))
        << tuning.rigCommands().SwrTuneToolTip().toStdString();
    tuning.rigCommands().SwrTuneClicked();
    EXPECT_EQ(state.StepCounter, 104);
    EXPECT_EQ(visits.size(), 21u);
    EXPECT_TRUE(platform.messages.empty()) << told().toStdString();
    EXPECT_FALSE(simulated.rig().transmitting());
    EXPECT_EQ(simulated.rig().modeCode(), Usb);

    // A 100 W rig of the same kind is never keyed.
    meter().setPowerUnsettable(100);
    visits.clear();
    EXPECT_TRUE(tuning.rigCommands().SwrTuneToolTip().startsWith("Not here:"));
    tuning.rigCommands().SwrTuneClicked();
    EXPECT_TRUE(visits.empty());
    EXPECT_FALSE(simulated.rig().transmitting());
    EXPECT_TRUE(told().contains("never keys the rig at a power it does not know"))
        << told().toStdString();
}
