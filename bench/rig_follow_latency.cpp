// Poll-to-first-step latency of rig following on the real clock: the simulated FT-817 at 4800
// baud (10 ms rig latency), a two-row table, the engine on the simulated port. Each round turns
// the rig's dial, then runs one poll; the latency is the time from the start of the poll to the
// first coil write of the turn it starts. Between the rows the value label shows "???" for
// 100 ms first, as the table window always has; a row's own frequency has no such pause.
//
//   build/dev/bench/rig_follow_latency [--rounds N]
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "platform/QtPlatform.h"
#include "port/SimulatedLpt.h"
#include "port/SwitchInputs.h"
#include "rig/CatRig.h"
#include "rig/QtSerialLink.h"
#include "rig/RigLinkChoice.h"
#include "rig/RigTuning.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Summary {
    double min = 0;
    double median = 0;
    double max = 0;
};

Summary Summarize(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    int rounds = 20;
    const QStringList args = application.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--rounds"));
        at >= 0 && at + 1 < args.size())
        rounds = std::max(1, args[at + 1].toInt());

    QTemporaryDir dir;
    {
        QFile ini(dir.filePath(QStringLiteral("Ventrolo.ini")));
        QFile table(dir.filePath(QStringLiteral("Table.cat")));
        if (!ini.open(QIODevice::WriteOnly) || !table.open(QIODevice::WriteOnly))
            return 1;
        ini.write("[rig]\nlink=simulated\n");
        table.write("\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n3500,100,\"\"\r\n"
                    "4000,300,\"\"\r\n");
    }
    platform::QtPlatform platform;
    core::ProgramState state;
    state.StoredProfiles[0].CustomDelayMs = 2;
    state.LoadStepperProfile();
    port::SimulatedLpt lpt;
    port::SwitchInputs switches(state, platform, lpt);
    engine::Engine engine(state, platform, lpt, switches);
    engine.coil().UpdateStepperBits();
    engine.InitSpeed();
    engine::WheelControl wheel(state, engine);
    rig::CatLog log(state, platform, dir.path());
    rig::SimulatedRig simulated(platform);
    simulated.followModelOf(state);
    rig::QtSerialLink serial(dir.path());
    rig::CatControl cat(state, platform, log, serial);
    rig::CatRig rig(cat);
    rig::RigLinkChoice links(dir.path(), cat, serial, simulated);
    links.Load();
    table::TableEditor editor(state, platform, dir.path());
    table::TableViewModel view(state, editor);
    rig::RigTuning tuning({state, platform, engine, wheel, rig, links, editor, view});
    tuning.Load();
    tuning.ComportClicked();
    if (!tuning.portOpen())
        return 1;
    tuning.PollRig();

    std::vector<double> between;
    std::vector<double> onRow;
    for (int round = 0; round < rounds; ++round) {
        for (const bool row : {false, true}) {
            // Away from where the stepper stands, alternately between the rows and on one.
            const double kHz = row ? (round % 2 ? 3500 : 4000) : (round % 2 ? 3620 : 3880);
            simulated.rig().setFrequency(kHz);
            lpt.traceWrites([&platform] { return platform.steadyMs(); });
            const double start = platform.steadyMs();
            tuning.PollRig();
            const auto first = std::find_if(lpt.writes().begin(), lpt.writes().end(),
                                            [](const auto& w) { return w.address == 888; });
            if (first == lpt.writes().end())
                continue;
            (row ? onRow : between).push_back(first->atMs - start);
        }
    }
    if (between.empty() || onRow.empty())
        return 1;
    const Summary b = Summarize(between);
    const Summary r = Summarize(onRow);
    std::printf("poll-to-first-step latency, FT-817 simulated at 4800 baud, %d rounds\n", rounds);
    std::printf("  between rows (100 ms \"???\" first): min %.1f  median %.1f  max %.1f ms\n",
                b.min, b.median, b.max);
    std::printf("  on a row's own frequency:          min %.1f  median %.1f  max %.1f ms\n", r.min,
                r.median, r.max);
    return 0;
}
