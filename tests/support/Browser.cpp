#include "Browser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>

namespace test_support {

namespace {

// A JavaScript string literal holding text.
QString jsString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// "Uncaught Error: boom (http://host/page:6)": the stack is left out, its place is kept.
QString describeException(const QJsonObject& details) {
    const QString description = details["exception"].toObject()["description"].toString();
    QString text = details["text"].toString();
    if (!description.isEmpty())
        text += ' ' + description.section('\n', 0, 0);
    const QString url = details["url"].toString();
    if (!url.isEmpty())
        text += QStringLiteral(" (%1:%2)").arg(url).arg(details["lineNumber"].toInt() + 1);
    return text;
}

QString describeArgument(const QJsonObject& argument) {
    const QJsonValue value = argument["value"];
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble());
    if (value.isBool())
        return value.toBool() ? "true" : "false";
    return argument["description"].toString(
        argument["subtype"].toString(argument["type"].toString()));
}

// Key events of the keys a test names; a single character is typed as itself.
QJsonObject keyEvent(const QString& key) {
    struct Named {
        const char* key;
        int code;
        const char* text;
    };
    static const Named named[] = {
        {"Escape", 27, ""},    {"Enter", 13, "\r"},   {"Tab", 9, ""},      {"Backspace", 8, ""},
        {"Delete", 46, ""},    {"ArrowLeft", 37, ""}, {"ArrowUp", 38, ""}, {"ArrowRight", 39, ""},
        {"ArrowDown", 40, ""}, {"Home", 36, ""},      {"End", 35, ""},     {"PageUp", 33, ""},
        {"PageDown", 34, ""},
    };
    for (const Named& n : named) {
        if (key == QLatin1String(n.key))
            return {{"key", key},
                    {"code", key},
                    {"windowsVirtualKeyCode", n.code},
                    {"text", QString::fromLatin1(n.text)}};
    }
    if (key.size() == 1 || (key.size() == 2 && key[0].isHighSurrogate())) {
        QJsonObject event{{"key", key}, {"text", key}};
        const QChar c = key[0].toUpper();
        if (c.unicode() < 128 && (c.isLetterOrNumber() || c == ' ')) {
            event["windowsVirtualKeyCode"] = c.unicode();
            event["code"] = c == ' '      ? QStringLiteral("Space")
                            : c.isDigit() ? QStringLiteral("Digit") + c
                                          : QStringLiteral("Key") + c;
        }
        return event;
    }
    throw BrowserError(QStringLiteral("press: no key is called \"%1\"").arg(key).toStdString());
}

} // namespace

Browser::Browser() : Browser(Options{}) {}

Browser::Browser(const Options& options) : options_(options) {
    QObject::connect(&process_, &QProcess::readyRead, [this] { onOutput(); });
    QObject::connect(&socket_, &QWebSocket::textMessageReceived,
                     [this](const QString& text) { onMessage(text); });
    try {
        start();
    } catch (...) {
        kill(); // the destructor does not run after a throwing constructor
        throw;
    }
}

Browser::~Browser() {
    kill();
}

void Browser::start() {
    const QString program = QStandardPaths::findExecutable(options_.program);
    if (program.isEmpty())
        throw BrowserError("chromium is not installed: run scripts/install-deps");
    if (!profile_.isValid())
        throw BrowserError("no temporary directory for chromium's profile");

    QStringList arguments{
        "--headless=new",
        "--disable-gpu",
        "--no-first-run",
        "--no-default-browser-check",
        "--remote-debugging-port=0",
        "--user-data-dir=" + profile_.path(),
        QStringLiteral("--window-size=%1,%2")
            .arg(options_.windowSize.width())
            .arg(options_.windowSize.height()),
        // The tests reach this machine only: no updates, sync or reports, no other host resolves.
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--disable-extensions",
        "--disable-default-apps",
        "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE localhost, EXCLUDE 127.0.0.1, EXCLUDE "
        "[::1]",
    };
    if (::geteuid() == 0)
        arguments << "--no-sandbox"; // chromium's sandbox refuses to run as root
    arguments << "about:blank";

    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setChildProcessModifier([] {
        ::setsid();                         // its own process group, killed as a whole
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // and gone with the test even when it is killed
    });
    process_.start(program, arguments);
    if (!process_.waitForStarted(options_.startTimeoutMs))
        throw BrowserError(QStringLiteral("%1 did not start: %2")
                               .arg(program, process_.errorString())
                               .toStdString());
    processId_ = process_.processId();

    static const QRegularExpression listening(QStringLiteral("DevTools listening on (ws://\\S+)"));
    QRegularExpressionMatch match;
    waitUntil([&] { return (match = listening.match(QString::fromUtf8(output_))).hasMatch(); },
              options_.startTimeoutMs, "chromium to open its DevTools port");
    connectPage(openPage(QUrl(match.captured(1)).port()));
}

