// The station's page in a real browser, served by the real server of a station on the real
// clock (simulated port and rig), driven as a person would: clicks, typing, keys.
//
// The station runs on a thread of its own, as it runs alone in the program: a turn waits with
// its events served, so on the test's thread it would hold up the test's waits until it ended.
#include "WebTestSupport.h"

#include "platform/HeadlessPlatform.h"
#include "support/Browser.h"
#include "support/QtPrinters.h"

#include <QThread>

using test_support::Browser;

namespace {

QString Text(const QString& id) {
    return QStringLiteral("document.getElementById('%1').textContent").arg(id);
}

// Whether the element takes room on the page: shown, as a person would see it.
QString Shown(const QString& id) {
    return QStringLiteral("(document.getElementById('%1').getClientRects().length > 0)").arg(id);
}

struct WebPageTest : ::testing::Test {
    static constexpr const char* Token = "fedcba9876543210fedcba9876543210";
    QTemporaryDir dir;
    QThread thread;
    QObject* context = new QObject;
    std::unique_ptr<platform::HeadlessPlatform> platform;
    std::unique_ptr<station::Station> station;
    std::unique_ptr<Browser> browser;
    quint16 port = 0;

    explicit WebPageTest(QSize window = {1280, 800}) {
        thread.start();
        context->moveToThread(&thread);
        onStation([&] {
            platform = std::make_unique<platform::HeadlessPlatform>();
            station = web_test::MakeStation(dir.path(), *platform);
            EXPECT_TRUE(station->web().Listen(QHostAddress(QHostAddress::LocalHost), 0, Token));
            port = station->web().port();
        });
        browser = std::make_unique<Browser>(Browser::Options{.windowSize = window});
    }
    ~WebPageTest() override {
        browser.reset();
        onStation([&] {
            station->engine().StopTurning();
            station->web().Close();
            station.reset();
            platform.reset();
            delete context;
        });
        thread.quit();
        thread.wait();
    }
    // Runs f on the station's thread and waits for it.
    template <class F> void onStation(F f) {
        QMetaObject::invokeMethod(context, f, Qt::BlockingQueuedConnection);
    }
    core::Long counter() {
        core::Long value = 0;
        onStation([&] { value = station->state().StepCounter; });
        return value;
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port); }
    void open() {
        browser->navigate(url());
        browser->waitFor(Text("connection") + " === 'Connected'");
    }
    void waitText(const QString& id, const QString& text) {
        browser->waitFor(Text(id) + " === '" + text + "'");
    }
    QString text(const QString& id) { return browser->evaluate(Text(id)).toString(); }
    void turnFromTheStation(core::Long to) {
        onStation([&] { station->engine().TurnTo({to, engine::TurnOrigin::Window}); });
    }
    void transmit(bool on) {
        onStation([&] { station->simulatedRig().rig().setTransmit(on); });
    }
    // The table open and the simulated rig followed, as the headless station does it.
    void follow(double kHz) {
        onStation([&] {
            station->simulatedRig().rig().setFrequency(kHz);
            ASSERT_TRUE(station->openFollowing());
            ASSERT_TRUE(station->tuning().OpenLink(false));
        });
    }
};

struct WebPageOnAPhoneTest : WebPageTest {
    WebPageOnAPhoneTest() : WebPageTest({390, 844}) {}
};

TEST_F(WebPageTest, showsTheCounterAndStepsWithTheCwAndCcwButtons) {
    turnFromTheStation(150);
    open();
    waitText("counter", "150");
    waitText("degrees", "270.0°");
    EXPECT_EQ(browser->evaluate("document.getElementById('needle').dataset.degrees").toString(),
              "270");
    EXPECT_TRUE(browser->evaluate(Shown("needle")).toBool());
    EXPECT_EQ(text("stepper1"), "1");
    EXPECT_EQ(browser->evaluate("document.getElementById('stepper1').ariaPressed").toString(),
              "true");

    // Clockwise counts up, as the main window's button does.
    browser->click("#stepCw");
    waitText("counter", "151");
    EXPECT_EQ(counter(), 151);
    browser->click("#stepCcw");
    browser->click("#stepCcw");
    waitText("counter", "149");

    // A turn from the station's own controls shows on the page too.
    turnFromTheStation(20);
    waitText("counter", "20");
    // The page loaded everything it needs from the station, and nothing failed.
    EXPECT_EQ(browser->errors(), QStringList());
}

TEST_F(WebPageTest, aGotoTurnsTheNeedleToItAndAWrongOneSaysWhy) {
    open();
    browser->type("#gotoDegrees", "90");
    browser->click("#gotoDegreesButton");
    browser->waitFor("document.getElementById('needle').dataset.degrees === '90'");
    waitText("counter", "50");
    EXPECT_EQ(browser->errors(), QStringList());

    browser->type("#gotoSteps", "100001");
    browser->press("Enter");
    browser->waitFor(Text("message") + ".startsWith('Steps must be a whole number')");
    EXPECT_EQ(counter(), 50);
}

TEST_F(WebPageTest, stopAndEscEndATurnMidWay) {
    open();
    browser->type("#gotoSteps", "100000");
    browser->click("#gotoStepsButton");
    browser->waitFor("document.getElementById('hub').dataset.turning === 'true'");
    browser->waitFor(Shown("target"));
    EXPECT_EQ(text("targetText"), "100000");
    browser->click("#stop");
    browser->waitFor("document.getElementById('hub').dataset.turning === 'false'");
    const core::Long stoppedAt = counter();
    EXPECT_LT(stoppedAt, 100000);
    waitText("counter", QString::number(stoppedAt));
    browser->waitFor("!" + Shown("target"));

    browser->click("#gotoStepsButton");
    browser->waitFor("document.getElementById('hub').dataset.turning === 'true'");
    browser->press("Escape");
    browser->waitFor("document.getElementById('hub').dataset.turning === 'false'");
    EXPECT_LT(counter(), 100000);
    waitText("counter", QString::number(counter()));
}

