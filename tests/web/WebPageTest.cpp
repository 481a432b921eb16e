// The station's page in a real browser, served by the real server of a station on the real
// clock (simulated port and rig), driven as a person would: clicks, typing, keys.
//
// The station runs on a thread of its own, as it runs alone in the program: a turn waits with
// its events served, so on the test's thread it would hold up the test's waits until it ended.
#include "WebTestSupport.h"
#include "platform/HeadlessPlatform.h"
#include "support/Browser.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
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

// WCAG contrast ratios of what the page shows, by name: text ("text:") against what it stands
// on, and the graphics that mean something ("graphic:") against their surroundings.
const QString Contrasts = QStringLiteral(R"((() => {
  const rgb = (c) => (c.match(/[\d.]+/g) || []).map(Number);
  const lum = (c) => {
    const f = (v) => { v /= 255; return v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4; };
    const [r, g, b] = rgb(c);
    return 0.2126 * f(r) + 0.7152 * f(g) + 0.0722 * f(b);
  };
  const ratio = (a, b) => {
    const [hi, lo] = [lum(a), lum(b)].sort((x, y) => y - x);
    return Math.round((hi + 0.05) / (lo + 0.05) * 100) / 100;
  };
  const style = (e) => getComputedStyle(typeof e === 'string' ? document.querySelector(e) : e);
  const behind = (e) => {
    for (e = document.querySelector(e); e; e = e.parentElement) {
      const c = rgb(style(e).backgroundColor);
      if (c.length === 3 || c[3] > 0) return style(e).backgroundColor;
    }
    return style(document.documentElement).backgroundColor;
  };
  const text = (e) => ratio(style(e).color, behind(e));
  const out = {};
  for (const e of ['#frequency', '#counter', '#tuned', '#motion', '#stop', '#jogUp1', '#tableAt',
                   '#swr', '.label', '#connection', '#retune', '#peakSearch', '#degrees'])
    out['text:' + e] = text(e);
  const disc = style('#disc').fill;
  const panel = behind('#dialPanel');
  out['graphic:needle'] = ratio(style('#needle line').stroke, disc);
  out['graphic:tip'] = ratio(style('#needle .tipDot').fill, disc);
  out['graphic:hub'] = ratio(style('#hub').fill, disc);
  out['graphic:disc edge'] = ratio(style('#disc').stroke, panel);
  out['graphic:target'] = ratio(style('#target').fill, panel);
  for (const tick of ['north', 'cardinal', 'minor'])
    out['graphic:tick ' + tick] = ratio(style('#ticks .' + tick).stroke, panel);
  const track = style('#positionBar').backgroundColor;
  out['graphic:position'] = ratio(style('#positionFill').backgroundColor, track);
  out['graphic:table mark'] = ratio(style('#tableMark').backgroundColor, track);
  out['graphic:button edge'] = ratio(style('#jogUp1').borderTopColor, behind('#summary'));
  return out;
})())");

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
        // Under 800 px wide, a phone or a tablet.
        browser = std::make_unique<Browser>(
            Browser::Options{.windowSize = window, .mobile = window.width() < 800});
    }
    ~WebPageTest() override {
        browser.reset();
        onStation([&] {
            station->engine().StopTurningAndFollowing();
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
            ASSERT_TRUE(station->tuning().port().OpenLink(false));
        });
    }
    // Stepper 1's band set: Table.cat (40 m) and 20m.cat.
    void bandSet() {
        test_support::WriteFile(dir.filePath("20m.cat"),
                                "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                                "14000,1000,\"\"\r\n14350,1700,\"\"\r\n");
        onStation([&] {
            ASSERT_TRUE(station->bandSets().Toggle(0, "\\Table.cat"));
            ASSERT_TRUE(station->bandSets().Toggle(0, "\\20m.cat"));
        });
    }
    bool turning() {
        bool value = false;
        onStation([&] { value = station->turning(); });
        return value;
    }
    bool disabled(const QString& id) {
        return browser->evaluate(QStringLiteral("document.getElementById('%1').disabled").arg(id))
            .toBool();
    }
};

