#pragma once

#include "platform/Platform.h"

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

    // What Start() tries: listen tries once, true when listening, else error says why; served
    // tells the user where it listens once it does after a failure.
    void setListen(std::function<bool(QString* error)> listen, const QString& served);
    // Tries now; on failure error says why and the tries go on.
    bool Start(QString* error = nullptr);
    void Stop();
    bool retrying() const { return timer_->isActive(); }

private:
    void tryAgain();

    platform::Platform& platform_;
    std::function<bool(QString*)> listen_;
    QString served_;
    std::unique_ptr<platform::Timer> timer_;
    int delayMs_ = FirstRetryMs;
};

} // namespace station