QString Browser::openPage(quint16 port) {
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(
        QUrl(QStringLiteral("http://127.0.0.1:%1/json/new?about:blank").arg(port)));
    std::unique_ptr<QNetworkReply> reply(manager.put(request, QByteArray()));
    waitUntil([&] { return reply->isFinished(); }, options_.commandTimeoutMs,
              "chromium to open a page");
    const QJsonObject target = QJsonDocument::fromJson(reply->readAll()).object();
    const QString url = target["webSocketDebuggerUrl"].toString();
    if (url.isEmpty())
        throw BrowserError(
            QStringLiteral("chromium opened no page: %1").arg(reply->errorString()).toStdString());
    return url;
}

void Browser::connectPage(const QString& webSocketUrl) {
    socket_.setProxy(QNetworkProxy::NoProxy);
    socket_.open(QUrl(webSocketUrl));
    waitUntil([&] { return socket_.state() == QAbstractSocket::ConnectedState; },
              options_.commandTimeoutMs, "the page's DevTools connection");
    command("Page.enable");
    command("Runtime.enable");
    command("Log.enable");
    command("Emulation.setDeviceMetricsOverride", {{"width", options_.windowSize.width()},
                                                   {"height", options_.windowSize.height()},
                                                   {"deviceScaleFactor", 1},
                                                   {"mobile", options_.mobile}});
    if (options_.mobile)
        command("Emulation.setTouchEmulationEnabled", {{"enabled", true}, {"maxTouchPoints", 5}});
}

QJsonObject Browser::command(const QString& method, const QJsonObject& params, int timeoutMs) {
    const int id = nextId_++;
    socket_.sendTextMessage(QString::fromUtf8(
        QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
            .toJson(QJsonDocument::Compact)));
    waitUntil(
        [&] {
            if (socket_.state() != QAbstractSocket::ConnectedState)
                throw BrowserError(
                    ("the page's DevTools connection closed awaiting " + method).toStdString());
            return replies_.contains(id);
        },
        timeout(timeoutMs), "chromium's answer to " + method);
    const QJsonObject reply = replies_.take(id);
    if (reply.contains("error"))
        throw BrowserError(QStringLiteral("%1 failed: %2")
                               .arg(method, reply["error"].toObject()["message"].toString())
                               .toStdString());
    return reply["result"].toObject();
}

void Browser::waitUntil(const std::function<bool()>& done, int timeoutMs, const QString& what) {
    const QDeadlineTimer deadline(timeoutMs);
    QTimer tick; // wakes the loop to look at the deadline when nothing else happens
    tick.start(10);
    while (!done()) {
        if (deadline.hasExpired())
            throw BrowserError(QStringLiteral("timed out after %1 ms waiting for %2")
                                   .arg(timeoutMs)
                                   .arg(what)
                                   .toStdString());
        if (process_.state() == QProcess::NotRunning)
            throw BrowserError(QStringLiteral("chromium ended while waiting for %1; it said: %2")
                                   .arg(what, lastOutput())
                                   .toStdString());
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void Browser::send(const QString& method, const QJsonObject& params) {
    const int id = nextId_++;
    unawaited_.insert(id);
    socket_.sendTextMessage(QString::fromUtf8(
        QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
            .toJson(QJsonDocument::Compact)));
}

void Browser::onMessage(const QString& text) {
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    if (message.contains("id")) {
        if (!unawaited_.remove(message["id"].toInt()))
            replies_.insert(message["id"].toInt(), message);
        return;
    }
    const QString method = message["method"].toString();
    const QJsonObject params = message["params"].toObject();
    if (method == "Fetch.requestPaused") {
        answerPausedRequest(params);
    } else if (method == "Page.loadEventFired") {
        ++loads_;
    } else if (method == "Runtime.exceptionThrown") {
        errors_ << "exception: " + describeException(params["exceptionDetails"].toObject());
    } else if (method == "Runtime.consoleAPICalled") {
        const QString type = params["type"].toString();
        if (type != "error" && type != "assert")
            return;
        QStringList arguments;
        for (const QJsonValue& argument : params["args"].toArray())
            arguments << describeArgument(argument.toObject());
        errors_ << "console." + type + ": " + arguments.join(' ');
    } else if (method == "Log.entryAdded") {
        const QJsonObject entry = params["entry"].toObject();
        if (entry["level"].toString() == "error")
            errors_ << "log: " + entry["text"].toString() + " " + entry["url"].toString();
    }
}

void Browser::onOutput() {
    output_ += process_.readAll();
    constexpr qsizetype kept = 64 * 1024; // enough for the DevTools line and the last complaints
    if (output_.size() > kept)
        output_.remove(0, output_.size() - kept);
}

QString Browser::lastOutput() const {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(output_).split('\n', Qt::SkipEmptyParts)) {
        if (!line.contains("dbus")) // no system bus in a container: noise on every start
            lines << line;
    }
    return lines.mid(qMax(0, lines.size() - 10)).join('\n');
}

void Browser::navigate(const QString& url, int timeoutMs) {
    const QDeadlineTimer deadline(timeout(timeoutMs));
    const int loadsBefore = loads_;
    const QJsonObject result = command("Page.navigate", {{"url", url}}, timeout(timeoutMs));
    const QString error = result["errorText"].toString();
    if (!error.isEmpty())
        throw BrowserError(
            QStringLiteral("navigate to %1 failed: %2").arg(url, error).toStdString());
    waitUntil([&] { return loads_ > loadsBefore; }, qMax<qint64>(0, deadline.remainingTime()),
              "the load event of " + url);
}

QJsonValue Browser::evaluate(const QString& expression, int timeoutMs) {
    const QJsonObject result = command(
        "Runtime.evaluate",
        {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}}, timeoutMs);
    if (result.contains("exceptionDetails"))
        throw BrowserError(
            QStringLiteral("evaluating %1 threw %2")
                .arg(expression, describeException(result["exceptionDetails"].toObject()))
                .toStdString());
    return result["result"].toObject().value("value");
}

