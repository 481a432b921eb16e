#include "table/FrequencyTable.h"

#include "core/AtomicFile.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "table/Interpolation.h"
#include "table/TableFile.h"
#include "table/TableFileName.h"

#include <QFile>
#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <limits>

namespace table {

Q_LOGGING_CATEGORY(lcTable, "ventrolo.table")

namespace {

const QString CrLf = QStringLiteral("\r\n");
// A table of 101 rows is a few kilobytes; a larger file is not a table and is not read.
constexpr qint64 MaxTableBytes = 1024 * 1024;
// Damage lines shown to the user; the rest are counted.
constexpr int MaxProblemsShown = 10;
// A typed x at or above this is refused.
constexpr double MaxTableFreq = 500000;
constexpr core::Long MaxStepperOffset = 30;

EngineLink& noEngine() {
    static EngineLink link;
    return link;
}

RigLink& noRig() {
    static RigLink link;
    return link;
}

// a + b held within the 32-bit range.
core::Long addSteps(core::Long a, core::Long b) {
    return static_cast<core::Long>(std::clamp<qint64>(qint64(a) + b,
                                                      std::numeric_limits<core::Long>::min(),
                                                      std::numeric_limits<core::Long>::max()));
}

const QString TimeToChange = QStringLiteral("Now it's time to change") + CrLf +
                             QStringLiteral("stepper and/or  magneticloop antenna connections") +
                             CrLf;
const QString PressOk = QStringLiteral("Press Ok to continue if ready.");

} // namespace

FrequencyTable::FrequencyTable(core::ProgramState& state, platform::Platform& platform,
                               QString programDirectory, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), directory_(std::move(programDirectory)),
      engine_(&noEngine()), rig_(&noRig()) {}

void FrequencyTable::setEngineLink(EngineLink* link) {
    engine_ = link ? link : &noEngine();
}

void FrequencyTable::setRigLink(RigLink* link) {
    rig_ = link ? link : &noRig();
}

core::Single FrequencyTable::TableFreq(int row) const {
    return row >= 0 && row < TableData::RowCount ? data_.TableFreq[row] : 0;
}

core::Long FrequencyTable::TablePos(int row) const {
    return row >= 0 && row < TableData::RowCount ? data_.TablePos[row] : 0;
}

QString FrequencyTable::TableText(int row) const {
    return row >= 0 && row < TableData::RowCount ? data_.TableText[row] : QString();
}

QString FrequencyTable::tablePath() const {
    return TableFilePath(directory_, state_.TableFileName);
}

bool FrequencyTable::confirmed(const QString& question) {
    return platform_.messageBox(question, core::MessageTitle(), platform::Icon::Question,
                                platform::Buttons::YesNo) == platform::Answer::Yes;
}

void FrequencyTable::tell(const QString& text, platform::Icon icon, const QString& title) {
    platform_.messageBox(text, title, icon, platform::Buttons::Ok);
}

// --- the table file ---

void FrequencyTable::LoadTable() {
    data_.Clear();
    tableChanged_ = false;
    view_.ListIndex = -1;
    if (state_.TableFileName.isEmpty()) {
        tell(QStringLiteral("Enter a filename or select") + CrLf +
                 QStringLiteral(" a filename from the dropdown list."),
             platform::Icon::Exclamation, core::MessageTitle());
        RefreshList(0);
        return;
    }

    const QString path = tablePath();
    QFile file(path);
    if (!file.exists()) {
        // A new table: the header from the present limits, InterpolType as it is.
        data_.TableFreq[0] = static_cast<core::Single>(state_.MinPosition);
        data_.TablePos[0] = state_.MaxPosition;
        stepperOffset_ = 0;
        CreateCommentZero();
        SaveTable();
        RefreshList(0);
        return;
    }
    // An unreadable or oversized file leaves the cleared table, like a refused one.
    if (file.size() > MaxTableBytes) {
        qCWarning(lcTable) << path << "is too large:" << file.size() << "bytes";
        tell(QStringLiteral("The table file ") + path +
                 QStringLiteral(" is too large to be a table; it was not loaded."),
             platform::Icon::Exclamation, core::MessageTitle());
        Status();
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcTable) << "cannot read" << path << file.errorString();
        tell(QStringLiteral("The table file ") + path + QStringLiteral(" cannot be read: ") +
                 file.errorString(),
             platform::Icon::Exclamation, core::MessageTitle());
        Status();
        return;
    }
    const TableFileContents contents = ParseTableFile(file.readAll());
    file.close();

