// What running costs, in CPU time (getrusage, every thread of the process) per second of
// wall-clock time: the whole program on the simulated port turning at 1 ms per step with the
// main window and the pelorus shown (the middle of several turns; the stepping thread's and the
// GUI thread's own shares listed apart), then idle: with no window shown, beside a bare clock
// label as the machine's price of one repaint a second, then with every window its menus open,
// one window added at a time so the cost of each shows.
//
//   build/dev/bench/running_cost [--turn-seconds S] [--turns N] [--idle-seconds S]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "platform/SteppingThread.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

// CPU time per second of wall-clock time while run() runs, in % of one core.
double CostPercent(const std::function<void()>& run) {
    const double cpu = bench::CpuMs();
    const double wall = bench::MonotonicMs();
    run();
    return (bench::CpuMs() - cpu) / (bench::MonotonicMs() - wall) * 100;
}

// CPU time of the calling thread, in ms.
double ThisThreadCpuMs() {
    timespec used{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

// The context switches of the calling thread so far: on a virtual machine each wake-up of the
// GUI thread costs about as much as a small repaint.
long ThisThreadSwitches() {
    rusage used{};
    ::getrusage(RUSAGE_THREAD, &used);
    return used.ru_nvcsw + used.ru_nivcsw;
}

// What a turn costs, in % of one core: the whole process, the stepping thread, the GUI thread,
// and how often the GUI thread woke, per second.
struct TurnCost {
    double process = 0;
    double steppingThread = 0;
    double guiThread = 0;
    double guiWakes = 0;
};

TurnCost MeasureTurn(const std::function<void()>& turn, const platform::SteppingThread& thread) {
    const double cpu = bench::CpuMs();
    const double stepping = thread.cpuMs();
    const double gui = ThisThreadCpuMs();
    const long switches = ThisThreadSwitches();
    const double wall = bench::MonotonicMs();
    turn();
    const double percent = 100 / (bench::MonotonicMs() - wall);
    return {(bench::CpuMs() - cpu) * percent, (thread.cpuMs() - stepping) * percent,
            (ThisThreadCpuMs() - gui) * percent,
            static_cast<double>(ThisThreadSwitches() - switches) * percent * 10};
}

// This machine's cost of the same turn varies by a third from one turn to the next: the figure
// is the middle one of several.
TurnCost Middle(std::vector<TurnCost> costs) {
    std::sort(costs.begin(), costs.end(),
              [](const TurnCost& a, const TurnCost& b) { return a.process < b.process; });
    return costs[costs.size() / 2];
}

QString ShownWindows() {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            names << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                : w->objectName());
    }
    return names.join(QStringLiteral(", "));
}

// Counts the widgets painted and laid out anew while it stands, by name.
class PaintCount : public QObject {
public:
    PaintCount() : startMs_(bench::MonotonicMs()) {
        QApplication::instance()->installEventFilter(this);
    }
    ~PaintCount() override { QApplication::instance()->removeEventFilter(this); }
    // The widgets painted (and laid out: "layout:" before the name) most, per second.
    QString busiest() const {
        const double seconds = (bench::MonotonicMs() - startMs_) / 1000;
        QList<std::pair<int, QString>> byCount;
        for (auto it = counts_.begin(); it != counts_.end(); ++it)
            byCount.append({it.value(), it.key()});
        std::sort(byCount.rbegin(), byCount.rend());
        QStringList names;
        for (const auto& [count, name] : byCount.mid(0, 8))
            names << QStringLiteral("%1 %2/s").arg(name).arg(count / seconds, 0, 'f', 0);
        return names.join(QStringLiteral(", "));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest && watched->isWidgetType())
            ++counts_[QStringLiteral("layout:") + watched->objectName()];
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            ++counts_[watched->objectName().isEmpty()
                          ? QString::fromLatin1(watched->metaObject()->className())
                          : watched->objectName()];
        }
        return false;
    }

private:
    double startMs_;
    QHash<QString, int> counts_;
};

} // namespace