bool Browser::holdsNow(const QString& condition, int timeoutMs) {
    try {
        return evaluate("!!(" + condition + ")", timeoutMs).toBool();
    } catch (const BrowserError& error) {
        // A page loading itself again has no document to ask for a moment: not yet, not a fault.
        const QString message = QString::fromUtf8(error.what());
        if (message.contains("navigated or closed") || message.contains("Cannot find context") ||
            message.contains("context was destroyed"))
            return false;
        throw;
    }
}

void Browser::waitFor(const QString& condition, int timeoutMs) {
    const int limit = timeout(timeoutMs);
    const QDeadlineTimer deadline(limit);
    while (!holdsNow(condition, limit)) {
        if (deadline.hasExpired())
            throw BrowserError(QStringLiteral("timed out after %1 ms waiting for %2")
                                   .arg(limit)
                                   .arg(condition)
                                   .toStdString());
        const QDeadlineTimer pause(10);
        waitUntil([&] { return pause.hasExpired(); }, limit, "a pause");
    }
}

QJsonObject Browser::centreOf(const QString& cssSelector) {
    // Where a person would point, and whether the element is what is there.
    const QJsonObject target = evaluate(QStringLiteral(R"((() => {
        const e = document.querySelector(%1);
        if (!e) return {problem: 'no element matches it'};
        e.scrollIntoView({block: 'center', inline: 'center'});
        const r = e.getBoundingClientRect();
        if (r.width === 0 || r.height === 0) return {problem: 'it is not shown'};
        const x = r.left + r.width / 2, y = r.top + r.height / 2;
        const hit = document.elementFromPoint(x, y);
        if (hit !== e && !e.contains(hit))
            return {problem: 'it is covered by ' + (hit ? hit.tagName.toLowerCase() +
                (hit.id ? '#' + hit.id : '') + [...hit.classList].map(c => '.' + c).join('')
                : 'nothing')};
        return {x, y};
    })())")
                                            .arg(jsString(cssSelector)))
                                   .toObject();
    if (target.contains("problem"))
        throw BrowserError(QStringLiteral("cannot point at %1: %2")
                               .arg(cssSelector, target["problem"].toString())
                               .toStdString());
    return target;
}

void Browser::click(const QString& cssSelector) {
    const QJsonObject target = centreOf(cssSelector);
    auto mouse = [&](const char* type, const char* button, int buttons) {
        command("Input.dispatchMouseEvent", {{"type", type},
                                             {"x", target["x"]},
                                             {"y", target["y"]},
                                             {"button", button},
                                             {"buttons", buttons},
                                             {"clickCount", 1}});
    };
    mouse("mouseMoved", "none", 0);
    mouse("mousePressed", "left", 1);
    mouse("mouseReleased", "left", 0);
}

