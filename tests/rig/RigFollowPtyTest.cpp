// Following the rig end to end: the real serial stack to a rig emulator on a pseudo-terminal,
// the real clock, the engine on the simulated parallel port.
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "platform/QtPlatform.h"
#include "port/SimulatedLpt.h"
#include "port/SwitchInputs.h"
#include "rig/CatRig.h"
#include "rig/PtyRig.h"
#include "rig/QtSerialLink.h"
#include "rig/RigLinkChoice.h"
#include "rig/RigTuning.h"
#include "support/QtPrinters.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rig;

TEST(RigFollowPtyTest,
     theStepperFollowsAnFt817OnASerialPort_outOfRangeSilenceAndGarbageMoveNothing) {
    PtyRig pty(Model::Ft817);
    ASSERT_FALSE(pty.slavePath.isEmpty());
    QTemporaryDir dir;
    {
        QFile ini(dir.filePath("Ventrolo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[serial]\nCOM2=" + pty.slavePath.toLocal8Bit() + "\n[rig]\nlink=serial\n");
        QFile table(dir.filePath("Table.cat"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n3500,100,\"\"\r\n"
                    "4000,200,\"\"\r\n");
    }
    platform::QtPlatform platform;
    core::ProgramState state;
    state.StoredProfiles[0].CustomDelayMs = 2;
    state.StoredProfiles[0].ComPort = 2;
    state.LoadStepperProfile();
    port::SimulatedLpt lpt;
    port::SwitchInputs switches{state, platform, lpt};
    engine::Engine engine{state, platform, lpt, switches};
    engine.coil().UpdateStepperBits();
    engine.InitSpeed();
    engine::WheelControl wheel{state, engine};
    CatLog log{state, platform, dir.path()};
    SimulatedRig simulated{platform};
    QtSerialLink serial{dir.path()};
    CatControl cat{state, platform, log, serial};
    CatRig rig{cat};
    RigLinkChoice links{dir.path(), cat, serial, simulated};
    links.Load();
    table::TableEditor editor{state, platform, dir.path()};
    table::TableViewModel view{state, editor};
    RigTuning tuning{{state, platform, engine, wheel, rig, links, editor, view}};

    pty.panel([](RigEmulator& e) { e.setFrequency(3650); });
    tuning.Load();
    tuning.ComportClicked();
    ASSERT_TRUE(tuning.portOpen());
    tuning.PollRig();
    pty.panel([](RigEmulator& e) { EXPECT_EQ(e.frequency(), 3500.0); }); // the start-up row
    EXPECT_EQ(state.StepCounter, 100);

    pty.panel([](RigEmulator& e) { e.setFrequency(3750); });
    tuning.PollRig();
    EXPECT_EQ(state.StepCounter, 150);
    EXPECT_EQ(view.view().InterpolValueText, "150");

    pty.panel([](RigEmulator& e) { e.setFrequency(7050); });
    tuning.PollRig();
    EXPECT_FALSE(tuning.locked());
    EXPECT_EQ(view.view().InfoInterpolText, "Out off range!");
    EXPECT_EQ(state.StepCounter, 150);

    tuning.LockClicked();
    pty.replaceNextReply(QByteArray::fromHex("0035"));
    tuning.PollRig();
    pty.answering = false;
    tuning.PollRig();
    EXPECT_EQ(tuning.connection().frequencyText(), "-----.- kHz");
    EXPECT_EQ(state.StepCounter, 150);

    tuning.ComportClicked();
    EXPECT_FALSE(serial.isOpen());
}
