#include "port/StepDirSettings.h"

#include "core/SettingsFile.h"

#include <QLoggingCategory>
#include <functional>
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

QString BitText(int bit) {
    return QStringLiteral("D%1").arg(bit);
}

// 3 for "D3" or "3"; nullopt for anything else.
std::optional<int> BitFromText(const QString& text) {
    QString t = text.trimmed().toUpper();
    if (t.startsWith(QLatin1Char('D')))
        t.remove(0, 1);
    bool ok = false;
    const int bit = t.toInt(&ok);
    if (!ok || bit < 0 || bit > 7)
        return std::nullopt;
    return bit;
}

std::optional<int> NumberFromText(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < lowest || n > highest)
        return std::nullopt;
    return n;
}

class GroupReader {
public:
    GroupReader(const QSettings& ini, const QString& file, const QString& group,
                core::SettingsReport* report)
        : ini_(ini), file_(file), group_(group), report_(report) {}

    // Reads key with use(text), which returns false for a text it cannot use; a missing key is
    // noted to be added with defaultText.
    void read(const QString& key, const QString& defaultText,
              const std::function<bool(const QString&)>& use) {
        const QString name = group_ + QLatin1Char('/') + key;
        if (!core::SettingsContain(ini_, name)) {
            missing_.emplace_back(key, defaultText);
            return;
        }
        const QString text = core::SettingsText(ini_, name).value_or(QString());
        if (!use(text))
            unused(key, text, defaultText);
    }
    void unused(const QString& key, const QString& found, const QString& kept) {
        if (report_)
            report_->Unused(file_, group_ + QLatin1Char('/') + key, found, kept);
    }
    const std::vector<std::pair<QString, QString>>& missing() const { return missing_; }
    const QString& group() const { return group_; }

private:
    const QSettings& ini_;
    const QString& file_;
    QString group_;
    core::SettingsReport* report_;
    std::vector<std::pair<QString, QString>> missing_;
};

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
                          QStringLiteral("%1 (%2)").arg(BitText(s.*b.bit), why),
                          BitText(defaults.*b.bit));
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
        const int bit = of.*b.bit == other.stepBit ? other.stepBit
                        : of.stepBit == other.*b.bit ? of.stepBit
                                                     : -1;
        if (bit >= 0)
            return QStringLiteral("%1 is stepper %2's %3 line")
                .arg(BitText(bit))
                .arg(otherNumber)
                .arg(QString::fromLatin1(bit == other.stepBit ? "STEP" : b.key).toUpper());
    }
    return {};
}

StepDirSettings ReadStepper(GroupReader& reader, const StepDirSettings& defaults) {
    StepDirSettings s = defaults;
    reader.read(QStringLiteral("output"), QStringLiteral("phase"), [&](const QString& text) {
        const QString t = text.trimmed().toLower();
        if (t != QLatin1String("phase") && t != QLatin1String("stepdir"))
            return false;
        s.output = t == QLatin1String("stepdir") ? OutputKind::StepDir : OutputKind::Phase;
        return true;
    });
    for (const BitKey& b : BitKeys) {
        reader.read(QLatin1String(b.key), BitText(defaults.*b.bit), [&](const QString& text) {
            const auto bit = BitFromText(text);
            s.*b.bit = bit.value_or(defaults.*b.bit);
            return bit.has_value();
        });
    }
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
    reader.read(QStringLiteral("enableActive"), QStringLiteral("low"), [&](const QString& text) {
        const QString t = text.trimmed().toLower();
        if (t != QLatin1String("low") && t != QLatin1String("high"))
            return false;
        s.enableActiveLow = t == QLatin1String("low");
        return true;
    });
    reader.read(QStringLiteral("dirInvert"), QStringLiteral("false"), [&](const QString& text) {
        const auto on = core::SettingsSwitch(text);
        s.dirInvert = on.value_or(defaults.dirInvert);
        return on.has_value();
    });
    struct NumberKey {
        const char* key;
        int StepDirSettings::*value;
        int lowest, highest;
    };
    static constexpr NumberKey NumberKeys[] = {
        {"pulseUs", &StepDirSettings::pulseUs, 1, 1000},
        {"dirSetupUs", &StepDirSettings::dirSetupUs, 0, 1000},
        {"microsteps", &StepDirSettings::microsteps, 1, 256}};
    for (const NumberKey& n : NumberKeys) {
        reader.read(QLatin1String(n.key), QString::number(defaults.*n.value),
                    [&](const QString& text) {
                        const auto value = NumberFromText(text, n.lowest, n.highest);
                        s.*n.value = value.value_or(defaults.*n.value);
                        return value.has_value();
                    });
    }
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
    std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> missing;
    {
        const core::IniSettings ini(settingsFile);
        std::vector<GroupReader> readers;
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            readers.emplace_back(ini, settingsFile, QStringLiteral("stepper%1").arg(i + 1),
                                 report);
            outputs[i] = ReadStepper(readers[i], defaults[i]);
        }
        // A disabled driver still counts the STEP pulses it gets: stepper 2 gives up its
        // lines first, and stepper 1 too when its own are where stepper 2's defaults lie.
        for (std::size_t i : {1, 0}) {
            const std::size_t other = 1 - i;
            if (const QString why = SharedStepLine(outputs[i], outputs[other], int(other) + 1);
                !why.isEmpty())
                TakeDefaultLines(readers[i], outputs[i], defaults[i], why);
        }
        for (const GroupReader& reader : readers) {
            if (!reader.missing().empty())
                missing.emplace_back(reader.group(), reader.missing());
        }
    }
    for (const auto& [group, entries] : missing) {
        QString error;
        if (!core::AppendSettings(settingsFile, group, entries, &error, GroupComment))
            qCWarning(lcStepDirSettings) << "cannot write" << settingsFile << error;
    }
    return outputs;
}

} // namespace port
