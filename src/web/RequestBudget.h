#pragma once

#include <QHash>
#include <QString>

namespace web {

// How many requests a peer may make: a bucket of Burst requests per peer address that fills
// again at RatePerSecond; a request that finds it empty is refused (the client is slowed, the
// station is not). Peers quiet long enough to have a full bucket are forgotten.
class RequestBudget {
public:
    static constexpr double Burst = 80;
    static constexpr double RatePerSecond = 20;

    // True when the peer may make a request at nowMs (a steady clock), and it is counted.
    bool take(const QString& peer, double nowMs);

private:
    struct Bucket {
        double tokens = Burst;
        double atMs = 0;
    };
    QHash<QString, Bucket> buckets_;
};

} // namespace web
