#include "table/TableEditor.h"

#include "core/AtomicFile.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "table/AmateurBands.h"
#include "table/Interpolation.h"
#include "table/TableFile.h"
#include "table/TableFileName.h"
#include "table/TableLookup.h"

#include <QFile>
#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace table {

Q_LOGGING_CATEGORY(lcTable, "ventrolo.table")

namespace {

using core::CrLf;
// Damage lines shown to the user; the rest are counted.
constexpr int MaxProblemsShown = 10;
// A typed x at or above this is refused.
constexpr double MaxTableFreq = 500000;
constexpr core::Long MaxStepperOffset = 30;

bool OffsetAllowed(qint64 offset) {
    return offset >= -MaxStepperOffset && offset <= MaxStepperOffset;
}

EngineLink& noEngine() {
    static EngineLink link;
    return link;
}

RigLink& noRig() {
    static RigLink link;
    return link;
}

// a - b held within the 32-bit range.
core::Long stepsBetween(core::Long a, core::Long b) {
    return static_cast<core::Long>(std::clamp<qint64>(qint64(a) - b,
                                                      std::numeric_limits<core::Long>::min(),
                                                      std::numeric_limits<core::Long>::max()));
}

const QString NoFileName = QStringLiteral("Enter a filename or select") + CrLf +
                           QStringLiteral(" a filename from the dropdown list.");
const QString TimeToChange = QStringLiteral("Now it's time to change") + CrLf +
                             QStringLiteral("stepper and/or  magneticloop antenna connections") +
                             CrLf;
const QString PressOk = QStringLiteral("Press Ok to continue if ready.");

} // namespace

TableEditor::TableEditor(core::ProgramState& state, platform::Platform& platform,
                         QString programDirectory, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), directory_(std::move(programDirectory)),
      engine_(&noEngine()), rig_(&noRig()) {}

void TableEditor::setEngineLink(EngineLink* link) {
    engine_ = link ? link : &noEngine();
}

void TableEditor::setRigLink(RigLink* link) {
    rig_ = link ? link : &noRig();
}

QString TableEditor::tablePath() const {
    return TableFilePath(directory_, state_.TableFileName);
}

bool TableEditor::confirmed(const QString& question) {
    return platform_.messageBox(question, core::MessageTitle(), platform::Icon::Question,
                                platform::Buttons::YesNo) == platform::Answer::Yes;
}

void TableEditor::tell(const QString& text, platform::Icon icon) {
    platform_.messageBox(text, core::MessageTitle(), icon, platform::Buttons::Ok);
}

void TableEditor::markChanged() {
    tableChanged_ = true;
    emit changed();
}

// --- the table file ---