TEST_F(WebPageTest, showsTheCounterAndStepsWithTheJogButtons) {
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

    // +1 counts up, as the main window's CW button does.
    browser->click("#jogUp1");
    waitText("counter", "151");
    EXPECT_EQ(counter(), 151);
    browser->click("#jogDown1");
    browser->click("#jogDown1");
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
    // The turn is the newest of the last moves, in words.
    browser->waitFor("document.querySelector('#moves li')?.textContent.includes("
                     "'web 127.0.0.1  0 to 50  50 steps') === true");
    EXPECT_EQ(browser->errors(), QStringList());

    browser->type("#gotoSteps", "100001");
    browser->press("Enter");
    browser->waitFor(Text("message") + ".startsWith('Steps must be a whole number')");
    EXPECT_EQ(counter(), 50);
}

// On a phone the controls far down the page are pressed with the page scrolled: their
// refusal is shown where it is seen.
struct WebPagePhoneTest : WebPageTest {
    WebPagePhoneTest() : WebPageTest({390, 844}) {}
};

TEST_F(WebPagePhoneTest, aRefusalIsInViewOfTheButtonPressedFarDownThePage) {
    open();
    browser->type("#gotoSteps", "100001");
    browser->click("#gotoStepsButton");
    browser->waitFor(Text("message") + ".startsWith('Steps must be a whole number')");
    EXPECT_GT(browser->evaluate("scrollY").toDouble(), 0); // the page was scrolled to the field
    EXPECT_TRUE(browser
                    ->evaluate("(() => { const r = document.getElementById('message')"
                               ".getBoundingClientRect(); return r.height > 0 && r.top >= 0 && "
                               "r.bottom <= innerHeight; })()")
                    .toBool());
    browser->clearErrors(); // the refused request is logged as a failed load
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
    EXPECT_TRUE(disabled("jogUp1"));
    EXPECT_TRUE(browser->evaluate("document.getElementById('gotoStepsButton').disabled").toBool());
    // A turn asked for anyway (a page that missed the change) is refused and said so.
    browser->evaluate("fetch('/api/step', {method: 'POST', body: '{\"direction\":\"cw\"}'})"
                      ".then(r => r.status)");
    EXPECT_EQ(counter(), 200);

    transmit(false);
    browser->waitFor("!" + Shown("txHold"));
    EXPECT_FALSE(disabled("jogUp1"));
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
    browser->click("#jogUp1");
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
    browser->waitFor("document.querySelector('#tableRows tr:nth-child(2) .deleteRow').textContent "
                     "=== 'Delete?'");
    // Said to a screen reader too.
    EXPECT_EQ(text("announce"), "Press again within 4 seconds to delete the row of 7150 kHz.");
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
    EXPECT_TRUE(disabled("jogUp1")); // nothing to be done without it

    browser->type("#token", "not the token");
    browser->press("Enter");
    browser->waitFor(Text("message") + " === 'The token is missing or wrong'");
    waitText("connection", "Token needed");

    browser->evaluate("document.getElementById('token').value = ''");
    browser->type("#token", Token);
    browser->press("Enter");
    waitText("connection", "Connected");
    EXPECT_FALSE(browser->evaluate(Shown("tokenForm")).toBool());
    browser->click("#jogUp1");
    waitText("counter", "1");
    // The token lives in the tab, never in a cookie.
    EXPECT_EQ(browser->evaluate("document.cookie").toString(), "");
    browser->clearErrors(); // the refused requests are logged as failed loads
}

// The page at phone, tablet and desktop sizes: what a ham picks the phone up for is in view
// without scrolling, in the largest type, every control large enough for a finger, with
// contrast enough in light and in dark.
struct WebPageSizesTest : WebPageTest, ::testing::WithParamInterface<QSize> {
    WebPageSizesTest() : WebPageTest(GetParam()) {}
};