int main(int argc, char** argv) {
    bench::PrepareDisplay();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int turnSeconds =
        std::max(1, bench::Option(arguments, QStringLiteral("--turn-seconds"), 5));
    const int idleSeconds =
        std::max(1, bench::Option(arguments, QStringLiteral("--idle-seconds"), 10));
    const int turns = std::max(1, bench::Option(arguments, QStringLiteral("--turns"), 3));

    bench::BenchProgram program([](core::ProgramState& s) {
        s.MinPosition = 0;
        s.MaxPosition = 1000000;
        s.FastestDelayMs = 1;
        s.MainShown = true;
        s.PelorusShown = true;
        // The input simulation opens only with something for it to play.
        s.RemoteTurning = true;
    });
    program.start();
    platform::QtPlatform& platform = program.platform();
    platform.waitMs(1000); // the windows settle
    std::printf("running_cost: %s, platform %s\n", qPrintable(bench::MachineLine()),
                qPrintable(QGuiApplication::platformName()));

    // Turning: at 1 ms per step for turnSeconds, and what of it the machine itself costs.
    engine::Engine& engine = program.engine();
    const int steps = turnSeconds * 1000;
    const auto turn = [&] {
        engine.TurnTo({program.state().StepCounter + steps, engine::TurnOrigin::Window, 1});
    };
    const double floor = CostPercent([&] {
        for (int i = 0; i < steps; ++i)
            platform.waitUntil(platform.steadyMs() + 1, false);
    });
    // The same on the stepping thread's clock, as a coil turn waits between its steps.
    platform::SteppingThread& stepper = *platform.steppingThread();
    const double steppingFloor = CostPercent([&] {
        stepper.start(
            [&] {
                for (int i = 0; i < steps; ++i)
                    stepper.clock().waitUntil(stepper.clock().nowMs() + 1);
            },
            {}, false);
        stepper.join();
    });
    QList<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            shown << w;
    }
    for (QWidget* w : shown)
        w->hide();
    platform.waitMs(200);
    std::vector<TurnCost> hiddenTurnings;
    for (int i = 0; i < turns; ++i)
        hiddenTurnings.push_back(MeasureTurn(turn, stepper));
    const TurnCost hidden = Middle(hiddenTurnings);
    for (QWidget* w : shown)
        w->show();
    platform.waitMs(1000);
    const QString shownTurning = ShownWindows();
    std::printf("\nturning %d steps at 1 ms per step, shown: %s\n", steps,
                qPrintable(shownTurning));
    std::vector<TurnCost> turnings;
    QString painted;
    for (int i = 0; i < turns; ++i) {
        const PaintCount paints;
        turnings.push_back(MeasureTurn(turn, stepper));
        painted = paints.busiest();
        const engine::TurnTiming timing = program.lastTurnTiming();
        const TurnCost& c = turnings.back();
        std::printf("  %.2f%% of a core: stepping thread %.2f%%, GUI thread %.2f%% (woken "
                    "%.0f times a second), the rest %.2f%%; %d steps, worst step %.2f ms late, "
                    "ended %.2f ms behind\n",
                    c.process, c.steppingThread, c.guiThread, c.guiWakes,
                    c.process - c.steppingThread - c.guiThread, timing.steps, timing.worstLateMs,
                    timing.endLateMs);
    }
    const TurnCost turning = Middle(turnings);
    std::printf("  the stepping thread ran at %s\n",
                stepper.realTime() ? "real-time priority" : "normal priority");
    std::printf("  of which: sleeping to a deadline every ms, and nothing else, %.2f%% (on the "
                "stepping thread's clock, which spins the last %.0f us, %.2f%%); the turn with "
                "every window hidden %.2f%% (GUI thread %.2f%%, woken %.0f times a second)\n",
                floor, platform::SteppingThread::SpinUs, steppingFloor, hidden.process,
                hidden.guiThread, hidden.guiWakes);
    std::printf("  painted in the last: %s\n", qPrintable(painted));

    // Idle, adding the windows one by one.
    const auto idleCost = [&](int seconds) {
        platform.waitMs(1000); // what opening the window set off
        return CostPercent([&] { platform.waitMs(seconds * 1000.0); });
    };
    std::printf("\nidle (%d s per window added):\n", std::max(2, idleSeconds / 2));
    // The floor: the event loop and the housekeeping's tick with nothing to draw.
    for (QWidget* w : shown)
        w->hide();
    const double nothingShown = idleCost(idleSeconds);
    std::printf("  %-16s %.3f%% of a core\n", "nothing shown", nothingShown);
    // What this machine charges for one wake and repaint a second, whatever the program: a bare
    // clock label in a window of its own, set once a second.
    double clockCost = 0;
    {
        QLabel clock(QTime::currentTime().toString());
        clock.setWindowTitle(QStringLiteral("running_cost clock"));
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { clock.setText(QTime::currentTime().toString()); });
        clock.show();
        tick.start(1000);
        const double withClock = idleCost(idleSeconds);
        clockCost = withClock - nothingShown;
        std::printf("  a bare clock label, set once a second: %.3f%% of a core, %.3f%% above "
                    "nothing shown\n",
                    withClock, clockCost);
    }
    for (QWidget* w : shown)
        w->show();
    std::printf("  %-16s %.3f%% of a core\n", "as started", idleCost(std::max(2, idleSeconds / 2)));
    QWidget& main = program.app().mainWindow();
    for (const char* entry : {"mnuPelorus", "mnuPelSmall", "mnuTableUnity", "mnuTableDirect",
                              "mnuTableTimer", "mnuSimulate", "mnuLptOutput", "mnuLptInput"}) {
        auto* action = main.findChild<QAction*>(QString::fromLatin1(entry));
        if (action == nullptr || !action->isEnabled()) {
            std::printf("  %-16s not built yet\n", entry);
            continue;
        }
        if (!(action->isCheckable() && action->isChecked()))
            action->trigger();
        std::printf("  + %-14s %.3f%% of a core\n", entry, idleCost(std::max(2, idleSeconds / 2)));
    }
    std::printf("  shown: %s\n", qPrintable(ShownWindows()));
    double idle = 0;
    {
        // Some windows set off work of their own seconds after they open (once, not while
        // idling): the figure is taken once they have settled.
        platform.waitMs(idleSeconds * 1000.0);
        const PaintCount paints;
        idle = idleCost(idleSeconds);
        std::printf("  every window open, %d s: %.3f%% of a core; painted: %s\n", idleSeconds, idle,
                    qPrintable(paints.busiest()));
    }
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    // The pelorus window is the program's Form2.
    const bool pelorusShown =
        shownTurning.split(QStringLiteral(", ")).contains(QStringLiteral("Form2"));
    // What the windows add: the turn shown beside the same turn with none shown.
    std::printf("cost: turning at 1 ms per step %.1f%% of a core (stepping thread %.1f%%, the "
                "windows %.1f%% above the turn with none shown)%s; idle %.2f%% of a core (a bare "
                "clock label set once a second costs %.2f%% here)\n",
                turning.process, turning.steppingThread, turning.process - hidden.process,
                pelorusShown ? "" : " (main window only: no pelorus window yet)", idle, clockCost);
    return 0;
}
