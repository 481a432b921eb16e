#include "port/GpioPinMap.h"

#include "core/SettingsFile.h"

#include <algorithm>
#include <optional>

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

GpioPinMap ReadGpioPinMap(const QSettings& ini, const QString& settingsFile,
                          std::vector<std::pair<QString, QString>>& missing) {
    GpioPinMap map;
    auto problem = [&](const QString& what) {
        if (map.problem.isEmpty())
            map.problem = QStringLiteral("%1: [gpio] %2").arg(settingsFile, what);
    };
    // The value of key as the user wrote it; a value with a comma (which QSettings reads as a
    // list) is kept whole so it is reported, not overwritten.
    auto text = [&](const QString& key, const QString& fallback) {
        if (const auto given = core::SettingsText(ini, QStringLiteral("gpio/") + key))
            return *given;
        missing.emplace_back(key, fallback);
        return fallback;
    };
    map.chip = text(QStringLiteral("chip"), map.chip);

    std::array<std::pair<QString, int*>, 13> lines;
    for (std::size_t i = 0; i < map.data.size(); ++i)
        lines[i] = {QStringLiteral("D%1").arg(i), &map.data[i]};
    for (std::size_t i = 0; i < map.status.size(); ++i)
        lines[map.data.size() + i] = {QStringLiteral("S%1").arg(i + 3), &map.status[i]};
    for (auto& [key, line] : lines) {
        const QString given = text(key, LineText(*line));
        if (const auto read = LineFromText(given))
            *line = *read;
        else
            problem(QStringLiteral("%1=%2 is no line number; give one such as 17, or none")
                        .arg(key, given));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            if (*lines[i].second != GpioNotConnected && *lines[i].second == *lines[j].second)
                problem(QStringLiteral("%1 and %2 both use line %3")
                            .arg(lines[i].first, lines[j].first)
                            .arg(*lines[i].second));
        }
    }

    const QString bias = text(QStringLiteral("bias"), BiasNames[0]).toLower();
    if (const auto found = std::find(BiasNames.begin(), BiasNames.end(), bias);
        found != BiasNames.end())
        map.bias = static_cast<GpioBias>(found - BiasNames.begin());
    else
        problem(QStringLiteral("bias=%1 is not one of pull-up, pull-down, none").arg(bias));
    return map;
}

} // namespace port