    // "Version 1.24", an empty field and the full "Ventrolo.Version 1.24" all pass.
    bool rewrite = false;
    if (!core::MessageTitle().contains(contents.version, Qt::CaseInsensitive)) {
        const auto answer = platform_.messageBox(
            QStringLiteral("Wrong version ") + state_.TableFileName + CrLf +
                QStringLiteral(" still load it ?"),
            core::MessageTitle(), platform::Icon::Exclamation, platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) {
            Status();
            return;
        }
        rewrite = true;
    }

    QStringList problems = contents.problems;
    const int rows = int(contents.rows.size());
    if (contents.header) {
        data_.TableFreq[0] = contents.header->freq;
        data_.TablePos[0] = contents.header->pos;
        data_.TableText[0] = contents.header->text;
        if (!HeaderInterpolType(data_.TableText[0]))
            problems << QStringLiteral("the header names no interpolation type 0 to 9; %1 is "
                                       "used")
                            .arg(InterpolNames()[0]);
    }
    for (int k = 0; k < rows; ++k) {
        data_.TableFreq[k + 1] = contents.rows[k].freq;
        data_.TablePos[k + 1] = contents.rows[k].pos;
        data_.TableText[k + 1] = contents.rows[k].text;
    }
    // Without a header line and without rows the table gets its header when the list is
    // refreshed; a damaged header next to rows gets it now.
    data_.TableLast = contents.header || rows > 0 ? rows : -1;
    if (!contents.header && rows > 0)
        makeHeader();
    // Rows out of order in the file are sorted: the neighbour search needs ascending rows.
    data_.SortTable();

    if (!problems.isEmpty()) {
        reportDamage(problems);
        // The file stays as it is until the user saves, even when its version is updated.
        rewrite = false;
    }
    RefreshList(0);
    if (rewrite)
        SaveTable();
}

void FrequencyTable::reportDamage(const QStringList& problems) {
    const QString path = tablePath();
    for (const QString& problem : problems)
        qCWarning(lcTable) << path << problem;
    QStringList shown = problems.mid(0, MaxProblemsShown);
    if (problems.size() > MaxProblemsShown)
        shown << QStringLiteral("and %1 more").arg(problems.size() - MaxProblemsShown);
    tell(QStringLiteral("The table file ") + path + QStringLiteral(" is damaged:") + CrLf +
             shown.join(CrLf) + CrLf +
             QStringLiteral("What could be read was loaded; the file stays as it is until the "
                            "table is saved."),
         platform::Icon::Exclamation, core::MessageTitle());
}

bool FrequencyTable::SaveTable() {
    if (state_.TableFileName.isEmpty()) {
        tell(QStringLiteral("Enter a filename or select") + CrLf +
                 QStringLiteral(" a filename from the dropdown list."),
             platform::Icon::Exclamation, core::MessageTitle());
        return false;
    }
    if (data_.TableLast < 0)
        makeHeader();
    CreateCommentZero();
    platform_.beep();
    const QString path = tablePath();
    QString error;
    if (!core::WriteFileAtomically(path, SerializeTable(data_), &error)) {
        qCWarning(lcTable) << "cannot save" << path << error;
        tell(QStringLiteral("The table could not be saved to ") + path + QStringLiteral(": ") +
                 error,
             platform::Icon::Exclamation, core::MessageTitle());
        return false;
    }
    tableChanged_ = false;
    if (view_.TableLimitsApplied)
        ApplyTableLimits(false);
    return true;
}

void FrequencyTable::makeHeader() {
    data_.TableFreq[0] = static_cast<core::Single>(state_.MinPosition);
    data_.TablePos[0] = state_.MaxPosition;
    data_.TableText[0] =
        QStringLiteral("1:") + core::NumberText(state_.StepsPer360) + QStringLiteral(":0:.");
    data_.TableLast = std::max<core::Long>(data_.TableLast, 0);
}

