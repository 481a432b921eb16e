#pragma once

// A real browser for tests: Debian's chromium, headless, driven over the DevTools protocol.
// Every call blocks with the event loop running (so servers in the test's own thread answer the
// page) and every wait has a deadline; a call that cannot finish throws BrowserError saying what
// it waited for, which fails the test with that text. Chromium and everything it started are
// killed when the Browser goes, also when a test fails half-way. A timeout of -1 is the
// command timeout of the options.
//
//     Browser browser;
//     browser.navigate(server.url("/"));
//     browser.click("#stop");
//     browser.waitFor("document.querySelector('#counter').textContent === '0'");
//     EXPECT_EQ(browser.errors(), QStringList());
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWebSocket>
#include <functional>
#include <stdexcept>

namespace test_support {

class BrowserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Browser {
public:
    struct Options {
        QString program = QStringLiteral("chromium");
        // The page's viewport, exactly (a window alone cannot be narrower than about 500 px);
        // mobile: as a phone shows it (the page's viewport tag, touch).
        QSize windowSize{1280, 800};
        bool mobile = false;
        int startTimeoutMs = 20000;
        int commandTimeoutMs = 10000;
    };

    // Starts chromium and opens an empty page; throws when chromium is missing or does not start.
    Browser();
    explicit Browser(const Options& options);
    ~Browser();
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Loads the page and waits for its load event; a page that cannot be reached throws.
    void navigate(const QString& url, int timeoutMs = -1);
    // The value of a JavaScript expression (a promise is awaited); an exception in it throws.
    QJsonValue evaluate(const QString& expression, int timeoutMs = -1);
    // Waits until the expression is truthy.
    void waitFor(const QString& condition, int timeoutMs = -1);

    // A person's input: a left click at the centre of the element (scrolled into view), text
    // typed into the element after focusing it, a key such as "Escape", "Enter" or "a".
    void click(const QString& cssSelector);
    void type(const QString& cssSelector, const QString& text);
    void press(const QString& key);
    // A mouse button (or, with touch, a finger) held down on the centre of the element, and let
    // go where it was pressed; cancelled, the touch ends as the system ends it (a gesture took
    // it over).
    void pointerDown(const QString& cssSelector, bool touch = false);
    void pointerUp(bool cancelled = false);

    // Answers the page's requests whose URL matches the pattern (* and ? as wildcards) with
    // that HTTP status and a JSON error instead of sending them; status 0 lets them go out
    // again.
    void refuseRequests(const QString& urlPattern, int status);
    // A CSS media feature as the page sees it ("prefers-color-scheme", "dark"); an empty value
    // gives the system's own back.
    void emulateMedia(const QString& feature, const QString& value);

    // The visible part of the page as a PNG file, written atomically.
    void screenshot(const QString& path);

    // console.error and console.assert messages, uncaught exceptions and errors the browser
    // logged (a resource that failed to load), in order, since the start or the last clear.
    QStringList errors() const { return errors_; }
    void clearErrors() { errors_.clear(); }

    // Chromium's process, the leader of the process group that is killed at the end.
    qint64 processId() const { return processId_; }

private:
    void start();
    QString openPage(quint16 port);
    void connectPage(const QString& webSocketUrl);
    QJsonObject command(const QString& method, const QJsonObject& params = {}, int timeoutMs = -1);
    // Whether the condition holds; a document being replaced counts as "not yet".
    bool holdsNow(const QString& condition, int timeoutMs);
    // A command whose answer nobody waits for (sent while a message is being handled).
    void send(const QString& method, const QJsonObject& params);
    // The centre of the element, scrolled into view, where a person would point at it.
    QJsonObject centreOf(const QString& cssSelector);
    void answerPausedRequest(const QJsonObject& params);
    // Runs the event loop until done() holds; throws at the deadline or when chromium ends.
    void waitUntil(const std::function<bool()>& done, int timeoutMs, const QString& what);
    void onMessage(const QString& text);
    void onOutput();
    QString lastOutput() const;
    int timeout(int timeoutMs) const {
        return timeoutMs < 0 ? options_.commandTimeoutMs : timeoutMs;
    }
    void kill();

    Options options_;
    QTemporaryDir profile_;
    QProcess process_;
    qint64 processId_ = 0;
    QByteArray output_;
    QWebSocket socket_;
    int nextId_ = 1;
    QHash<int, QJsonObject> replies_;
    int loads_ = 0;
    QStringList errors_;
    QSet<int> unawaited_;          // ids of commands whose answers are dropped
    QHash<QString, int> refusals_; // URL pattern to status
    QJsonObject pointer_;          // where the pointer was put down, and how
};

} // namespace test_support