void Browser::type(const QString& cssSelector, const QString& text) {
    const QString problem = evaluate(QStringLiteral(R"((() => {
        const e = document.querySelector(%1);
        if (!e) return 'no element matches it';
        e.focus();
        return document.activeElement === e ? '' : 'it does not take the focus';
    })())")
                                         .arg(jsString(cssSelector)))
                                .toString();
    if (!problem.isEmpty())
        throw BrowserError(
            QStringLiteral("cannot type into %1: %2").arg(cssSelector, problem).toStdString());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        press(character == "\n" ? QStringLiteral("Enter") : character);
        i += length - 1;
    }
}

void Browser::press(const QString& key) {
    QJsonObject event = keyEvent(key);
    event["type"] = "keyDown";
    command("Input.dispatchKeyEvent", event);
    event["type"] = "keyUp";
    event.remove("text");
    command("Input.dispatchKeyEvent", event);
}

void Browser::pointerDown(const QString& cssSelector, bool touch) {
    const QJsonObject target = centreOf(cssSelector);
    pointer_ = {{"x", target["x"]}, {"y", target["y"]}, {"touch", touch}};
    if (touch) {
        command("Input.dispatchTouchEvent",
                {{"type", "touchStart"},
                 {"touchPoints", QJsonArray{QJsonObject{{"x", target["x"]}, {"y", target["y"]}}}}});
        return;
    }
    for (const auto& [type, buttons] : {std::pair{"mouseMoved", 0}, std::pair{"mousePressed", 1}})
        command("Input.dispatchMouseEvent", {{"type", type},
                                             {"x", target["x"]},
                                             {"y", target["y"]},
                                             {"button", buttons ? "left" : "none"},
                                             {"buttons", buttons},
                                             {"clickCount", 1}});
}

void Browser::pointerUp(bool cancelled) {
    if (pointer_.isEmpty())
        throw BrowserError("pointerUp: no pointer is down");
    const QJsonObject at = std::exchange(pointer_, {});
    if (at["touch"].toBool()) {
        command("Input.dispatchTouchEvent",
                {{"type", cancelled ? "touchCancel" : "touchEnd"}, {"touchPoints", QJsonArray{}}});
        return;
    }
    command("Input.dispatchMouseEvent", {{"type", "mouseReleased"},
                                         {"x", at["x"]},
                                         {"y", at["y"]},
                                         {"button", "left"},
                                         {"buttons", 0},
                                         {"clickCount", 1}});
}

void Browser::refuseRequests(const QString& urlPattern, int status) {
    if (status == 0)
        refusals_.remove(urlPattern);
    else
        refusals_.insert(urlPattern, status);
    if (refusals_.isEmpty()) {
        command("Fetch.disable");
        return;
    }
    QJsonArray patterns;
    for (const QString& pattern : refusals_.keys())
        patterns.append(QJsonObject{{"urlPattern", pattern}});
    command("Fetch.enable", {{"patterns", patterns}});
}

void Browser::answerPausedRequest(const QJsonObject& params) {
    const QString url = params["request"].toObject()["url"].toString();
    const QString requestId = params["requestId"].toString();
    for (auto it = refusals_.cbegin(); it != refusals_.cend(); ++it) {
        if (!QRegularExpression::fromWildcard(it.key(), Qt::CaseSensitive,
                                              QRegularExpression::UnanchoredWildcardConversion)
                 .match(url)
                 .hasMatch())
            continue;
        const QByteArray body = R"({"error":"refused by the test"})";
        send("Fetch.fulfillRequest",
             {{"requestId", requestId},
              {"responseCode", it.value()},
              {"responseHeaders",
               QJsonArray{QJsonObject{{"name", "Content-Type"}, {"value", "application/json"}}}},
              {"body", QString::fromLatin1(body.toBase64())}});
        return;
    }
    send("Fetch.continueRequest", {{"requestId", requestId}});
}

void Browser::emulateMedia(const QString& feature, const QString& value) {
    command("Emulation.setEmulatedMedia",
            {{"features", QJsonArray{QJsonObject{{"name", feature}, {"value", value}}}}});
}

void Browser::screenshot(const QString& path) {
    const QByteArray png = QByteArray::fromBase64(
        command("Page.captureScreenshot", {{"format", "png"}})["data"].toString().toLatin1());
    QSaveFile file(path);
    if (png.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size() ||
        !file.commit())
        throw BrowserError(QStringLiteral("cannot save the screenshot as %1: %2")
                               .arg(path, file.errorString())
                               .toStdString());
}

void Browser::kill() {
    socket_.abort();
    if (processId_ > 0)
        ::kill(-pid_t(processId_), SIGKILL);
    process_.waitForFinished(5000);
}

} // namespace test_support