void FrequencyTable::CreateCommentZero() {
    // The header keeps its own steps per 360 (set with the table limits), so saving a table
    // does not replace it with the steps of whatever stepper is selected now.
    const QString& header = data_.TableText[0];
    const QString steps = HasHeaderField(header, 1)
                              ? core::PlainNumberText(core::RoundToLong(HeaderNumber(header, 1)))
                              : core::PlainNumberText(state_.StepsPer360);
    data_.TableText[0] = core::PlainNumberText(interpolType_) + QLatin1Char(':') + steps +
                         QLatin1Char(':') + core::PlainNumberText(stepperOffset_);
    emit listChanged();
}

void FrequencyTable::ExtractCommentZero() {
    stepperOffset_ = 0;
    const QString header = data_.TableText[0];
    // A type outside 0..9 (only a damaged file holds one) is read as 0, the empty text's type.
    interpolType_ = static_cast<core::Integer>(HeaderInterpolType(header).value_or(0));
    tableStepsPer360_ = core::RoundToLong(HeaderNumber(header, 1));
    const core::Long offset = core::RoundToLong(HeaderNumber(header, 2));
    if (offset != 0 && view_.WindowVisible && state_.TableWindowShown) {
        const auto answer = platform_.messageBox(
            QStringLiteral("Attention this table '") + state_.TableFileName +
                QStringLiteral("' has an offset off ") + core::NumberText(offset) + CrLf +
                QStringLiteral("Reset it to zero ?"),
            core::MessageTitle(), platform::Icon::Question, platform::Buttons::YesNo);
        if (answer == platform::Answer::Yes) {
            stepperOffset_ = 0;
            CreateCommentZero();
        } else {
            stepperOffset_ = offset;
        }
    } else {
        stepperOffset_ = offset;
    }
    emit labelsChanged();
}

// --- editing ---

core::Long FrequencyTable::limitedPosition() {
    const qint64 p = qint64(state_.StepCounter) - stepperOffset_;
    if (p < state_.MinPosition) {
        tell(QStringLiteral("Steppos range limited to min") + core::NumberText(state_.MinPosition),
             platform::Icon::Exclamation, core::MessageTitle());
        return state_.MinPosition;
    }
    if (p > state_.MaxPosition) {
        tell(QStringLiteral("Steppos range limited to max") + core::NumberText(state_.MaxPosition),
             platform::Icon::Exclamation, core::MessageTitle());
        return state_.MaxPosition;
    }
    return static_cast<core::Long>(p);
}

FrequencyTable::AddResult FrequencyTable::AddOrReplaceRow(double x) {
    // Also refused: a value no float holds (only code can pass one; the input box has digits).
    if (!(x < MaxTableFreq) || !std::isfinite(static_cast<core::Single>(x))) {
        view_.InputText = QStringLiteral("To High");
        emit labelsChanged();
        return AddResult::TooHigh;
    }
    if (data_.TableLast < 0)
        makeHeader();
    const auto freq = static_cast<core::Single>(x);
    // A replacement adds no row, so it is allowed in a full table too.
    if (const int row = data_.FindFreq(freq); row > 0) {
        if (!confirmed(QStringLiteral("Replace record ") + core::NumberText(row)))
            return AddResult::NotReplaced;
        data_.TablePos[row] = limitedPosition();
        tableChanged_ = true;
        SortTable();
        return AddResult::Replaced;
    }
    if (data_.TableLast >= TableData::MaxDataRows) {
        tell(QStringLiteral("Sorry table is full") + QStringLiteral(" 100"),
             platform::Icon::Critical, core::AppTitle);
        return AddResult::Full;
    }
    const core::Long pos = limitedPosition();
    const int row = ++data_.TableLast;
    data_.TableFreq[row] = freq;
    data_.TablePos[row] = pos;
    data_.TableText[row].clear();
    tableChanged_ = true;
    SortTable();
    return AddResult::Added;
}

void FrequencyTable::SortTable() {
    data_.SortTable();
    int select = 0;
    if (const QString input = view_.InputText.trimmed(); !input.isEmpty()) {
        const int row = data_.FindFreq(static_cast<core::Single>(core::LeadingNumber(input)));
        if (row > 0)
            select = row - 1;
    }
    RefreshList(select);
}

