// What the web page costs, measured on the real binary from outside with Debian's chromium: the
// program started headless with its web server on, stepping at 1 ms per step.
// - How soon the page shows a change: a click on the page's +1 and -1 buttons in turn (a real
//   mouse press through chromium's input), in the page the time from the press to the first
//   animation frame after the counter shown changed, over --changes (60) clicks, one every
//   150 ms (so the push's pace never holds one back).
// - What watching costs: the program's CPU time per second over --turn-seconds (10) of a turn,
//   once with no page open and once with five browsers showing the page; the figure is the
//   difference, the server's price of five watchers. CPU time as in headless_cost. The pages
//   are watched from phones and laptops, not from the station: on a machine of two or more
//   cores the program keeps the first core and the browsers get the others, so that what the
//   figure shows is the program's work, not its threads slowed by chromium's rendering beside
//   them.
//
//   build/dev/bench/web_cost [--changes N] [--turn-seconds S] [--program build/dev/src/app/ventrolo]
#include "BenchSupport.h"
#include "HeadlessProcess.h"
#include "support/Browser.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QDir>
#include <cstdio>
#include <memory>
#include <sched.h>
#include <thread>
#include <vector>

namespace {

constexpr int Watchers = 5;
constexpr int ChangeEveryMs = 150;

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void Serve(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// One request to the program's API; the reply's status, 0 when none came.
int Ask(quint16 port, const QByteArray& method, const QByteArray& path,
        const QByteArray& body = {}) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(2000))
        return 0;
    socket.write(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                 "\r\nContent-Type: application/json\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    QByteArray reply;
    while (socket.waitForReadyRead(2000))
        reply += socket.readAll();
    return reply.mid(9, 3).toInt();
}

// In the page, before a click: window.shown resolves with the ms from the button's press to
// the frame that shows the counter changed.
const QString WatchNextStep = QStringLiteral(R"(void (window.shown = new Promise((resolve) => {
  const counter = document.getElementById('counter');
  const before = counter.textContent;
  let pressed = 0;
  addEventListener('pointerdown', () => { pressed = performance.now(); }, {capture: true, once: true});
  const observer = new MutationObserver(() => {
    if (counter.textContent === before) return;
    observer.disconnect();
    requestAnimationFrame(() => resolve(performance.now() - pressed));
  });
  observer.observe(counter, {childList: true, characterData: true, subtree: true});
})))");

// The program's threads on the first core, this process (and so the browsers it starts) on
// the others; false on a single core, where they have to share.
bool KeepCoresApart(qint64 program) {
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2)
        return false;
    cpu_set_t first;
    CPU_ZERO(&first);
    CPU_SET(0, &first);
    const QStringList threads = QDir(QStringLiteral("/proc/%1/task").arg(program))
                                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& thread : threads)
        sched_setaffinity(thread.toInt(), sizeof first, &first);
    cpu_set_t others;
    CPU_ZERO(&others);
    for (unsigned core = 1; core < cores; ++core)
        CPU_SET(core, &others);
    return sched_setaffinity(0, sizeof others, &others) == 0;
}

std::unique_ptr<test_support::Browser> OpenPage(const QString& url) {
    auto browser = std::make_unique<test_support::Browser>();
    browser->navigate(url);
    browser->waitFor(
        QStringLiteral("document.getElementById('connection').textContent === 'Connected'"));
    return browser;
}

