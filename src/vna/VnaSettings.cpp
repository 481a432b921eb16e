#include "vna/VnaSettings.h"

#include "core/SettingsGroupReader.h"
#include "vna/VnaLogging.h"

namespace vna {

namespace {

// More play than this is no drive a loop is tuned with.
constexpr int MostBacklash = 1000;

} // namespace

VnaSettings ReadVnaSettings(const QString& settingsFile, core::SettingsReport* report) {
    VnaSettings settings;
    core::SettingsGroupReader group(settingsFile, QStringLiteral("vna"), report);
    group.read(QStringLiteral("port"), QString(),
               QStringLiteral("the VNA's serial device (/dev/ttyACM0), or simulated; blank: none"),
               [&](const QString& text) {
                   settings.port = text.trimmed();
                   return true;
               });
    group.read(
        QStringLiteral("dialect"), QStringLiteral("auto"),
        QStringLiteral("auto, shell (NanoVNA, -H, -H4) or v2 (NanoVNA V2, LiteVNA)"),
        [&](const QString& text) {
            const QString name = text.trimmed().toLower();
            if (name.isEmpty() || name == QLatin1String("auto"))
                settings.dialect = Dialect::Auto;
            else if (name == QLatin1String("shell"))
                settings.dialect = Dialect::Shell;
            else if (name == QLatin1String("v2"))
                settings.dialect = Dialect::V2;
            else
                return false;
            return true;
        });
    group.read(QStringLiteral("backlash"), QStringLiteral("0"),
               QStringLiteral("steps of play in the simulated loop's drive"),
               [&](const QString& text) {
                   if (text.trimmed().isEmpty())
                       return true;
                   bool ok = false;
                   const int steps = text.trimmed().toInt(&ok);
                   if (!ok || steps < 0 || steps > MostBacklash)
                       return false;
                   settings.simulatedBacklash = steps;
                   return true;
               });
    if (!group.unusable().isEmpty())
        settings.problem = QStringLiteral("%1: [vna] %2 cannot be used; the default is taken "
                                          "(dialect=auto, backlash=0).")
                               .arg(settingsFile, group.unusable().join(QStringLiteral(", ")));
    QString error;
    if (!group.addMissing(&error))
        qCWarning(lcVna) << "cannot write" << settingsFile << error;
    return settings;
}

} // namespace vna