bool FrequencyTable::DeleteRow(int row) {
    if (!data_.DeleteRow(row))
        return false;
    tableChanged_ = true;
    SortTable();
    return true;
}

bool FrequencyTable::SetRowText(int row, const QString& text) {
    if (row < 1 || row > data_.TableLast)
        return false;
    data_.TableText[row] = StorableDescription(text);
    tableChanged_ = true;
    RefreshList(row - 1);
    return true;
}

void FrequencyTable::SetHeaderRow(core::Single lower, core::Long upper, const QString& text) {
    data_.TableFreq[0] = lower;
    data_.TablePos[0] = upper;
    data_.TableText[0] = StorableDescription(text);
    data_.TableLast = std::max<core::Long>(data_.TableLast, 0);
    tableChanged_ = true;
    RefreshList(view_.ListIndex);
}

bool FrequencyTable::SetInterpolType(int type) {
    if (type < 0 || type >= InterpolTypeCount)
        return false;
    interpolType_ = static_cast<core::Integer>(type);
    // Into the header at once: the next refresh applies the header again, and the choice is
    // part of what the table file stores.
    CreateCommentZero();
    tableChanged_ = true;
    Status();
    return true;
}

bool FrequencyTable::SetStepperOffset(double offset) {
    const core::Long value = core::RoundToLong(offset);
    if (value < -MaxStepperOffset || value > MaxStepperOffset) {
        tell(QStringLiteral("To large offset max = +/- 30"), platform::Icon::Exclamation,
             core::MessageTitle());
        return false;
    }
    stepperOffset_ = value;
    CreateCommentZero();
    tableChanged_ = true;
    Status();
    // With the rig's port open the next poll applies the new offset.
    if (rig_->CatComPort() > 0)
        SetLocked(true);
    emit labelsChanged();
    return true;
}

void FrequencyTable::ApplyTableLimits(bool apply) {
    view_.TableLimitsApplied = apply;
    if (apply) {
        state_.MinPosition = core::RoundToLong(data_.TableFreq[0]);
        state_.MaxPosition = data_.TablePos[0];
        if (tableStepsPer360_ > 1)
            state_.StepsPer360 = static_cast<core::Single>(tableStepsPer360_);
    } else {
        const core::StepperProfile& stored = state_.selectedProfile();
        state_.MinPosition = stored.MinPosition;
        state_.MaxPosition = stored.MaxPosition;
        state_.StepsPer360 = stored.StepsPer360;
    }
    engine_->StepperValuesChanged();
    emit listChanged();
}

// --- start-up row and file choice ---

void FrequencyTable::SetRigFreqToFirstUnit() {
    if (rig_->CatComPort() <= 0 || data_.TableLast < 1)
        return;
    rig_->SetRigFrequency(data_.TableFreq[StartupRow()]);
    SetLocked(true);
}

void FrequencyTable::FillCatFileList() {
    view_.CatFiles = CatFileNames(directory_);
    view_.CatFileText = state_.TableFileName;
    emit listChanged();
}

void FrequencyTable::EnterTableName(const QString& typed) {
    if (typed.trimmed().isEmpty())
        return;
    const auto name = NormalizeTableName(typed);
    if (!name) {
        tell(QStringLiteral("Not a table file name: ") + typed.trimmed(),
             platform::Icon::Exclamation, core::MessageTitle());
        return;
    }
    if (view_.CatFiles.contains(*name))
        return;
    // The table in hand is saved first when changed, so switching by name loses no edit.
    if (tableChanged_ && !SaveTable())
        return;
    view_.CatFiles << *name;
    view_.CatFileText = *name;
    state_.TableFileName = *name;
    LoadTable();
}

void FrequencyTable::turnToMinPosition() {
    const QString minText = core::NumberText(state_.MinPosition);
    if (qint64(state_.StepCounter) - stepperOffset_ == state_.MinPosition) {
        tell(TimeToChange + PressOk, platform::Icon::Information, core::MessageTitle());
        return;
    }
    if (!confirmed(QStringLiteral("Turn stepper") +
                   core::NumberText(state_.SelectedStepper == 1 ? 2 : 1) + QStringLiteral(" to") +
                   minText + QStringLiteral(" ?")))
        return;
    SetLocked(false);
    engine_->StopTurning();
    state_.TargetPosition = state_.MinPosition;
    engine_->TurnTo();
    tell(TimeToChange + QStringLiteral("and check that the stepper is on position") + minText +
             CrLf + PressOk,
         platform::Icon::Information, core::MessageTitle());
}

