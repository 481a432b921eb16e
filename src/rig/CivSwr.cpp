// The Icom link's SWR meter (15 12) and RF power level (14 0A).
#include "rig/CivFrame.h"
#include "rig/CivRig.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace rig {

namespace {

const QByteArray SwrLevel = QByteArray::fromHex("1512");
const QByteArray PowerLevel = QByteArray::fromHex("140a");
constexpr int FullLevel = 255;

// The meter's marks: level 0 reads 1.0, 48 1.5, 80 2.0, 120 3.0; on beyond the last at its
// slope.
double SwrOfLevel(int level) {
    struct Mark {
        int level;
        double swr;
    };
    constexpr Mark Marks[] = {{0, 1.0}, {48, 1.5}, {80, 2.0}, {120, 3.0}};
    for (std::size_t i = 1; i < std::size(Marks); ++i)
        if (level <= Marks[i].level || i + 1 == std::size(Marks)) {
            const Mark& a = Marks[i - 1];
            const Mark& b = Marks[i];
            return a.swr + (b.swr - a.swr) * (level - a.level) / (b.level - a.level);
        }
    return 1.0;
}

} // namespace

void CivRig::readSwr(Value done) {
    const auto answer = [this, done](std::optional<double> swr) {
        deliver([done, swr] { done(swr); });
    };
    if (!command(SwrLevel, 2, QStringLiteral("Ask SWR"),
                 [answer](const std::optional<QByteArray>& data) {
                     const std::optional<int> level = data ? civ::Level(*data) : std::nullopt;
                     answer(level ? std::optional<double>(SwrOfLevel(*level)) : std::nullopt);
                 }))
        answer(std::nullopt);
}

void CivRig::readPower(Value done) {
    const auto answer = [this, done](std::optional<double> watts) {
        deliver([done, watts] { done(watts); });
    };
    const double most = model_->maxPowerW;
    if (!command(PowerLevel, 2, QStringLiteral("Ask power"),
                 [answer, most](const std::optional<QByteArray>& data) {
                     const std::optional<int> level = data ? civ::Level(*data) : std::nullopt;
                     answer(level ? std::optional<double>(most * *level / FullLevel)
                                  : std::nullopt);
                 }))
        answer(std::nullopt);
}

void CivRig::setPower(double watts, Done done) {
    const double most = model_->maxPowerW;
    if (most <= 0 || watts <= 0 || watts > most) {
        done(false);
        return;
    }
    // Rounded down: never more than asked.
    const int level = std::clamp(int(std::floor(watts / most * FullLevel + 1e-6)), 1, FullLevel);
    const auto answer = [this, done](bool ok) { deliver([done, ok] { done(ok); }); };
    // The rig answers FB when it took the level.
    if (!command(PowerLevel + civ::LevelBytes(level), 2, QStringLiteral("Set power"),
                 [answer](const std::optional<QByteArray>& data) { answer(data.has_value()); }))
        answer(false);
}

} // namespace rig
