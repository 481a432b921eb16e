#include "station/ListenRetry.h"

#include "core/VersionTexts.h"
#include "station/StationLogging.h"

#include <algorithm>

namespace station {

ListenRetry::ListenRetry(platform::Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform),
      timer_(platform_.createTimer([this] { tryAgain(); })) {}

ListenRetry::~ListenRetry() = default;

void ListenRetry::setListen(const QString& server, const QHostAddress& address, quint16 port,
                            std::function<bool(QString*)> listen) {
    Stop();
    listen_ = std::move(listen);
    server_ = server;
    where_ = QStringLiteral("%1 port %2").arg(address.toString()).arg(port);
}

QString ListenRetry::tryOnce() {
    QString why;
    if (listen_(&why))
        return {};
    return QStringLiteral("%1 cannot listen on %2: %3.").arg(server_, where_, why);
}

bool ListenRetry::Start(QString* error) {
    Stop();
    const QString failure = tryOnce();
    if (failure.isEmpty())
        return true;
    qCWarning(lcStation).noquote()
        << failure << QStringLiteral("Tried again ever less often, up to every %1 s.")
                          .arg(LongestRetryMs / 1000);
    if (error)
        *error = failure + QStringLiteral(" It tries again until the port is free.");
    delayMs_ = FirstRetryMs;
    timer_->start(delayMs_);
    return false;
}

void ListenRetry::Stop() {
    timer_->stop();
}

void ListenRetry::tryAgain() {
    if (!tryOnce().isEmpty()) {
        delayMs_ = std::min(2 * delayMs_, LongestRetryMs);
        timer_->start(delayMs_);
        return;
    }
    timer_->stop();
    platform_.notify(QStringLiteral("%1 now listens on %2.").arg(server_, where_),
                     core::MessageTitle(), platform::Icon::Information);
}

} // namespace station