void FrequencyTable::SelectTableFile(const QString& name) {
    // A changed table that cannot be saved stays loaded rather than be lost.
    if (tableChanged_ && !SaveTable())
        return;
    if (name == state_.TableFileName)
        return;
    turnToMinPosition();
    state_.TableFileName = name;
    view_.CatFileText = name;
    LoadTable();
    SetRigFreqToFirstUnit();
}

void FrequencyTable::DeleteTableFile() {
    const QString path = tablePath();
    if (!confirmed(QStringLiteral("Kill ") + path))
        return;
    QFile file(path);
    if (file.exists() && !file.remove()) {
        qCWarning(lcTable) << "cannot delete" << path << file.errorString();
        tell(QStringLiteral("The table file ") + path + QStringLiteral(" could not be deleted: ") +
                 file.errorString(),
             platform::Icon::Exclamation, core::MessageTitle());
        return;
    }
    const QString deleted = state_.TableFileName;
    FillCatFileList();
    QString next = QStringLiteral("NewFile");
    for (const QString& entry : std::as_const(view_.CatFiles)) {
        if (entry != deleted) {
            next = entry;
            break;
        }
    }
    state_.TableFileName = next;
    view_.CatFileText = next;
    LoadTable();
}

// --- interpolation ---

void FrequencyTable::setValueLabel(const QString& text, core::Long color) {
    view_.InterpolValueText = text;
    view_.InterpolValueColor = color;
    emit labelsChanged();
}

core::Long FrequencyTable::FreqToPosition(core::Single x) {
    const int n = data_.TableLast;
    // A table without data rows answers nothing (its range would be the header's values).
    if (!data_.InRange(x)) {
        if (rig_->CatComPort() > 0)
            view_.Locked = false;
        setValueLabel(NoPosition, LabelRed);
        return state_.TargetPosition;
    }
    if (x == 0) {
        setValueLabel(core::PlainNumberText(data_.TablePos[1]), LabelMagenta);
        return data_.TablePos[1];
    }

    int upper = 1;
    while (upper < n && data_.TableFreq[upper] < x)
        ++upper;
    core::Long r = 0;
    // An exact hit, compared as floats, is the row itself. It is tested before anything
    // compares the neighbours: at row 1 the lower neighbour is the header, whose value is a
    // position, and a header equal to row 1's frequency must not turn a hit into no answer. In
    // ascending rows the neighbours of a miss always differ.
    const bool exact = data_.TableFreq[upper] == x;
    if (exact) {
        r = data_.TablePos[upper];
    } else {
        // Everything is taken before the wait below, in which the user may edit the table.
        const double xHi = data_.TableFreq[upper];
        const double xLo = data_.TableFreq[upper - 1];
        const double yHi = data_.TablePos[upper];
        const double yLo = data_.TablePos[upper - 1];
        const int type = interpolType_;
        if (rig_->CatComPort() > 0) {
            // The value label blinks while the rig drives the table.
            rig_->PausePolling();
            setValueLabel(
                QString(std::max<qsizetype>(1, view_.InterpolValueText.size()), QLatin1Char('?')),
                LabelRed);
            platform_.waitMs(100);
            rig_->ResumePolling();
        }
        const auto tLo = Transform(type, xLo);
        const auto tHi = Transform(type, xHi);
        const auto t = Transform(type, double(x));
        for (const auto* transformed : {&tLo, &tHi, &t}) {
            if (!transformed->ok()) {
                interpolFault(type, transformed->fault);
                return state_.TargetPosition;
            }
        }
        const auto result = Interpolate(yLo, yHi, tHi.value, tLo.value, t.value);
        if (!result.ok()) {
            interpolFault(type, result.fault);
            return state_.TargetPosition;
        }
        r = result.value;
    }
    if (rig_->CatComPort() > 0)
        view_.Locked = true;
    ShowInterpolPosition(r);
    const core::Long position = addSteps(stepperOffset_, r);
    setValueLabel(core::PlainNumberText(position), exact ? LabelMagenta : LabelBlue);
    return position;
}

