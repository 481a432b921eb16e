#include "display/MoveLogPlace.h"

#include <algorithm>

namespace display {

std::optional<int> LinesAddedOnTop(const QStringList& before, const QStringList& after) {
    if (before.isEmpty())
        return static_cast<int>(after.size());
    // The fewest lines added: the most recent lines may repeat an older one word for word.
    for (qsizetype added = 0; added < after.size(); ++added) {
        const qsizetype kept = after.size() - added;
        if (kept > before.size())
            continue;
        if (std::equal(after.begin() + added, after.end(), before.begin()))
            return static_cast<int>(added);
    }
    return std::nullopt;
}

MoveLogPlace KeptPlace(const QStringList& before, const QStringList& after,
                       const MoveLogPlace& place) {
    const std::optional<int> added = LinesAddedOnTop(before, after);
    if (!added)
        return {place.firstLine, 0, 0};
    if (before.isEmpty())
        return {};
    int shift = 0;
    for (int i = 0; i < *added; ++i)
        shift += static_cast<int>(after[i].size()) + 1;
    const int length = static_cast<int>(after.join(QLatin1Char('\n')).size());
    auto moved = [&](int at) { return std::clamp(at + shift, 0, length); };
    return {place.firstLine == 0 ? 0 : place.firstLine + *added, moved(place.anchor),
            moved(place.position)};
}

} // namespace display
