// The browser harness against a tiny HTTP server of its own, in the test's thread.
#include "support/Browser.h"

#include "support/QtPrinters.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using test_support::Browser;
using test_support::BrowserError;

namespace {

const char* const counterPage = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>Harness</title><link rel="icon" href="data:,"></head>
<body>
<button id="more" style="width: 120px; height: 40px">More</button>
<span id="count">0</span>
<input id="name">
<p id="escaped">no</p>
<script>
  let count = 0;
  // Only a person's input counts: element.click() and synthetic events are not trusted.
  document.getElementById('more').addEventListener('click', e => {
    if (e.isTrusted) document.getElementById('count').textContent = ++count;
  });
  document.addEventListener('keydown', e => {
    if (e.isTrusted && e.key === 'Escape') document.getElementById('escaped').textContent = 'yes';
  });
</script>
</body></html>)";

const char* const coveredPage = R"(<!doctype html>
<html><head><link rel="icon" href="data:,"></head><body>
<button id="hidden-under" style="position: absolute; left: 10px; top: 10px">Under</button>
<div id="veil" class="shade" style="position: absolute; left: 0; top: 0; width: 300px; height: 100px"></div>
<button id="unshown" style="display: none">Unshown</button>
</body></html>)";

const char* const throwingPage = R"(<!doctype html>
<html><head><link rel="icon" href="data:,"></head><body>
<img src="/missing.png">
<script>
  console.error('bad value', 42);
  throw new Error('boom');
</script></body></html>)";

// Serves fixed pages by path over HTTP/1.1, one request per connection; others are 404.
class PageServer {
public:
    explicit PageServer(QHash<QString, QByteArray> pages) : pages_(std::move(pages)) {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
    }

    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

private:
    void serve(QTcpSocket* socket) {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            request_[socket] += socket->readAll();
            if (!request_[socket].contains("\r\n\r\n"))
                return;
            const QList<QByteArray> line = request_.take(socket).split('\n').first().split(' ');
            const QString path = line.size() > 1 ? QString::fromUtf8(line[1]) : QString();
            const bool found = pages_.contains(path);
            const QByteArray body = found ? pages_[path] : QByteArray("not here");
            socket->write(QByteArray(found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                          "Content-Type: text/html; charset=utf-8\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }

    QHash<QString, QByteArray> pages_;
    QHash<QTcpSocket*, QByteArray> request_;
    QTcpServer server_;
};

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const BrowserError& error) {
        return error.what();
    }
    return "(no failure)";
}

TEST(BrowserTest, AMissingChromiumFailsAndSaysHowToInstallIt) {
    const std::string failure =
        failureOf([] { Browser browser({.program = "/nonexistent/chromium"}); });
    EXPECT_EQ(failure, "chromium is not installed: run scripts/install-deps");
}

TEST(BrowserTest, ClicksTypesAndPressesKeysAsAPerson) {
    PageServer server({{"/", counterPage}});
    Browser browser;
    browser.navigate(server.url("/"));
    EXPECT_EQ(browser.evaluate("document.title").toString(), "Harness");
    EXPECT_EQ(browser.evaluate("document.getElementById('count').textContent").toString(), "0");

    browser.click("#more");
    browser.waitFor("document.getElementById('count').textContent === '1'");
    browser.click("#more");
    browser.waitFor("document.getElementById('count').textContent === '2'");

    browser.type("#name", "Loop 7 Ü");
    EXPECT_EQ(browser.evaluate("document.getElementById('name').value").toString(), "Loop 7 Ü");

    browser.press("Escape");
    browser.waitFor("document.getElementById('escaped').textContent === 'yes'");

    QTemporaryDir dir;
    const QString path = dir.filePath("page.png");
    browser.screenshot(path);
    QFile png(path);
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_GT(png.size(), 1000);
    EXPECT_TRUE(png.read(8).startsWith("\x89PNG\r\n\x1a\n"));

    EXPECT_EQ(browser.errors(), QStringList());
}

TEST(BrowserTest, ClickingWhatAPersonCouldNotClickFails) {
    PageServer server({{"/", coveredPage}});
    Browser browser;
    browser.navigate(server.url("/"));
    EXPECT_EQ(failureOf([&] { browser.click("#hidden-under"); }),
              "cannot point at #hidden-under: it is covered by div#veil.shade");
    EXPECT_EQ(failureOf([&] { browser.click("#unshown"); }),
              "cannot point at #unshown: it is not shown");
    EXPECT_EQ(failureOf([&] { browser.click("#absent"); }),
              "cannot point at #absent: no element matches it");
    EXPECT_EQ(failureOf([&] { browser.type("#absent", "x"); }),
              "cannot type into #absent: no element matches it");
    EXPECT_EQ(failureOf([&] { browser.press("Hyper"); }), "press: no key is called \"Hyper\"");
}

TEST(BrowserTest, APageThatThrowsIsReported) {
    PageServer server({{"/", throwingPage}});
    Browser browser;
    browser.navigate(server.url("/"));
    browser.waitFor("document.querySelector('img').complete");
    const QStringList errors = browser.errors();
    ASSERT_EQ(errors.size(), 3) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors.contains("console.error: bad value 42"));
    EXPECT_TRUE(errors.contains("exception: Uncaught Error: boom (" + server.url("/") + ":6)"));
    EXPECT_TRUE(errors.contains("log: Failed to load resource: the server responded with a "
                                "status of 404 (Not Found) " +
                                server.url("/missing.png")));

    EXPECT_EQ(failureOf([&] { browser.evaluate("noSuchThing()"); }),
              "evaluating noSuchThing() threw Uncaught ReferenceError: noSuchThing is not defined");
}

TEST(BrowserTest, AWaitThatIsNotMetFailsInTimeAndNamesItsCondition) {
    Browser browser;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(failureOf([&] { browser.waitFor("window.neverSet", 300); }),
              "timed out after 300 ms waiting for window.neverSet");
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST(BrowserTest, NavigatingToADeadPortFailsInTimeWithTheReason) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    closed.close();

    Browser browser;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(failureOf([&] { browser.navigate(url, 3000); }),
              "navigate to " + url.toStdString() + " failed: net::ERR_CONNECTION_REFUSED");
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST(BrowserTest, ChromiumAndEverythingItStartedEndWithTheBrowser) {
    PageServer server({{"/", counterPage}});
    qint64 group = 0;
    {
        Browser browser;
        browser.navigate(server.url("/")); // a renderer runs too
        group = browser.processId();
    }
    ASSERT_GT(group, 0);
    // Killed processes vanish once reaped; give the reaper a moment.
    QElapsedTimer clock;
    clock.start();
    while (::kill(-pid_t(group), 0) == 0 && clock.elapsed() < 3000)
        ::usleep(20000);
    EXPECT_EQ(::kill(-pid_t(group), 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

} // namespace