TEST_P(WebPageSizesTest, theKeyValuesAreInViewInTheLargestType_andEveryControlIsLargeEnough) {
    bandSet();
    open();
    follow(7100);
    waitText("frequency", "7100.00 kHz");
    waitText("tuned", "Tuned");
    browser->waitFor(Shown("swrLine") + " && " + Shown("bands"));
    const QJsonObject layout = browser
                                   ->evaluate(QStringLiteral(R"((() => {
      const out = {outOfView: [], small: [], wide: document.documentElement.scrollWidth > innerWidth};
      for (const id of ['frequency', 'counter', 'positionBar', 'tuned', 'swrLine', 'stop',
                        'jogDown100', 'jogDown10', 'jogDown1', 'jogUp1', 'jogUp10', 'jogUp100']) {
        const r = document.getElementById(id).getBoundingClientRect();
        if (r.width === 0 || r.top < 0 || r.left < 0 || r.bottom > innerHeight || r.right > innerWidth)
          out.outOfView.push(id);
      }
      for (const e of document.querySelectorAll('button, summary, input')) {
        const r = e.getBoundingClientRect();
        if (r.width > 0 && (r.width < 44 || r.height < 44)) out.small.push(e.id || e.textContent);
      }
      let largest = 0, of = '';
      for (const e of document.querySelectorAll('body *')) {
        const size = parseFloat(getComputedStyle(e).fontSize);
        const hasText = [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim());
        if (hasText && e.getClientRects().length && size > largest) { largest = size; of = e.id; }
      }
      out.largest = of;
      return out;
    })())"))
                                   .toObject();
    EXPECT_EQ(layout["outOfView"].toArray(), QJsonArray()) << "scrolling needed";
    EXPECT_EQ(layout["small"].toArray(), QJsonArray()) << "under 44 px";
    EXPECT_EQ(layout["largest"].toString(), "frequency");
    EXPECT_FALSE(layout["wide"].toBool()) << "the page scrolls sideways";

    for (const char* scheme : {"light", "dark"}) {
        browser->emulateMedia("prefers-color-scheme", scheme);
        const QJsonObject contrasts = browser->evaluate(Contrasts).toObject();
        for (auto it = contrasts.begin(); it != contrasts.end(); ++it)
            EXPECT_GE(it.value().toDouble(), it.key().startsWith("text:") ? 4.5 : 3.0)
                << scheme << " " << it.key().toStdString();
        browser->screenshot(QStringLiteral("%1/web-page-%2x%3-%4.png")
                                .arg(QCoreApplication::applicationDirPath())
                                .arg(GetParam().width())
                                .arg(GetParam().height())
                                .arg(scheme));
    }
    EXPECT_EQ(browser->errors(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(PhoneTabletDesktop, WebPageSizesTest,
                         ::testing::Values(QSize(390, 844), QSize(768, 1024), QSize(1440, 900)),
                         [](const auto& info) {
                             return QStringLiteral("w%1h%2")
                                 .arg(info.param.width())
                                 .arg(info.param.height())
                                 .toStdString();
                         });

TEST_F(WebPageTest, aHeldJogButtonTurnsUntilLetGo_everyWayOfLettingGoStopsIt) {
    open();
    // What the page sends, in order.
    browser->evaluate(
        "window.sent = []; const send = window.fetch;"
        "window.fetch = (url, options) => { sent.push(String(url)); return send(url, options); }");
    struct LettingGo {
        const char* way;
        bool touch;
        QString script; // empty: the pointer is lifted
        bool cancelled = false;
    };
    const LettingGo ways[] = {
        {"the mouse button released", false, {}},
        {"the finger lifted", true, {}},
        {"the touch cancelled", true, {}, true},
        {"the window's focus lost", false, "window.dispatchEvent(new Event('blur'))"},
        {"the page hidden", false,
         "Object.defineProperty(document, 'hidden', {value: true, configurable: true});"
         "document.dispatchEvent(new Event('visibilitychange')); delete document.hidden"},
        {"the pointer's capture lost", true,
         "document.getElementById('jogUp1').dispatchEvent(new PointerEvent('lostpointercapture'))"},
    };
    for (const LettingGo& way : ways) {
        SCOPED_TRACE(way.way);
        browser->evaluate("sent.length = 0");
        const core::Long before = counter();
        browser->pointerDown("#jogUp1", way.touch);
        // Held on past the first step, it turns on.
        browser->waitFor(
            QStringLiteral("sent.includes('/api/jog') && "
                           "Number(document.getElementById('counter').textContent) > %1")
                .arg(before + 5));
        if (way.script.isEmpty())
            browser->pointerUp(way.cancelled);
        else
            browser->evaluate(way.script);
        browser->waitFor("sent.includes('/api/stop')");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !turning(); }));
        const core::Long stopped = counter();
        QTest::qWait(web::WebApi::JogLeaseMs + 200);
        EXPECT_EQ(counter(), stopped); // and nothing started it again
        if (!way.script.isEmpty())
            browser->pointerUp(); // the pointer itself, for the next round
    }
    // A short press is its steps and no turn.
    browser->evaluate("sent.length = 0");
    const core::Long before = counter();
    browser->click("#jogUp10");
    waitText("counter", QString::number(before + 10));
    browser->click("#jogDown1");
    waitText("counter", QString::number(before + 9));
    // (A turn's end also fetches the last moves: no turn request.)
    EXPECT_EQ(browser->evaluate("sent.filter((url) => url !== '/api/moves').join(' ')").toString(),
              "/api/step /api/step");
    EXPECT_EQ(browser->errors(), QStringList());
}

