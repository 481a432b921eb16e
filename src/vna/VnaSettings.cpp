#include "vna/VnaSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "vna/VnaLogging.h"

namespace vna {

namespace {

// More play than this is no drive a loop is tuned with.
constexpr int MostBacklash = 1000;

} // namespace

VnaSettings ReadVnaSettings(const QString& settingsFile, core::SettingsReport* report) {
    VnaSettings settings;
    // A blank value is the default.
    core::SettingsGroupReader group(settingsFile, QStringLiteral("vna"), report,
                                    core::SettingsGroupReader::Blank::KeepsDefault);
    group.read(QStringLiteral("port"), QString(),
               QStringLiteral("the VNA's serial device (/dev/ttyACM0), or simulated; blank: none"),
               [&](const QString& text) {
                   settings.port = text.trimmed();
                   return true;
               });
    group.choice(QStringLiteral("dialect"), settings.dialect,
                 {{QStringLiteral("auto"), Dialect::Auto},
                  {QStringLiteral("shell"), Dialect::Shell},
                  {QStringLiteral("v2"), Dialect::V2}},
                 QStringLiteral("auto, shell (NanoVNA, -H, -H4) or v2 (NanoVNA V2, LiteVNA)"));
    group.integer(QStringLiteral("backlash"), settings.simulatedBacklash, 0, MostBacklash,
                  QStringLiteral("steps of play in the simulated loop's drive"));
    if (!group.unusable().isEmpty())
        settings.problem = QStringLiteral("%1: [vna] %2 cannot be used; the default is taken "
                                          "(dialect=auto, backlash=0).")
                               .arg(settingsFile, group.unusable().join(QStringLiteral(", ")));
    QString error;
    if (!group.addMissing(&error))
        core::LogDefaultsNotAdded(lcVna(), settingsFile, error);
    return settings;
}

} // namespace vna