TEST_F(WebPageTest, whileTheRigTransmitsThePageSaysSoAndNothingTurns) {
    open();
    follow(7100);
    waitText("frequency", "7100.00 kHz");
    waitText("counter", "200");
    waitText("lock", "Locked");

    transmit(true);
    browser->waitFor(Shown("txHold"));
    EXPECT_EQ(text("txHold"), "TX: no turning (the rig transmits)");
    EXPECT_TRUE(browser->evaluate("document.getElementById('stepCw').disabled").toBool());
    EXPECT_TRUE(browser->evaluate("document.getElementById('gotoStepsButton').disabled").toBool());
    // A turn asked for anyway (a page that missed the change) is refused and said so.
    browser->evaluate("fetch('/api/step', {method: 'POST', body: '{\"direction\":\"cw\"}'})"
                      ".then(r => r.status)");
    EXPECT_EQ(counter(), 200);

    transmit(false);
    browser->waitFor("!" + Shown("txHold"));
    EXPECT_FALSE(browser->evaluate("document.getElementById('stepCw').disabled").toBool());
}

TEST_F(WebPageTest, theTableAddsARowAtTheRigsFrequencyTurnsToRowsAndDeletes) {
    open();
    follow(7150);
    waitText("counter", "250");
    browser->waitFor("document.querySelectorAll('#tableRows tr').length === 2");
    waitText("tableName", "Table.cat");

    // Moved by hand to where the loop resonates, the position is kept for this frequency.
    browser->click("#lock");
    waitText("lock", "Unlocked");
    browser->click("#stepCw");
    waitText("counter", "251");
    browser->click("#addRow");
    browser->waitFor("document.querySelectorAll('#tableRows tr').length === 3");
    EXPECT_EQ(browser->evaluate("document.querySelector('#tableRows tr:nth-child(2)').innerText")
                  .toString()
                  .split('\t')
                  .mid(0, 2),
              QStringList({"7150", "251"}));

    browser->click("#tableRows tr:first-child .turnToRow");
    waitText("counter", "100");

    browser->click("#tableRows tr:nth-child(2) .deleteRow");
    browser->waitFor(
        "document.querySelector('#tableRows tr:nth-child(2) .deleteRow').textContent === 'Delete?'");
    browser->click("#tableRows tr:nth-child(2) .deleteRow");
    browser->waitFor("document.querySelectorAll('#tableRows tr').length === 2");
    int rows = 0;
    onStation([&] { rows = station->tableEditor().data().dataRows(); });
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(browser->errors(), QStringList());
}

TEST_F(WebPageTest, offThisMachineThePageAsksForTheTokenAndWorksOnlyWithIt) {
    onStation([&] { station->web().requireToken(true); });
    browser->navigate(url());
    browser->waitFor(Shown("tokenForm"));
    waitText("connection", "Token needed");
    browser->click("#stepCw");
    browser->waitFor(Text("message") + " === 'The token is missing or wrong'");
    EXPECT_EQ(counter(), 0);

    browser->type("#token", "not the token");
    browser->press("Enter");
    browser->waitFor(Text("message") + " === 'The token is missing or wrong'");
    waitText("connection", "Token needed");

    browser->evaluate("document.getElementById('token').value = ''");
    browser->type("#token", Token);
    browser->press("Enter");
    waitText("connection", "Connected");
    EXPECT_FALSE(browser->evaluate(Shown("tokenForm")).toBool());
    browser->click("#stepCw");
    waitText("counter", "1");
    // The token lives in the tab, never in a cookie.
    EXPECT_EQ(browser->evaluate("document.cookie").toString(), "");
    browser->clearErrors(); // the refused requests are logged as failed loads
}

TEST_F(WebPageTest, aStationThatGoesAwayIsShownAndFoundAgain) {
    open();
    onStation([&] { station->web().Close(); });
    waitText("connection", "Station cannot be reached");
    onStation([&] {
        EXPECT_TRUE(station->web().Listen(QHostAddress(QHostAddress::LocalHost), port, Token));
    });
    browser->waitFor(Text("connection") + " === 'Connected'", 20000);
    browser->click("#stepCw");
    waitText("counter", "1");
}

TEST_F(WebPageOnAPhoneTest, onAPhoneThePanelsAreOneColumnAndStopIsInSight) {
    open();
    const QJsonValue layout = browser->evaluate(
        "(() => { const box = (id) => document.getElementById(id).getBoundingClientRect();"
        " return { dialBottom: box('dialPanel').bottom, controlsTop: box('controls').top,"
        " controlsLeft: box('controls').left, dialLeft: box('dialPanel').left,"
        " stopBottom: box('stop').bottom, height: innerHeight,"
        " wide: document.documentElement.scrollWidth > innerWidth }; })()");
    const QJsonObject box = layout.toObject();
    EXPECT_GE(box["controlsTop"].toDouble(), box["dialBottom"].toDouble());
    EXPECT_EQ(box["controlsLeft"].toDouble(), box["dialLeft"].toDouble());
    EXPECT_LE(box["stopBottom"].toDouble(), box["height"].toDouble());
    EXPECT_FALSE(box["wide"].toBool()) << "the page scrolls sideways";
}

} // namespace