TEST_F(WebPageTest, anUnreachableStation_greysTheValues_turnsEveryButtonOffAndSaysWhy) {
    open();
    EXPECT_FALSE(disabled("jogUp1"));
    EXPECT_FALSE(browser->evaluate(Shown("trouble")).toBool());
    onStation([&] { station->web().Close(); });
    waitText("connection", "Station cannot be reached");
    browser->waitFor(Shown("trouble"));
    EXPECT_TRUE(text("troubleText").contains("The buttons are off until the station answers"))
        << text("troubleText").toStdString();
    EXPECT_TRUE(text("troubleText").contains("trying again")) << text("troubleText").toStdString();
    for (const char* id : {"stop", "jogUp1", "jogDown100", "gotoStepsButton", "stepper1", "lock"})
        EXPECT_TRUE(disabled(id)) << id;
    // The last values stay, greyed as the labels are.
    EXPECT_EQ(text("counter"), "0");
    EXPECT_EQ(browser->evaluate("getComputedStyle(document.getElementById('counter')).color"),
              browser->evaluate("getComputedStyle(document.querySelector('.label')).color"));

    onStation([&] {
        EXPECT_TRUE(station->web().Listen(QHostAddress(QHostAddress::LocalHost), port, Token));
    });
    browser->click("#retryNow");
    waitText("connection", "Connected");
    EXPECT_FALSE(browser->evaluate(Shown("trouble")).toBool());
    EXPECT_FALSE(disabled("jogUp1"));
    EXPECT_FALSE(disabled("stop"));
    browser->clearErrors(); // the failed requests are logged
}

TEST_F(WebPageTest, aRefusedScriptOrFirstState_isToldAndTriedAgain) {
    for (const char* script : {"*/page.js*", "*/dial.js*"}) {
        browser->refuseRequests(script, 503);
        browser->navigate(url());
        browser->waitFor(Text("troubleText") +
                         ".startsWith('The station did not send the whole page')");
        waitText("connection", "Station cannot be reached");
        browser->refuseRequests(script, 0);
        // It loads itself again (meanwhile the page may be between two documents).
        browser->waitFor("document.getElementById('connection')?.textContent === 'Connected'",
                         20000);
    }

    browser->refuseRequests("*/api/state*", 503);
    browser->navigate(url());
    browser->waitFor(Text("troubleText") + ".startsWith('Refused by the test.')");
    EXPECT_TRUE(disabled("jogUp1"));
    browser->refuseRequests("*/api/state*", 0);
    browser->waitFor(Text("connection") + " === 'Connected'", 20000);
    EXPECT_FALSE(disabled("jogUp1"));
    browser->clearErrors();
}

