#pragma once

#include "platform/Platform.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace station {

// A server that keeps trying to listen: when its port is taken (or its address not there yet,
// as at boot before the network is up) it tries again, first after FirstRetryMs, then ever less
// often up to every LongestRetryMs, until it listens or is stopped; once it listens after a
// failure the user is told where it is served.
class ListenRetry : public QObject {
    Q_OBJECT

public:
    static constexpr int FirstRetryMs = 2000;
    static constexpr int LongestRetryMs = 32000;

    explicit ListenRetry(platform::Platform& platform, QObject* parent = nullptr);
    ~ListenRetry() override;

    // What Start() tries: listen tries once on address and port, true when listening, else
    // why says why; server names it for the user ("The web server").
    void setListen(const QString& server, const QHostAddress& address, quint16 port,
                   std::function<bool(QString* why)> listen);
    // Tries now; on failure error says why, for the user, and the tries go on.
    bool Start(QString* error = nullptr);
    void Stop();
    bool retrying() const { return timer_->isActive(); }

private:
    void tryAgain();

    platform::Platform& platform_;
    // What listen_ gives: "The web server cannot listen on 127.0.0.1 port 80: why."
    QString tryOnce();

    std::function<bool(QString*)> listen_;
    QString server_;
    QString where_; // "127.0.0.1 port 80"
    std::unique_ptr<platform::Timer> timer_;
    int delayMs_ = FirstRetryMs;
};

} // namespace station