void TableEditor::LoadTable() {
    // The limits of the table in hand do not belong to the next one.
    if (TableLimitsApplied())
        ApplyTableLimits(false);
    data_.Clear();
    tableChanged_ = false;
    damaged_.reset();
    unreadable_ = false;
    if (state_.TableFileName.isEmpty()) {
        tell(NoFileName);
        RefreshList(0);
        return;
    }

    const QString path = tablePath();
    const TableFileRead read = ReadTableFile(path);
    switch (read.status) {
    case TableFileRead::Status::Missing:
        // A new table: the header from the present limits, InterpolType as it is.
        data_.TableFreq[0] = static_cast<core::Single>(state_.MinPosition);
        data_.TablePos[0] = state_.MaxPosition;
        data_.StepperOffset = 0;
        CreateCommentZero();
        SaveTable();
        RefreshList(0);
        return;
    case TableFileRead::Status::Unreadable:
        // Left like a refused file: the table stays cleared and the file untouched, until a
        // save that first keeps it beside.
        unreadable_ = true;
        qCWarning(lcTable) << "cannot read" << path << read.error;
        tell(QStringLiteral("The table file ") + path + QStringLiteral(" cannot be read: ") +
             read.error);
        emit listRefreshed(0);
        return;
    case TableFileRead::Status::Read:
        break;
    }
    const TableFileContents& contents = read.contents;

    // "Version 1.24", an empty field and the full "Ventrolo.Version 1.24" all pass.
    bool rewrite = false;
    if (!core::MessageTitle().contains(contents.version, Qt::CaseInsensitive)) {
        const auto answer = platform_.messageBox(
            QStringLiteral("Wrong version ") + state_.TableFileName + CrLf +
                QStringLiteral(" still load it ?"),
            core::MessageTitle(), platform::Icon::Exclamation, platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) {
            emit listRefreshed(0);
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
        // The windows keep the header's lower limit below its upper; exchanged, a hand-edited
        // header the wrong way round gives the range meant instead of one nothing lies in.
        if (data_.TableFreq[0] > static_cast<core::Single>(data_.TablePos[0])) {
            problems << QStringLiteral("the header's lower limit %1 is above its upper limit %2; "
                                       "the two are exchanged")
                            .arg(core::PlainNumberText(data_.TableFreq[0]))
                            .arg(data_.TablePos[0]);
            const core::Single lower = static_cast<core::Single>(data_.TablePos[0]);
            data_.TablePos[0] = core::RoundToLong(data_.TableFreq[0]);
            data_.TableFreq[0] = lower;
        }
        if (!HeaderInterpolType(data_.TableText[0]))
            problems << QStringLiteral("the header names no interpolation type 0 to 9; %1 is "
                                       "used")
                            .arg(InterpolNames()[0]);
        if (const core::Long offset = core::RoundToLong(HeaderNumber(data_.TableText[0], 2));
            !OffsetAllowed(offset))
            problems << QStringLiteral("the header's offset %1 cannot be used (an offset is at "
                                       "most +/- %2 steps); 0 is used instead")
                            .arg(offset)
                            .arg(MaxStepperOffset);
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
        damaged_ = read.bytes;
        reportDamage(problems);
        // The file stays as it is until the user saves, even when its version is updated.
        rewrite = false;
    }
    RefreshList(0);
    if (rewrite)
        SaveTable();
}

void TableEditor::reportDamage(const QStringList& problems) {
    const QString path = tablePath();
    for (const QString& problem : problems)
        qCWarning(lcTable) << path << problem;
    QStringList shown = problems.mid(0, MaxProblemsShown);
    if (problems.size() > MaxProblemsShown)
        shown << QStringLiteral("and %1 more").arg(problems.size() - MaxProblemsShown);
    tell(QStringLiteral("The table file ") + path + QStringLiteral(" is damaged:") + CrLf +
         shown.join(CrLf) + CrLf +
         QStringLiteral("What could be read was loaded; the file stays as it is until the "
                        "table is saved. It is then kept beside as ") +
         path + QStringLiteral(".damaged."));
}

bool TableEditor::SaveTable() {
    platform_.beep();
    if (!writeTable())
        return false;
    if (TableLimitsApplied())
        ApplyTableLimits(false);
    emit changed();
    return true;
}

bool TableEditor::writeTable() {
    if (state_.TableFileName.isEmpty()) {
        tell(NoFileName);
        return false;
    }
    if (data_.TableLast < 0)
        makeHeader();
    CreateCommentZero();
    const QString path = tablePath();
    QString error;
    // The lines left out of a damaged file, and a file that could not be read, stay with the
    // user.
    if (!core::KeepBeforeSavingOver(path, damaged_, unreadable_, &error) ||
        !WriteTableFile(path, data_, &error)) {
        qCWarning(lcTable) << "cannot save" << path << error;
        tell(QStringLiteral("The table could not be saved to ") + path + QStringLiteral(": ") +
             error);
        return false;
    }
    tableChanged_ = false;
    damaged_.reset();
    unreadable_ = false;
    emit changed();
    return true;
}

void TableEditor::makeHeader() {
    data_.TableFreq[0] = static_cast<core::Single>(state_.MinPosition);
    data_.TablePos[0] = state_.MaxPosition;
    data_.TableText[0] =
        QStringLiteral("1:") + core::NumberText(state_.StepsPer360) + QStringLiteral(":0:.");
    data_.TableLast = std::max<core::Long>(data_.TableLast, 0);
}

void TableEditor::CreateCommentZero() {
    // The header keeps its own steps per 360 (set with the table limits), so saving a table
    // does not replace it with the steps of whatever stepper is selected now.
    const QString& header = data_.TableText[0];
    const core::Single steps =
        HasHeaderField(header, 1)
            ? static_cast<core::Single>(core::RoundToLong(HeaderNumber(header, 1)))
            : state_.StepsPer360;
    data_.TableText[0] = data_.HeaderText(steps);
    emit changed();
}

void TableEditor::ExtractCommentZero() {
    const QString header = data_.TableText[0];
    // A type outside 0..9 (only a damaged file holds one) is read as 0, the empty text's type.
    data_.InterpolType = static_cast<core::Integer>(HeaderInterpolType(header).value_or(0));
    data_.TableStepsPer360 = core::RoundToLong(HeaderNumber(header, 1));
    // An offset no window sets (a hand-edited header) would send following off the table.
    core::Long offset = core::RoundToLong(HeaderNumber(header, 2));
    if (!OffsetAllowed(offset))
        offset = 0;
    data_.StepperOffset = offset;
    // A hand-edited band that is no number, or lies in no amateur band, holds everywhere.
    const double bandKHz = HeaderNumber(header, 3);
    data_.OffsetBandKHz = AmateurBandOf(bandKHz) ? static_cast<core::Single>(bandKHz) : 0;
    if (offset != 0 && windowVisible_ && state_.TableWindowShown &&
        platform_.messageBox(QStringLiteral("Attention this table '") + state_.TableFileName +
                                 QStringLiteral("' has an offset off ") + core::NumberText(offset) +
                                 CrLf + QStringLiteral("Reset it to zero ?"),
                             core::MessageTitle(), platform::Icon::Question,
                             platform::Buttons::YesNo) == platform::Answer::Yes) {
        data_.StepperOffset = 0;
        CreateCommentZero();
    }
    emit changed();
}

void TableEditor::RefreshList(int select) {
    if (data_.TableLast < 0)
        makeHeader();
    ExtractCommentZero();
    emit listRefreshed(select);
}

// --- rows ---

core::Long TableEditor::limitedPosition(core::Single x) {
    const qint64 p = qint64(state_.StepCounter) - data_.OffsetAt(x);
    if (p < state_.MinPosition) {
        tell(QStringLiteral("Steppos range limited to min") + core::NumberText(state_.MinPosition));
        return state_.MinPosition;
    }
    if (p > state_.MaxPosition) {
        tell(QStringLiteral("Steppos range limited to max") + core::NumberText(state_.MaxPosition));
        return state_.MaxPosition;
    }
    return static_cast<core::Long>(p);
}

TableEditor::AddResult TableEditor::AddOrReplaceRow(double x) {
    // Also refused: a value no float holds (only code can pass one; the input box has digits).
    if (!(x < MaxTableFreq) || !std::isfinite(static_cast<core::Single>(x)))
        return AddResult::TooHigh;
    if (data_.TableLast < 0)
        makeHeader();
    const auto freq = static_cast<core::Single>(x);
    // A replacement adds no row, so it is allowed in a full table too.
    if (const int row = data_.FindFreq(freq); row > 0) {
        if (!confirmed(QStringLiteral("Replace record ") + core::NumberText(row)))
            return AddResult::NotReplaced;
        data_.TablePos[row] = limitedPosition(freq);
        markChanged();
        RefreshList(SelectInputRow);
        return AddResult::Replaced;
    }
    if (data_.TableLast >= TableData::MaxDataRows) {
        platform_.messageBox(QStringLiteral("Sorry table is full") + QStringLiteral(" 100"),
                             core::AppTitle, platform::Icon::Critical, platform::Buttons::Ok);
        return AddResult::Full;
    }
    const core::Long pos = limitedPosition(freq);
    const int row = ++data_.TableLast;
    data_.TableFreq[row] = freq;
    data_.TablePos[row] = pos;
    data_.TableText[row].clear();
    data_.SortTable();
    markChanged();
    RefreshList(SelectInputRow);
    return AddResult::Added;
}

bool TableEditor::DeleteRow(int row) {
    if (!data_.DeleteRow(row))
        return false;
    markChanged();
    RefreshList(SelectInputRow);
    return true;
}

bool TableEditor::SetRowText(int row, const QString& text) {
    if (row < 1 || row > data_.TableLast)
        return false;
    data_.TableText[row] = StorableDescription(text);
    markChanged();
    RefreshList(row - 1);
    return true;
}

bool TableEditor::AskRowText(int row) {
    if (row < 1 || row > data_.TableLast)
        return false;
    const QString old = data_.TableText[row];
    const QString answer = platform_.inputBox(
        QStringLiteral("Give a description") + CrLf + QStringLiteral("Was:") + old + CrLf + CrLf +
            QStringLiteral("A * at begin says set rig to this record at first start."),
        core::MessageTitle(), old);
    if (answer.isEmpty() || answer == old)
        return false;
    return SetRowText(row, answer.trimmed().isEmpty() ? QString() : answer);
}

void TableEditor::SetFrequencyUnit(const QString& unit) {
    if (state_.FrequencyUnit == unit)
        return;
    state_.FrequencyUnit = unit;
    emit changed();
}

// --- the header ---

bool TableEditor::SetInterpolType(int type) {
    if (type < 0 || type >= InterpolTypeCount)
        return false;
    data_.InterpolType = static_cast<core::Integer>(type);
    // Into the header at once: the next refresh applies the header again, and the choice is
    // part of what the table file stores.
    CreateCommentZero();
    markChanged();
    return true;
}

bool TableEditor::SetStepperOffset(double offset) {
    const core::Long value = core::RoundToLong(offset);
    if (!OffsetAllowed(value)) {
        tell(QStringLiteral("To large offset max = +/- 30"));
        return false;
    }
    data_.StepperOffset = value;
    offsetChanged();
    return true;
}

void TableEditor::offsetChanged() {
    CreateCommentZero();
    markChanged();
    // With the rig's port open the next poll applies the new offset.
    if (rig_->CatComPort() > 0)
        rig_->SetLocked(true);
}

bool TableEditor::AskStepperOffset(core::Single catFrequency) {
    const Lookup lookup = LookUpPosition(data_, catFrequency);
    const core::Long advised =
        lookup.ok() ? stepsBetween(state_.StepCounter, lookup.rowPosition) : 0;
    const QString old = core::PlainNumberText(data_.StepperOffset);
    const QString answer = platform_.inputBox(
        QStringLiteral("Give stepper position offset + /- 0") + CrLf +
            QStringLiteral("because of for example temp variations.") + CrLf +
            QStringLiteral("This value is also saved in the ") + state_.TableFileName + CrLf +
            QStringLiteral("Default is zero.") + CrLf + QStringLiteral("Was:") + old + CrLf +
            QStringLiteral("Advised value:") + core::PlainNumberText(advised),
        core::MessageTitle(), old);
    // The box gives an empty text on Cancel; an offset of 0 is typed as 0.
    if (answer.trimmed().isEmpty() || !SetStepperOffset(core::LeadingNumber(answer)))
        return false;
    // Saved at once, as the other offset commands save it; kept unsaved when the file cannot be
    // written (the user was told): saved on leaving.
    (void)writeTable();
    return true;
}

QString TableEditor::RetuneHere(core::Single catFrequency) {
    const Lookup lookup = LookUpPosition(data_, catFrequency);
    if (!lookup.ok())
        return QStringLiteral("Retune here needs the rig's frequency within the table.");
    const qint64 offset = qint64(state_.StepCounter) - lookup.rowPosition;
    if (!OffsetAllowed(offset))
        return QStringLiteral("The stepper is ") + core::PlainNumberText(offset) +
               QStringLiteral(" steps from the table's position here; an offset is at most "
                              "+/- 30.");
    data_.StepperOffset = static_cast<core::Long>(offset);
    // A band-only offset moves to the band it was taken in now.
    if (data_.OffsetBandKHz != 0 && AmateurBandOf(catFrequency))
        data_.OffsetBandKHz = catFrequency;
    // Kept unsaved when the file cannot be written (the user was told): saved on leaving.
    markChanged();
    (void)writeTable();
    return {};
}

bool TableEditor::ZeroOffset() {
    data_.StepperOffset = 0;
    offsetChanged();
    return writeTable();
}

bool TableEditor::SetOffsetBand(core::Single kHz) {
    if (kHz != 0 && !AmateurBandOf(kHz)) {
        tell(core::PlainNumberText(kHz) + QStringLiteral(" kHz lies in no amateur band."));
        return false;
    }
    data_.OffsetBandKHz = kHz;
    offsetChanged();
    return writeTable();
}

TableEditor::LimitsProposal TableEditor::StoreWorkingLimits() {
    data_.TableFreq[0] = static_cast<core::Single>(state_.MinPosition);
    data_.TablePos[0] = state_.MaxPosition;
    // The offset stays in the header: dropping it would lose the table's offset silently.
    data_.TableText[0] = data_.HeaderText(state_.StepsPer360);
    data_.TableLast = std::max<core::Long>(data_.TableLast, 0);
    markChanged();

    int last = data_.TableLast;
    while (last > 0 && data_.TableFreq[last] == 0)
        --last;
    if (last >= 2) {
        const core::Long lower = data_.TablePos[1];
        const core::Long upper = data_.TablePos[last];
        return {lower, upper, stepsBetween(upper, lower) * 2};
    }
    return {core::RoundToLong(data_.TableFreq[0]), data_.TablePos[0],
            core::RoundToLong(state_.StepsPer360)};
}

bool TableEditor::SetTableLimits(double lower, double upper, double steps) {
    const auto lowerLimit = static_cast<core::Single>(core::RoundHalfEven(lower));
    const core::Long upperLimit = core::RoundToLong(upper);
    // Checked before anything is written: refused values leave the header as it was.
    if (!(lowerLimit < static_cast<core::Single>(upperLimit))) {
        tell(QStringLiteral("Values not okay"));
        return false;
    }
    core::Long headerSteps = core::RoundToLong(steps);
    if (headerSteps <= 0) // the working limits are taken to span 180 degrees
        headerSteps = core::RoundToLong(2.0 * (double(state_.MaxPosition) - state_.MinPosition));
    data_.TableFreq[0] = lowerLimit;
    data_.TablePos[0] = upperLimit;
    data_.TableText[0] = data_.HeaderText(static_cast<core::Single>(headerSteps));
    data_.TableStepsPer360 = headerSteps;
    data_.TableLast = std::max<core::Long>(data_.TableLast, 0);
    markChanged();
    return true;
}

void TableEditor::ApplyTableLimits(bool apply) {
    if (apply) {
        const core::TableLimits limits{core::RoundToLong(data_.TableFreq[0]), data_.TablePos[0],
                                       data_.TableStepsPer360 > 1
                                           ? static_cast<core::Single>(data_.TableStepsPer360)
                                           : state_.StepsPer360};
        state_.MinPosition = limits.MinPosition;
        state_.MaxPosition = limits.MaxPosition;
        state_.StepsPer360 = limits.StepsPer360;
        state_.AppliedTableLimits = limits;
    } else {
        const core::StepperProfile& own = state_.selectedProfile();
        state_.MinPosition = own.MinPosition;
        state_.MaxPosition = own.MaxPosition;
        state_.StepsPer360 = own.StepsPer360;
        state_.AppliedTableLimits.reset();
    }
    engine_->StepperValuesChanged();
    emit changed();
}

// --- start-up row and file choice ---

void TableEditor::SetRigFreqToFirstUnit() {
    if (rig_->CatComPort() <= 0 || data_.TableLast < 1)
        return;
    rig_->SetRigFrequency(data_.TableFreq[data_.StartupRow()]);
    rig_->SetLocked(true);
}

void TableEditor::FillCatFileList() {
    catFiles_ = CatFileNames(directory_);
    emit changed();
}

void TableEditor::EnterTableName(const QString& typed) {
    if (typed.trimmed().isEmpty())
        return;
    const auto name = NormalizeTableName(typed);
    if (!name) {
        tell(QStringLiteral("Not a table file name: ") + typed.trimmed());
        return;
    }
    if (catFiles_.contains(*name))
        return;
    // The table in hand is saved first when changed, so switching by name loses no edit.
    if (tableChanged_ && !SaveTable())
        return;
    catFiles_ << *name;
    state_.TableFileName = *name;
    LoadTable();
}

void TableEditor::turnToMinPosition() {
    const QString minText = core::NumberText(state_.MinPosition);
    if (qint64(state_.StepCounter) - data_.StepperOffset == state_.MinPosition) {
        tell(TimeToChange + PressOk, platform::Icon::Information);
        return;
    }
    if (!confirmed(QStringLiteral("Turn stepper") +
                   core::NumberText(state_.SelectedStepper == 1 ? 2 : 1) + QStringLiteral(" to") +
                   minText + QStringLiteral(" ?")))
        return;
    rig_->SetLocked(false);
    engine_->TurnTo(state_.MinPosition);
    tell(TimeToChange + QStringLiteral("and check that the stepper is on position") + minText +
             CrLf + PressOk,
         platform::Icon::Information);
}

void TableEditor::SelectTableFile(const QString& name) {
    // A changed table that cannot be saved stays loaded rather than be lost.
    if (tableChanged_ && !SaveTable())
        return;
    if (name == state_.TableFileName)
        return;
    turnToMinPosition();
    state_.TableFileName = name;
    LoadTable();
    SetRigFreqToFirstUnit();
}

bool TableEditor::OpenBandTable(const QString& name) {
    if (tableChanged_ && !SaveTable())
        return false;
    state_.TableFileName = name;
    const bool visible = std::exchange(windowVisible_, false);
    LoadTable();
    windowVisible_ = visible;
    return true;
}

void TableEditor::DeleteTableFile() {
    const QString path = tablePath();
    if (!confirmed(QStringLiteral("Kill ") + path))
        return;
    QFile file(path);
    if (file.exists() && !file.remove()) {
        qCWarning(lcTable) << "cannot delete" << path << file.errorString();
        tell(QStringLiteral("The table file ") + path + QStringLiteral(" could not be deleted: ") +
             file.errorString());
        return;
    }
    const QString deleted = state_.TableFileName;
    FillCatFileList();
    QString next = QStringLiteral("NewFile");
    for (const QString& entry : std::as_const(catFiles_)) {
        if (entry != deleted) {
            next = entry;
            break;
        }
    }
    state_.TableFileName = next;
    LoadTable();
}

} // namespace table
