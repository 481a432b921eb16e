#include "station/ListenRetry.h"

#include "core/VersionTexts.h"
#include "station/StationLogging.h"

#include <algorithm>

namespace station {

ListenRetry::ListenRetry(platform::Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform),
      timer_(platform_.createTimer([this] { tryAgain(); })) {}

ListenRetry::~ListenRetry() = default;

void ListenRetry::setListen(std::function<bool(QString*)> listen, const QString& served) {
    Stop();
    listen_ = std::move(listen);
    served_ = served;
}

bool ListenRetry::Start(QString* error) {
    Stop();
    QString why;
    if (listen_(&why))
        return true;
    qCWarning(lcStation).noquote()
        << why << QStringLiteral("Tried again ever less often, up to every %1 s.")
                      .arg(LongestRetryMs / 1000);
    if (error)
        *error = why;
    delayMs_ = FirstRetryMs;
    timer_->start(delayMs_);
    return false;
}

void ListenRetry::Stop() {
    timer_->stop();
}

void ListenRetry::tryAgain() {
    QString why;
    if (!listen_(&why)) {
        delayMs_ = std::min(2 * delayMs_, LongestRetryMs);
        timer_->start(delayMs_);
        return;
    }
    timer_->stop();
    platform_.notify(served_, core::MessageTitle(), platform::Icon::Information);
}

} // namespace station