TEST_F(WebPageTest, theBandButtonsPeakSearchAndSwrTune_whereTheLinkOffersThem) {
    bandSet();
    open();
    EXPECT_FALSE(browser->evaluate(Shown("peakSearch")).toBool()); // no link yet
    follow(7100);
    waitText("counter", "200");
    browser->waitFor("document.querySelectorAll('#bands button').length === 2");
    EXPECT_EQ(browser
                  ->evaluate("[...document.querySelectorAll('#bands button')]"
                             ".map((b) => b.textContent + ':' + b.ariaPressed).join(' ')")
                  .toString(),
              "Table:true 20m:false");
    browser->waitFor(Shown("peakSearch") + " && " + Shown("swrTune"));
    browser->click("#bands button[data-table='20m.cat']");
    waitText("counter", "1000"); // its first row: the rig stays on 40 m
    browser->waitFor("document.querySelector(\"#bands button[data-table='20m.cat']\").ariaPressed "
                     "=== 'true'");
    waitText("tuned", "Outside the table");
    browser->click("#bands button[data-table='Table.cat']");
    waitText("counter", "200");
    waitText("tuned", "Tuned");

    browser->click("#swrTune");
    waitText("counter", "204"); // the simulated loop resonates 4 steps on
    browser->waitFor(Text("swr") + ".startsWith('1.0 at 204')");
    EXPECT_EQ(browser->errors(), QStringList());
}

TEST_F(WebPageTest, theCompassFoldsAway_andStaysFoldedInThisBrowser) {
    const QString dialSeen = "document.getElementById('dial').checkVisibility()";
    open();
    EXPECT_TRUE(browser->evaluate(dialSeen).toBool());
    browser->click("#compass summary");
    browser->waitFor("!" + dialSeen);
    // The browser tells the page of the fold a moment later; a person does not reload faster.
    browser->waitFor("localStorage.getItem('ventrolo.compass') === 'folded'");
    browser->navigate(url());
    waitText("connection", "Connected");
    EXPECT_FALSE(browser->evaluate(dialSeen).toBool());
    browser->click("#compass summary");
    browser->waitFor(dialSeen);
}

TEST_F(WebPageTest, theVnaBuildIsStartedFollowedAndStoppedFromThePage_keepingTheOldTable) {
    open();
    waitText("vnaStatus", "No VNA is set: port= in the [vna] group of Ventrolo.ini names it.");
    QFile ini(dir.filePath("Ventrolo.ini")); // read again at each build
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[vna]\nport=simulated\n");
    ini.close();

    browser->evaluate("document.getElementById('vnaBand').value = '20m'");
    browser->click("#vnaBuild");
    browser->waitFor(Shown("vnaCancel") + " && " + Shown("vnaProgress"));
    EXPECT_TRUE(disabled("vnaBuild"));
    EXPECT_FALSE(disabled("vnaCancel"));
    browser->waitFor(Text("vnaStatus") + ".length > 0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter() > 0; }, 20000)); // it searches
    browser->click("#vnaCancel");
    waitText("vnaStatus", "The build was stopped; no table was written.");
    EXPECT_FALSE(browser->evaluate(Shown("vnaCancel")).toBool());
    EXPECT_FALSE(browser->evaluate(Shown("vnaPicture")).toBool());
    EXPECT_FALSE(disabled("vnaBuild"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !turning(); }, 5000));
    EXPECT_FALSE(QFile::exists(dir.filePath("20m.cat")));
    EXPECT_EQ(browser->errors(), QStringList());
}

} // namespace
