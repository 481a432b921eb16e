#include "port/InhibitSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "port/DataBitText.h"

#include <QLoggingCategory>

namespace port {

Q_LOGGING_CATEGORY(lcInhibitSettings, "ventrolo.port.inhibit")

namespace {

const QStringList GroupComment{
    QStringLiteral("line=none or a data bit D0..D7 that no stepper output uses: asserted from "
                   "leadMs before a turn's first step"),
    QStringLiteral("until tailMs after its last; active=low or high, the level that inhibits "
                   "transmit (low also inhibits while the port has no power)"),
};

const QString None = QStringLiteral("none");

constexpr int NoLine = -1;

// 5 for "D5" or "5", NoLine for "none"; nullopt for anything else.
std::optional<int> InhibitBitFromText(const QString& text) {
    if (text.trimmed().compare(None, Qt::CaseInsensitive) == 0)
        return NoLine;
    return DataBitFromText(text);
}

} // namespace

std::uint8_t InhibitSettings::applied(std::uint8_t value, bool inhibiting) const {
    if (!bit)
        return value;
    const bool high = inhibiting != activeLow;
    return static_cast<std::uint8_t>(high ? value | mask() : value & ~mask());
}

QString StepperUseOf(const StepperOutputs& outputs, int bit) {
    if (const QString role = DataBitRole(outputs, bit); !role.isEmpty())
        return role;
    // A stepper on the coil code drives D0/D1, its enable bit (D2, D3) and, for stepper 2 with
    // "Both steppers and pin6", D4.
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i].output != OutputKind::Phase)
            continue;
        if (bit == 0 || bit == 1)
            return QStringLiteral("the coil code");
        if (bit == 2 + static_cast<int>(i))
            return QStringLiteral("the enable of stepper %1").arg(i + 1);
        if (i == 1 && bit == 4)
            return QStringLiteral("pin 6 of stepper 2");
    }
    return {};
}

InhibitSettings ReadInhibitSettings(const QString& settingsFile, const StepperOutputs& outputs,
                                    core::SettingsReport* report, const platform::LptPort* port) {
    InhibitSettings s;
    core::SettingsGroupReader reader(settingsFile, QStringLiteral("inhibit"), report);
    int line = NoLine;
    reader.value(QStringLiteral("line"), line, InhibitBitFromText, None);
    if (line != NoLine)
        s.bit = line;
    if (s.bit) {
        if (const QString use = StepperUseOf(outputs, *s.bit); !use.isEmpty()) {
            reader.unused(QStringLiteral("line"),
                          QStringLiteral("%1 (it carries %2)").arg(DataBitText(*s.bit), use), None);
            s.bit.reset();
        } else if (port && !port->drivesDataBit(*s.bit)) {
            // Written to nothing, the line would never hold the rig back while the user trusts
            // it does.
            reader.unused(QStringLiteral("line"),
                          QStringLiteral("%1 (%2 has no line for it)")
                              .arg(DataBitText(*s.bit), port->backendName()),
                          None);
            s.bit.reset();
        }
    }
    reader.choice(QStringLiteral("active"), s.activeLow,
                  {{QStringLiteral("low"), true}, {QStringLiteral("high"), false}});
    reader.integer(QStringLiteral("leadMs"), s.leadMs, 0, 1000);
    reader.integer(QStringLiteral("tailMs"), s.tailMs, 0, 5000);
    QString error;
    if (!reader.appendMissing(GroupComment, &error))
        core::LogDefaultsNotAdded(lcInhibitSettings(), settingsFile, error);
    return s;
}

} // namespace port
