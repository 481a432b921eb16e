#pragma once

#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "port/SimulatedLpt.h"
#include "port/SwitchInputs.h"
#include "rig/CatControl.h"
#include "rig/CatRig.h"
#include "rig/RigctldRig.h"
#include "rig/ScriptedSerialLink.h"
#include "rig/SimulatedRig.h"
#include "support/FakePlatform.h"
#include "support/TestFiles.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"
#include "tuning/RigLinkChoice.h"
#include "tuning/RigTuning.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tuning_test {

// Automatic tuning as the program builds it, on the virtual clock: the engine on the simulated
// port (limits 0..500, 15 ms a step), the table in a fresh program directory, an FT-817 on the
// simulated rig at 4800 baud (or, after useScriptedRig, a rig on COM1 that answers as the test
// scripts it), the table window marked shown.
struct RigTuningFixture : ::testing::Test {
    QTemporaryDir dir;
    testing_support::FakePlatform platform;
    core::ProgramState state;
    port::SimulatedLpt lpt;
    port::SwitchInputs switches{state, platform, lpt};
    engine::TurningModes modes;
    engine::BusyLock busyLock{platform, modes};
    engine::PortDrive drive{state, platform, lpt};
    engine::SpeedControl speedControl{state};
    engine::Engine engine{state, platform, switches, drive, speedControl, modes, busyLock};
    engine::WheelControl wheel{state, engine, speedControl};
    rig::CatLog log{state, platform, dir.path()};
    rig::SimulatedRig simulated{platform};
    rig_test::ScriptedSerialLink scripted{platform};
    rig::CatControl cat{state, platform, log, simulated};
    rig::CatRig rig{cat};
    tuning::RigLinkChoice links{dir.path(), cat, scripted, simulated};
    table::TableEditor editor{state, platform, dir.path()};
    table::TableViewModel view{state, editor};
    rig::RigctldRig rigctld{platform}; // chosen with useRigctld
    tuning::RigTuning tuning{{state, platform, engine, wheel, rig, links, editor, view}};

    RigTuningFixture() {
        state.LoadStepperProfile();
        drive.coil().UpdateStepperBits();
        speedControl.InitSpeed();
        engine.LimitsOrScaleChanged();
        simulated.followModelOf(state);
        log.setTerminalShown(true);
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=simulated\n");
        links.Load();
        wheel.InitWheelFunctions(true);
        wheel.setTableWheel(&tuning.tableCommands());
        state.TableWindowShown = true;
        engine.setTransmitState(&tuning);
    }
    ~RigTuningFixture() override { engine.setTransmitState(nullptr); }

    // The model on COM1, the scripted rig; before loadTable.
    void useScriptedRig(rig::Model model) {
        state.RigModel = static_cast<core::Integer>(model);
        state.ComPort = 1;
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=serial\n");
        links.Load();
    }
    // The rigctld link to the default address, where no daemon answers before the event loop
    // runs; before loadTable.
    void useRigctld() {
        tuning.port().provideLink(tuning::RigLinkChoice::Link::Rigctld, rigctld);
        test_support::WriteFile(dir.filePath("Ventrolo.ini"), "[rig]\nlink=rigctld\n");
        links.Load();
    }
    // Table.cat with the rows "freq,pos" given, interpolation type 0 (the straight line).
    void loadTable(const QByteArray& rows, int type = 0) {
        test_support::WriteFile(dir.filePath("Table.cat"), "\"Ventrolo.Version 1.24\"\r\n0,500,\"" +
                                                               QByteArray::number(type) +
                                                               ":200:0\"\r\n" + rows);
        tuning.Load();
    }
    // The rows 3500 kHz at 100 and 4000 kHz at 200, the port opened, the start-up row sent
    // (and locked) at the first poll, and the stepper brought there by the second.
    void openAndFollow() {
        loadTable("3500,100,\"80m\"\r\n4000,200,\"\"\r\n");
        tuning.port().ComportClicked();
        ASSERT_TRUE(tuning.port().portOpen());
        poll();
        poll();
        ASSERT_EQ(state.StepCounter, 100);
    }
    // One poll interval, the readings it asks for and any turn it starts.
    void poll() {
        platform.advance(state.ComPollMs + 5);
        settle();
    }
    // The Yaesu link's readings under way given their time (their replies come on the clock).
    void settle() {
        for (int ms = 0; cat.busy() && ms < 10000; ++ms)
            platform.advance(1);
    }
    bool logged(const QString& text) const { return log.TerminalBuffer().contains(text); }
    int framesWithOpcode(std::uint8_t opcode) const {
        int count = 0;
        for (const QByteArray& frame : simulated.rig().framesReceived())
            count += static_cast<std::uint8_t>(frame.at(4)) == opcode ? 1 : 0;
        return count;
    }
};

} // namespace tuning_test