void FrequencyTable::interpolFault(int type, const QString& fault) {
    qCWarning(lcTable) << "interpolation fault" << InterpolNames()[type] << fault;
    tell(InterpolNames()[type] + CrLf + QStringLiteral("Interpol error ") + fault,
         platform::Icon::Information, core::MessageTitle());
    // The port is closed before the label reads "No", so whatever closing resets, the label
    // ends telling that there is no position.
    rig_->ComPortOpen(0);
    view_.Locked = false;
    setValueLabel(NoPosition, LabelBlue);
}

void FrequencyTable::ShowInterpolPosition(core::Long p) {
    const QString& info = view_.InfoInterpolText;
    if (info.startsWith(QLatin1Char('?')) || info == NoPosition || data_.TableLast < 1)
        return;
    for (int row = 1; row <= data_.TableLast; ++row) {
        if (data_.TablePos[row] >= p) {
            SelectListIndex(row - 1);
            return;
        }
    }
}

// --- what the window shows ---

QString FrequencyTable::ListLine(int row) const {
    return QStringLiteral("%1").arg(row, 3, 10, QLatin1Char('0')) + QStringLiteral("  ") +
           core::NumberText(data_.TableFreq[row]) + QLatin1Char(' ') + state_.FrequencyUnit +
           QStringLiteral("  ") + core::NumberText(data_.TablePos[row]) + QStringLiteral("   ") +
           data_.TableText[row];
}

QStringList FrequencyTable::ListLines() const {
    QStringList lines;
    for (int row = 1; row <= data_.TableLast; ++row)
        lines << ListLine(row);
    return lines;
}

QString FrequencyTable::StatusToolTip() const {
    return QStringLiteral("The loaded tablefile, amount of records and type interpol (") +
           data_.TableText[0] + QStringLiteral(").");
}

QString FrequencyTable::StepperOffsetCaption() const {
    return QStringLiteral("&Stepper offset(") + core::NumberText(stepperOffset_) +
           QStringLiteral(")...");
}

void FrequencyTable::RefreshList(int select) {
    if (data_.TableLast < 0)
        makeHeader();
    ExtractCommentZero();
    Status();
    view_.ListIndex = data_.TableLast >= 1 ? std::clamp<int>(select, 0, data_.TableLast - 1) : -1;
    emit listChanged();
}

void FrequencyTable::Status(bool workingLimits) {
    const QString lower = workingLimits ? core::PlainNumberText(state_.MinPosition)
                                        : core::PlainNumberText(data_.TableFreq[0]);
    const QString upper = workingLimits ? core::PlainNumberText(state_.MaxPosition)
                                        : core::PlainNumberText(data_.TablePos[0]);
    view_.StatusText = state_.TableFileName + QStringLiteral("     Recs ") +
                       core::PlainNumberText(data_.TableLast) + QStringLiteral("  ") + lower +
                       QLatin1Char('>') + upper + QLatin1Char(' ') + InterpolNames()[interpolType_];
    emit listChanged();
}

void FrequencyTable::SetLocked(bool locked) {
    view_.Locked = locked;
    emit labelsChanged();
}

void FrequencyTable::SetInputText(const QString& text) {
    view_.InputText = text;
    emit labelsChanged();
}

void FrequencyTable::SetInfoInterpolText(const QString& text) {
    view_.InfoInterpolText = text;
    emit labelsChanged();
}

void FrequencyTable::SelectListIndex(int index) {
    view_.ListIndex = index >= 0 && index < data_.TableLast ? index : -1;
    emit listChanged();
}

void FrequencyTable::SetWindowVisible(bool visible) {
    view_.WindowVisible = visible;
}

void FrequencyTable::ResetInterpolLabels() {
    view_.InterpolValueText = InterpolValueTitle;
    view_.InterpolValueColor = LabelBlack;
    view_.InfoInterpolText.clear();
    emit labelsChanged();
}

} // namespace table
