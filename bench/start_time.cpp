// Start-up as a user sees it: the program is started as a process (--lpt sim, a program
// directory with a configuration) on the X server of $DISPLAY, and the server's map
// notifications tell when its splash and then its main window appear. The figure is the time
// from the process start to the main window's map, less the splash's deliberate second. The
// first start warms the caches and is not counted; --runs (5) starts follow, the median counts.
//
//   DISPLAY=:N build/dev/bench/start_time [--runs N] [--program build/dev/src/app/ventrolo]
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

extern char** environ;

namespace {

// The splash's deliberate second.
constexpr double SplashMs = 1000;
constexpr double GiveUpMs = 20000;

struct StartTimes {
    double splashMs = 0; // from the process start to the splash's map
    double mainMs = 0;   // to the main window's map
};

// Top-level windows mapped on one X server, as they are mapped.
class MapWatch {
public:
    MapWatch() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
        ok_ = true;
    }
    ~MapWatch() { xcb_disconnect(connection_); }
    bool ok() const { return ok_; }

    // The next top-level window mapped before untilMs (monotonic), with the time it came.
    std::optional<std::pair<xcb_window_t, double>> nextMap(double untilMs) {
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const double at = bench::MonotonicMs();
                const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
                const xcb_window_t window =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
                std::free(event);
                if (mapped)
                    return std::make_pair(window, at);
            }
            const double rest = untilMs - bench::MonotonicMs();
            if (rest <= 0 || xcb_connection_has_error(connection_))
                return std::nullopt;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(rest) + 1);
        }
    }

private:
    xcb_connection_t* connection_;
    bool ok_ = false;
};

void Stop(pid_t pid) {
    // The way out a session's end takes; the process saves and ends.
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::optional<StartTimes> StartOnce(MapWatch& watch, const QString& program,
                                    const QString& directory) {
    const QByteArray path = program.toLocal8Bit();
    const QByteArray dir = directory.toLocal8Bit();
    char lptOption[] = "--lpt";
    char sim[] = "sim";
    char dirOption[] = "--dir";
    char* argv[] = {const_cast<char*>(path.constData()), lptOption, sim, dirOption,
                    const_cast<char*>(dir.constData()),  nullptr};
    pid_t pid = 0;
    const double started = bench::MonotonicMs();
    if (::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, environ) != 0)
        return std::nullopt;
    std::optional<StartTimes> times;
    if (const auto splash = watch.nextMap(started + GiveUpMs)) {
        for (;;) {
            const auto next = watch.nextMap(started + GiveUpMs);
            if (!next)
                break;
            if (next->first != splash->first) {
                times = StartTimes{splash->second - started, next->second - started};
                break;
            }
        }
    }
    Stop(pid);
    return times;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    int runs = 5;
    QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/ventrolo");
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--runs"));
        i >= 0 && i + 1 < arguments.size())
        runs = std::max(1, arguments[i + 1].toInt());
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--program"));
        i >= 0 && i + 1 < arguments.size())
        program = arguments[i + 1];
    program = QFileInfo(program).absoluteFilePath();

    std::printf("start_time: %s, DISPLAY=%s\n", qPrintable(bench::MachineLine()),
                qgetenv("DISPLAY").constData());
    MapWatch watch;
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !watch.ok()) {
        std::printf("\nstart: window shown n/a ms after the splash (no X server to watch: run it "
                    "with DISPLAY set, as make bench does with its own Xvfb)\n");
        return 0;
    }
    const bench::ProgramDirectory directory;
    std::vector<double> beyond;
    for (int run = 0; run <= runs; ++run) {
        const auto times = StartOnce(watch, program, directory.path());
        if (!times) {
            std::printf("  start %d: no main window within %.0f s\n", run, GiveUpMs / 1000);
            continue;
        }
        std::printf("  start %d%s: splash shown %.0f ms, main window %.0f ms after the process "
                    "start\n",
                    run, run == 0 ? " (warming up, not counted)" : "", times->splashMs,
                    times->mainMs);
        if (run > 0)
            beyond.push_back(times->mainMs - SplashMs);
    }
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    if (beyond.empty()) {
        std::printf("start: window shown n/a ms after the splash (the program showed no main "
                    "window)\n");
        return 1;
    }
    std::printf("start: window shown %.0f ms after the splash\n", bench::Median(beyond));
    return 0;
}
