#pragma once

// The parts of the program that follow a rig end to end, on the real clock with the engine on
// the simulated parallel port, in a program directory holding the given Ventrolo.ini and a
// frequency table Table.cat.
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "platform/QtPlatform.h"
#include "port/SimulatedLpt.h"
#include "port/SwitchInputs.h"
#include "rig/CatRig.h"
#include "rig/FlrigRig.h"
#include "rig/QtSerialLink.h"
#include "rig/RigctldRig.h"
#include "rig/WsjtxRig.h"
#include "support/TestFiles.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"
#include "tuning/RigLinkChoice.h"
#include "tuning/RigTuning.h"

#include <QByteArray>
#include <QString>

namespace tuning {

struct FollowingStation {
    // Each table row: "frequency,position".
    FollowingStation(const QString& directory, const QByteArray& ini, const QByteArray& rows,
                     int comPort = 0)
        : state(StateOn(comPort)), log(state, platform, directory), serial(directory),
          links(directory, cat, serial, simulated), editor(state, platform, directory) {
        test_support::WriteFile(directory + "/Ventrolo.ini", ini);
        test_support::WriteFile(directory + "/Table.cat",
                                "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n" + rows);
        drive.coil().UpdateStepperBits();
        speedControl.InitSpeed();
        links.Load();
        engine.setTransmitState(&tuning);
    }
    ~FollowingStation() { engine.setTransmitState(nullptr); }

    platform::QtPlatform platform;
    core::ProgramState state;
    port::SimulatedLpt lpt;
    port::SwitchInputs switches{state, platform, lpt};
    engine::TurningModes modes;
    engine::BusyLock busyLock{platform, modes};
    engine::PortDrive drive{state, platform, lpt};
    engine::SpeedControl speedControl{state};
    engine::Engine engine{state, platform, switches, drive, speedControl, modes, busyLock};
    engine::WheelControl wheel{state, engine, speedControl};
    rig::CatLog log;
    rig::SimulatedRig simulated{platform};
    rig::QtSerialLink serial;
    rig::CatControl cat{state, platform, log, serial};
    rig::CatRig rig{cat};
    // Given to tuning by the tests of the network links.
    rig::RigctldRig rigctld{platform};
    rig::FlrigRig flrig{platform, &log};
    rig::WsjtxRig wsjtx{platform, &log};
    RigLinkChoice links;
    table::TableEditor editor;
    table::TableViewModel view{state, editor};
    RigTuning tuning{{state, platform, engine, wheel, rig, links, editor, view}};

private:
    static core::ProgramState StateOn(int comPort) {
        core::ProgramState s;
        s.StoredProfiles[0].CustomDelayMs = 2;
        s.StoredProfiles[0].ComPort = comPort;
        s.LoadStepperProfile();
        return s;
    }
};

} // namespace tuning