// The program's CPU time per second, in % of a core, while it turns for seconds.
double TurningCost(const bench::Headless& program, quint16 port, int seconds, core::Long to) {
    const int status =
        Ask(port, "POST", "/api/turn", QByteArrayLiteral("{\"steps\":") + QByteArray::number(to) + "}");
    if (status != 200) {
        std::printf("  the turn was answered %d\n", status);
        return -1;
    }
    Serve(500); // under way
    const bench::Usage before = bench::UsageOf(program.pid());
    const double start = bench::MonotonicMs();
    Serve(seconds * 1000);
    const bench::Usage after = bench::UsageOf(program.pid());
    const double wallMs = bench::MonotonicMs() - start;
    Ask(port, "POST", "/api/stop");
    Serve(300);
    bench::PrintThreads(before, after, wallMs / 1000);
    return bench::Between(before, after).ms / wallMs * 100;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int changes = std::max(1, bench::Option(arguments, QStringLiteral("--changes"), 60));
    const int turnSeconds =
        std::max(1, bench::Option(arguments, QStringLiteral("--turn-seconds"), 10));
    const QString program = bench::ProgramUnderTest(arguments);
    std::printf("web_cost: %s\n", qPrintable(bench::MachineLine()));

    const quint16 port = FreePort();
    const core::Long farAway = 10'000'000;
    const bench::ProgramDirectory directory(
        [](core::ProgramState& s) {
            s.PcSpeed = 1000;
            s.MinPosition = 0;
            s.MaxPosition = farAway;
            s.StepsPer360 = 8000;
            s.CustomDelayMs = 1;
            s.FastestDelayMs = 1;
        },
        {{QStringLiteral("Ventrolo.ini"),
          QStringLiteral("[web]\nenabled=true\nport=%1\n").arg(port).toUtf8()}});
    const auto fail = [&](const QString& why) {
        std::printf("  %s; what the program said:\n%s\n", qPrintable(why),
                    bench::ReadProc(directory.path() + QStringLiteral("/headless.log")).constData());
        std::printf("\nweb: click to the frame showing the new counter p95 n/a ms; %d browsers "
                    "watching a turn n/a%% of a core (%s)\n",
                    Watchers, qPrintable(why));
        return 1;
    };

    bench::Headless headless(program, directory.path());
    if (!headless.start(port))
        return fail(QStringLiteral("the web server did not accept a connection"));
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    std::printf("  %s\n", KeepCoresApart(headless.pid())
                              ? "the program on the first core, the browsers on the others"
                              : "one core: the program and the browsers share it");

    try {
        // A step asked for on the page until the page shows it.
        Ask(port, "POST", "/api/turn", "{\"steps\":100}");
        Serve(500);
        std::vector<double> shownMs;
        {
            auto browser = OpenPage(url);
            for (int i = 0; i < changes; ++i) {
                browser->evaluate(WatchNextStep);
                browser->click(i % 2 ? QStringLiteral("#jogDown1") : QStringLiteral("#jogUp1"));
                shownMs.push_back(browser->evaluate(QStringLiteral("window.shown")).toDouble());
                Serve(ChangeEveryMs);
            }
        }
        std::printf("\na click on +1 or -1, until the page shows the new counter (%d clicks):\n",
                    changes);
        std::printf("  p50 %.1f ms, p95 %.1f ms, max %.1f ms\n", bench::Median(shownMs),
                    bench::Quantile(shownMs, 0.95), bench::Quantile(shownMs, 1));

        // A turn at 1 ms per step, unwatched and then watched.
        std::printf("\na turn at 1 ms per step for %d s, no page open:\n", turnSeconds);
        const double alone = TurningCost(headless, port, turnSeconds, farAway);
        std::vector<std::unique_ptr<test_support::Browser>> watchers;
        for (int i = 0; i < Watchers; ++i)
            watchers.push_back(OpenPage(url));
        std::printf("the same with %d browsers showing the page:\n", Watchers);
        const double watched = TurningCost(headless, port, turnSeconds, farAway);
        if (alone < 0 || watched < 0)
            return fail(QStringLiteral("the turn was refused"));
        std::printf("  program: %.2f%% of a core alone, %.2f%% watched\n", alone, watched);
        std::printf("\nweb: click to the frame showing the new counter p95 %.0f ms; %d browsers "
                    "watching a turn %.2f%% of a core\n",
                    bench::Quantile(shownMs, 0.95), Watchers, watched - alone);
    } catch (const test_support::BrowserError& error) {
        return fail(QString::fromUtf8(error.what()));
    }
    return 0;
}
