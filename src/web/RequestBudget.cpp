#include "web/RequestBudget.h"

#include <algorithm>

namespace web {

bool RequestBudget::take(const QString& peer, double nowMs) {
    // Forget the peers whose buckets are full again, so that many peers cannot fill the table.
    constexpr double FullAfterMs = Burst / RatePerSecond * 1000;
    for (auto it = buckets_.begin(); it != buckets_.end();)
        it = nowMs - it->atMs >= FullAfterMs ? buckets_.erase(it) : std::next(it);
    auto it = buckets_.find(peer);
    if (it == buckets_.end())
        it = buckets_.insert(peer, Bucket{Burst, nowMs});
    Bucket& bucket = *it;
    bucket.tokens = std::min(Burst, bucket.tokens + (nowMs - bucket.atMs) * RatePerSecond / 1000);
    bucket.atMs = nowMs;
    if (bucket.tokens < 1)
        return false;
    bucket.tokens -= 1;
    return true;
}

} // namespace web
