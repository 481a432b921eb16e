#include "core/ConfigFile.h"

#include "core/AtomicFile.h"
#include "core/SequentialFile.h"
#include "core/TextFile.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <utility>

namespace core {

Q_LOGGING_CATEGORY(lcConfig, "ventrolo.config")

namespace {

const QString ConfigVersion = QStringLiteral("Version 1.24");
// The counters are on lines 6 and 7, the overlay positions on line 11.
constexpr int LastPositionLine = 11;

// Whether a file name the configuration keeps ("\\Table.cat") names a file of the program
// directory: a hand-edited name must not lead the table or timer file out of it.
bool NamesAFileOfTheDirectory(const QString& stored) {
    const QString name = stored.startsWith(QLatin1Char('\\')) ? stored.mid(1) : stored;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

// CalibrationSteps is held as a Long but stored as a 16-bit Integer.
struct AsInteger {
    Long& value;
};

// Visits every field after the version text in file order; endLine() closes each line.
template <typename State, typename Visitor> void visitFields(State& s, Visitor& v) {
    auto& p1 = s.StoredProfiles[0];
    auto& p2 = s.StoredProfiles[1];
    v.field(s.ConfigReserved), v.endLine();                                               // 2
    v.field(s.TableFileName), v.field(s.FrequencyUnit), v.endLine();                      // 3
    v.field(s.TimerFileName), v.endLine();                                                // 4
    v.field(s.SelectedStepper), v.field(s.PcSpeed), v.field(s.LptExtraBits), v.endLine(); // 5
    for (auto* p : {&p1, &p2}) {                                                          // 6, 7
        v.field(p->StepCounter), v.field(p->MinPosition), v.field(p->MaxPosition);
        v.field(p->CenterPosition), v.field(p->AutoPower), v.endLine();
    }
    v.field(p1.StepsPer360), v.field(p2.StepsPer360), v.endLine(); // 8
    for (auto* p : {&p1, &p2}) {                                   // 9, 10
        v.field(p->CustomDelayMs), v.field(p->FastestDelayMs), v.field(p->SlowestDelayMs);
        v.endLine();
    }
    v.field(p1.OverlayPosition), v.field(p2.OverlayPosition), v.endLine(); // 11
    v.field(p1.OverlaySteps), v.field(p2.OverlaySteps), v.endLine();       // 12
    v.field(p1.ShuttleMin), v.field(p1.ShuttleMax), v.endLine();           // 13
    v.field(p2.ShuttleMin), v.field(p2.ShuttleMax), v.endLine();           // 14
    v.field(p1.PulsSteps), v.field(p1.PulsTime), v.endLine();              // 15
    v.field(p2.PulsSteps), v.field(p2.PulsTime), v.endLine();              // 16
    v.field(AsInteger{p1.CalibrationSteps}), v.field(AsInteger{p2.CalibrationSteps});
    v.endLine();                                                       // 17
    v.field(p1.GotoStepValue), v.field(p2.GotoStepValue), v.endLine(); // 18
    v.field(s.LptAddress), v.endLine();                                // 19
    v.field(p1.ComPort), v.field(p2.ComPort), v.field(p1.BaudRate), v.field(p2.BaudRate);
    v.endLine(); // 20
    v.field(s.ComPollMs), v.field(s.RigModel), v.field(s.CatScrollSetting), v.field(s.RigModeCode),
        v.endLine(); // 21
    v.field(s.PelorusBackColor), v.field(s.PelorusRimColor), v.field(s.PelorusMiddleColor),
        v.field(s.PelorusDegreeColor), v.endLine();                           // 22
    v.field(s.SmallPelorusHeight), v.field(s.SmallPelorusWidth), v.endLine(); // 23
    v.field(s.BothSteppersPin6), v.field(s.JoystickOn), v.endLine();          // 24
    for (auto* p : {&p1, &p2}) {                                              // 25, 26
        v.field(p->MainShown), v.field(p->PelorusShown), v.field(p->TableWindowShown);
        v.field(p->TimerWindowShown), v.endLine();
    }
    v.field(p1.SmallPelorusShown), v.field(p2.SmallPelorusShown), v.field(p1.OverlayMenu),
        v.field(p2.OverlayMenu), v.endLine(); // 27
    using Flag = bool StepperProfile::*;
    for (Flag flag : {&StepperProfile::OverlayOn, &StepperProfile::OverlayState,
                      &StepperProfile::CircleRefLines, &StepperProfile::RemoteTurning,
                      &StepperProfile::EndSwitches, &StepperProfile::SwitchesShowOnly,
                      &StepperProfile::CenterSwitch, &StepperProfile::SpeedModulate}) {
        v.field(p1.*flag), v.field(p2.*flag), v.endLine(); // 28 to 35
    }
}

struct FieldWriter {
    SequentialWriter out;
    template <typename T> void field(T& value) { out.field(value); }
    void field(AsInteger v) { out.field(RoundToInteger(v.value)); }
    void endLine() { out.endRecord(); }
};

// Reads field after field; after the first fault it reads nothing more, so every later field
// keeps the value it had.
struct FieldReader {
    SequentialReader& in;
    int faultLine = 0;

    template <typename T, typename Read> void read(T& target, Read readField) {
        if (faultLine != 0)
            return;
        if (const auto value = (in.*readField)())
            target = *value;
        else
            faultLine = in.line();
    }
    void field(QString& v) { read(v, &SequentialReader::readString); }
    void field(Long& v) { read(v, &SequentialReader::readLong); }
    void field(Integer& v) { read(v, &SequentialReader::readInteger); }
    void field(Single& v) { read(v, &SequentialReader::readSingle); }
    void field(bool& v) { read(v, &SequentialReader::readBoolean); }
    void field(AsInteger v) {
        Integer small = 0;
        if (faultLine != 0)
            return;
        field(small);
        if (faultLine == 0)
            v.value = small;
    }
    void endLine() {}
};

} // namespace

ConfigFile::ConfigFile(ProgramState& state, platform::Platform& platform, QString programDirectory)
    : state_(state), platform_(platform), directory_(std::move(programDirectory)) {}

QString ConfigFile::path() const {
    return directory_ + QStringLiteral("/Ventrolo.cfg");
}

QString ConfigFile::damagedCopyPath() const {
    return path() + QStringLiteral(".damaged");
}

QByteArray ConfigFile::serialize() const {
    FieldWriter writer;
    writer.out.field(ConfigVersion).endRecord();
    visitFields(state_, writer);
    return writer.out.bytes();
}

int ConfigFile::deserialize(const QByteArray& contents, bool* allRead) {
    SequentialReader in(contents);
    const auto version = in.readString();
    if (allRead)
        *allRead = false;
    if (!version)
        return 1;
    FieldReader reader{in};
    visitFields(state_, reader);
    // Only the first stepper or the second exist; any other number selects the first.
    if (state_.SelectedStepper != 1)
        state_.SelectedStepper = 0;
    if (reader.faultLine != 0)
        return reader.faultLine;
    if (allRead)
        *allRead = true;
    // What follows the last setting is no part of the file: it is damage too.
    return in.atEnd() ? 0 : in.line();
}

ConfigFile::Loaded ConfigFile::LoadConfig() {
    positionsRead_ = false;
    const TextFileRead read = ReadTextFile(path());
    if (read.status == TextFileRead::Status::Missing) {
        DefaultConfig();
        return Loaded::Defaults;
    }
    if (read.status == TextFileRead::Status::Unreadable) {
        // Saving over a file that could not even be read would lose every setting in it.
        damaged(QStringLiteral("%1 cannot be read: %2. The default settings are used; the file "
                               "is kept as %3 before it is saved over.")
                    .arg(path(), read.error, damagedCopyPath()));
        DefaultConfig();
        return Loaded::Defaults;
    }

    if (SequentialReader(read.bytes).readString() != ConfigVersion) {
        // Not a file of this version, or its first line is damaged: none of it can be read,
        // but it may hold every setting the user has.
        damaged(QStringLiteral("%1 is damaged: its first line is not \"%2\", so nothing in it "
                               "is read and the default settings are used. The file is kept as "
                               "%3 before it is saved over.")
                    .arg(path(), ConfigVersion, damagedCopyPath()));
        DefaultConfig();
        return Loaded::Defaults;
    }
    bool allRead = false;
    const int faultLine = deserialize(read.bytes, &allRead);
    positionsRead_ = faultLine == 0 || allRead || faultLine > LastPositionLine;
    if (faultLine != 0) {
        const QString what =
            allRead ? QStringLiteral("%1 is damaged: it goes on after the settings at line %2%3; "
                                     "that part was not read, the settings were.")
                          .arg(path(), QString::number(faultLine),
                               read.truncated ? QStringLiteral(" (%1)").arg(TruncatedText())
                                              : QString())
                    : QStringLiteral("%1 is damaged at line %2: the settings from there on keep "
                                     "their previous values.")
                          .arg(path(), QString::number(faultLine));
        damaged(what + QStringLiteral(" The damaged file is kept as %1 before it is saved over.")
                           .arg(damagedCopyPath()));
    }
    const ProgramState defaults;
    keepNameInDirectory(state_.TableFileName, defaults.TableFileName, 3);
    keepNameInDirectory(state_.TimerFileName, defaults.TimerFileName, 4);
    for (int stepper = 0; stepper < 2; ++stepper)
        keepLimitsInOrder(stepper);
    return Loaded::FromFile;
}

void ConfigFile::keepLimitsInOrder(int stepper) {
    StepperProfile& profile = state_.StoredProfiles[stepper];
    if (profile.MinPosition <= profile.MaxPosition)
        return;
    // Only a hand-edited file holds them so: the windows keep the lower limit below the upper.
    // Exchanged, they give the range meant; left so, no position would lie within them and the
    // stepper would follow nothing.
    damaged(QStringLiteral("%1: the lower limit of stepper %2 (%3) at line %4 is above its upper "
                           "limit (%5); the two are exchanged. The file is kept as %6 before it "
                           "is saved over.")
                .arg(path(), QString::number(stepper + 1), QString::number(profile.MinPosition),
                     QString::number(6 + stepper), QString::number(profile.MaxPosition),
                     damagedCopyPath()));
    std::swap(profile.MinPosition, profile.MaxPosition);
}

void ConfigFile::keepNameInDirectory(QString& name, const QString& fallback, int line) {
    if (NamesAFileOfTheDirectory(name))
        return;
    damaged(QStringLiteral("%1: the file name \"%2\" at line %3 is no file of the program "
                           "directory; \"%4\" is used instead. The file is kept as %5 before it "
                           "is saved over.")
                .arg(path(), name, QString::number(line), fallback, damagedCopyPath()));
    name = fallback;
}

void ConfigFile::damaged(const QString& text) {
    qCWarning(lcConfig).noquote() << text;
    damaged_ = true;
    platform_.messageBox(text, MessageTitle(), platform::Icon::Exclamation);
}

bool ConfigFile::keepDamagedCopy(FailureTold told) {
    const QFileInfo file(path());
    if (!file.exists() && !file.isSymLink())
        return true; // removed meanwhile: nothing left to lose
    QString error;
    if (CopyFileAtomically(path(), damagedCopyPath(), &error))
        return true;
    failed(QStringLiteral("%1 is damaged and could not be kept as %2: %3. The settings were not "
                          "saved, so the damaged file stays as it is.")
               .arg(path(), damagedCopyPath(), error),
           told);
    return false;
}

void ConfigFile::failed(const QString& text, FailureTold told) {
    if (told == FailureTold::OnceUntilSaved && failureTold_)
        return;
    failureTold_ = true;
    qCWarning(lcConfig).noquote() << text;
    platform_.messageBox(text, MessageTitle(), platform::Icon::Exclamation);
}

bool ConfigFile::SaveConfig(FailureTold told) {
    if (damaged_) {
        if (!keepDamagedCopy(told))
            return false;
        damaged_ = false;
    }
    QString error;
    if (WriteFileAtomically(path(), serialize(), &error)) {
        failureTold_ = false;
        return true;
    }
    failed(QStringLiteral("The settings could not be saved to %1: %2").arg(path(), error), told);
    return false;
}

void ConfigFile::DefaultConfig() {
    // Told without waiting: a station started without its configuration (a first start, or
    // one killed before it ever saved) serves and reads its journal while nobody is there.
    platform_.notify(QStringLiteral("I create/use the default ") + path(), AppTitle,
                     platform::Icon::Information);
    ProgramState& s = state_;
    const Long keptMinPosition2 = s.StoredProfiles[1].MinPosition;
    for (int stepper = 0; stepper < 2; ++stepper) {
        StepperProfile& p = s.StoredProfiles[stepper];
        StepperProfile defaults = DefaultStepperProfile(stepper);
        defaults.SpeedModulate = p.SpeedModulate;
        // The motors stand where they are: the default counters name them on the coil codes
        // they hold (the selected one's place is the working profile's).
        StepperProfile standing = stepper == (s.SelectedStepper == 1 ? 1 : 0) ? s.working() : p;
        standing.Relabel(defaults.StepCounter, defaults.OverlayPosition);
        defaults.PhaseOffset = standing.PhaseOffset;
        p = defaults;
    }
    s.StoredProfiles[1].MinPosition = keptMinPosition2;

    const ProgramState defaults;
    s.FrequencyUnit = defaults.FrequencyUnit;
    s.TableFileName = defaults.TableFileName;
    s.TimerFileName = defaults.TimerFileName;
    s.SelectedStepper = 0;
    s.LptExtraBits = 0;
    s.LptAddress = 888;
    s.ComPollMs = defaults.ComPollMs;
    s.RigModel = defaults.RigModel;
    s.CatScrollSetting = defaults.CatScrollSetting;
    s.RigModeCode = defaults.RigModeCode;
    s.PelorusBackColor = defaults.PelorusBackColor;
    s.PelorusRimColor = defaults.PelorusRimColor;
    s.PelorusMiddleColor = defaults.PelorusMiddleColor;
    s.PelorusDegreeColor = defaults.PelorusDegreeColor;
    s.SmallPelorusHeight = defaults.SmallPelorusHeight;
    s.SmallPelorusWidth = defaults.SmallPelorusWidth;
    s.BothSteppersPin6 = false;
    s.JoystickOn = false;
}

} // namespace core
