#include "port/GpioPinMap.h"

#include "core/SettingsGroupReader.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace port {
namespace {

const std::array<QString, 3> BiasNames{QStringLiteral("pull-up"), QStringLiteral("pull-down"),
                                       QStringLiteral("none")}; // by GpioBias

QString LineText(int line) {
    return line == GpioNotConnected ? QStringLiteral("none") : QString::number(line);
}

// 17 for "17" or "GPIO17", GpioNotConnected for "none", nullopt for anything else.
std::optional<int> LineFromText(QString text) {
    text = text.trimmed().toLower();
    if (text == QLatin1String("none"))
        return GpioNotConnected;
    if (text.startsWith(QLatin1String("gpio")))
        text.remove(0, 4);
    bool ok = false;
    const int line = text.toInt(&ok);
    if (!ok || line < 0)
        return std::nullopt;
    return line;
}

} // namespace

GpioPinMap ReadGpioPinMap(core::SettingsGroupReader& gpio, const QString& settingsFile) {
    GpioPinMap map;
    auto problem = [&](const QString& what) {
        if (map.problem.isEmpty())
            map.problem = QStringLiteral("%1: [gpio] %2").arg(settingsFile, what);
    };
    gpio.text(QStringLiteral("chip"), map.chip);

    std::array<std::pair<QString, int*>, 13> lines;
    for (std::size_t i = 0; i < map.data.size(); ++i)
        lines[i] = {QStringLiteral("D%1").arg(i), &map.data[i]};
    for (std::size_t i = 0; i < map.status.size(); ++i)
        lines[map.data.size() + i] = {QStringLiteral("S%1").arg(i + 3), &map.status[i]};
    for (auto& [key, line] : lines) {
        gpio.read(key, LineText(*line), {}, [&](const QString& given) {
            const auto read = LineFromText(given);
            if (!read) {
                problem(QStringLiteral("%1=%2 is no line number; give one such as 17, or none")
                            .arg(key, given));
                return false;
            }
            *line = *read;
            return true;
        });
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            if (*lines[i].second != GpioNotConnected && *lines[i].second == *lines[j].second)
                problem(QStringLiteral("%1 and %2 both use line %3")
                            .arg(lines[i].first, lines[j].first)
                            .arg(*lines[i].second));
        }
    }

    gpio.read(QStringLiteral("bias"), BiasNames[0], {}, [&](const QString& given) {
        const QString bias = given.toLower();
        const auto found = std::find(BiasNames.begin(), BiasNames.end(), bias);
        if (found == BiasNames.end()) {
            problem(QStringLiteral("bias=%1 is not one of pull-up, pull-down, none").arg(bias));
            return false;
        }
        map.bias = static_cast<GpioBias>(found - BiasNames.begin());
        return true;
    });
    return map;
}

} // namespace port
