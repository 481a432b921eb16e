#include "port/StepDirSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"
#include "port/DataBitText.h"

#include <QLoggingCategory>
#include <deque>
#include <optional>

namespace port {

Q_LOGGING_CATEGORY(lcStepDirSettings, "ventrolo.port.stepdir")

namespace {

const QStringList GroupComment{
    QStringLiteral("output=phase: the coil code on D0/D1; output=stepdir: a STEP/DIR driver"),
    QStringLiteral("step, dir, enable: data bits D0..D7 (DB25 pins 2..9); enableActive=low or "
                   "high"),
    QStringLiteral("pulseUs 1..1000 and dirSetupUs 0..1000 in microseconds; microsteps 1..256 as "
                   "set on the driver"),
};

using GroupReader = core::SettingsGroupReader;

struct BitKey {
    const char* key;
    int StepDirSettings::*bit;
};
constexpr BitKey BitKeys[] = {{"step", &StepDirSettings::stepBit},
                              {"dir", &StepDirSettings::dirBit},
                              {"enable", &StepDirSettings::enableBit}};

// STEP, DIR and ENABLE of s back to their defaults; each line that changes is told, with why.
void TakeDefaultLines(GroupReader& reader, StepDirSettings& s, const StepDirSettings& defaults,
                      const QString& why) {
    for (const BitKey& b : BitKeys) {
        if (s.*b.bit != defaults.*b.bit)
            reader.unused(QLatin1String(b.key),
                          QStringLiteral("%1 (%2)").arg(DataBitText(s.*b.bit), why),
                          DataBitText(defaults.*b.bit));
        s.*b.bit = defaults.*b.bit;
    }
}

// Why stepper `of` cannot keep its lines beside the other step/dir stepper `other` (numbered
// 1 or 2): one of its lines is the other's STEP line, or its STEP line is one of the other's,
// and that motor would move with every change of it. Empty when nothing is shared.
QString SharedStepLine(const StepDirSettings& of, const StepDirSettings& other, int otherNumber) {
    if (of.output != OutputKind::StepDir || other.output != OutputKind::StepDir)
        return {};
    for (const BitKey& b : BitKeys) {
        const int bit = of.*b.bit == other.stepBit   ? other.stepBit
                        : of.stepBit == other.*b.bit ? of.stepBit
                                                     : -1;
        if (bit >= 0)
            return QStringLiteral("%1 is stepper %2's %3 line")
                .arg(DataBitText(bit))
                .arg(otherNumber)
                .arg(QString::fromLatin1(bit == other.stepBit ? "STEP" : b.key).toUpper());
    }
    return {};
}

StepDirSettings ReadStepper(GroupReader& reader, const StepDirSettings& defaults) {
    StepDirSettings s = defaults;
    reader.choice(QStringLiteral("output"), s.output,
                  {{QStringLiteral("phase"), OutputKind::Phase},
                   {QStringLiteral("stepdir"), OutputKind::StepDir}});
    for (const BitKey& b : BitKeys)
        reader.value(QLatin1String(b.key), s.*b.bit, DataBitFromText, DataBitText(defaults.*b.bit));
    // STEP, DIR and ENABLE on one bit would step the driver when it is switched on: all three
    // take their defaults.
    for (const BitKey& b : BitKeys) {
        for (const BitKey& other : BitKeys) {
            if (&b < &other && s.*b.bit == s.*other.bit) {
                TakeDefaultLines(reader, s, defaults,
                                 QStringLiteral("%1 and %2 on one line")
                                     .arg(QLatin1String(b.key), QLatin1String(other.key)));
                break;
            }
        }
    }
    reader.choice(QStringLiteral("enableActive"), s.enableActiveLow,
                  {{QStringLiteral("low"), true}, {QStringLiteral("high"), false}});
    reader.boolean(QStringLiteral("dirInvert"), s.dirInvert);
    reader.integer(QStringLiteral("pulseUs"), s.pulseUs, 1, 1000);
    reader.integer(QStringLiteral("dirSetupUs"), s.dirSetupUs, 0, 1000);
    reader.integer(QStringLiteral("microsteps"), s.microsteps, 1, 256);
    return s;
}

} // namespace

StepperOutputs DefaultStepperOutputs() {
    StepperOutputs outputs;
    // A disabled driver still counts the STEP pulses it gets and would jump by them when it is
    // enabled again: stepper 2 has a STEP line of its own (pin 7, which nothing else uses).
    outputs[1].stepBit = 5;
    outputs[1].enableBit = 3;
    return outputs;
}

QString DataBitRole(const StepperOutputs& outputs, int bit) {
    QStringList roles;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const StepDirSettings& s = outputs[i];
        if (s.output != OutputKind::StepDir)
            continue;
        const QString stepper = QString::number(i + 1);
        if (s.stepBit == bit)
            roles << QStringLiteral("STEP ") + stepper;
        if (s.dirBit == bit)
            roles << QStringLiteral("DIR ") + stepper;
        if (s.enableBit == bit)
            roles << QStringLiteral("ENABLE ") + stepper;
    }
    return roles.join(QStringLiteral(", "));
}

StepperOutputs ReadStepperOutputs(const QString& settingsFile, core::SettingsReport* report) {
    const StepperOutputs defaults = DefaultStepperOutputs();
    StepperOutputs outputs = defaults;
    std::deque<GroupReader> readers;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        readers.emplace_back(settingsFile, QStringLiteral("stepper%1").arg(i + 1), report);
        outputs[i] = ReadStepper(readers[i], defaults[i]);
    }
    // A disabled driver still counts the STEP pulses it gets: stepper 2 gives up its lines
    // first, and stepper 1 too when its own are where stepper 2's defaults lie.
    for (std::size_t i : {1, 0}) {
        const std::size_t other = 1 - i;
        if (const QString why = SharedStepLine(outputs[i], outputs[other], int(other) + 1);
            !why.isEmpty())
            TakeDefaultLines(readers[i], outputs[i], defaults[i], why);
    }
    for (GroupReader& reader : readers) {
        QString error;
        if (!reader.appendMissing(GroupComment, &error))
            core::LogDefaultsNotAdded(lcStepDirSettings(), settingsFile, error);
    }
    return outputs;
}

} // namespace port
