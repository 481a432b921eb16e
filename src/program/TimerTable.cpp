#include "program/TimerTable.h"

#include "core/AtomicFile.h"
#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "program/ProgramFiles.h"
#include "program/ProgramLogging.h"
#include "program/TimerFile.h"

#include <QPointer>
#include <algorithm>

namespace program {

namespace {

constexpr int TickMs = 1000;
const QString Timer1Name = QStringLiteral("\\Timer1.tbl");
const QString Timer2Name = QStringLiteral("\\Timer2.tbl");

} // namespace

TimerTable::TimerTable(core::ProgramState& state, platform::Platform& platform, Turner& turner,
                       QString programDirectory, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), turner_(turner),
      directory_(std::move(programDirectory)), clock_(TimeNow()) {
    schedule_.Restart(platform_.now());
    if (checkedFile() != 0)
        LaadTimerTxt();
    // A turn starts within the second of its time, at the tick's place in that second (set by
    // when the table was loaded), give or take a twentieth of a second: the tick shares its
    // wake-up with the windows' clocks.
    timer_ = platform_.createDisplayTimer([this] { Tick(); });
    timer_->start(TickMs);
    enabled_ = true;
}

TimerTable::~TimerTable() = default;

// --- the records and their file ---

void TimerTable::LaadTimerTxt() {
    records_.clear();
    damaged_.reset();
    unreadable_ = false;
    const QString path = TimerFilePath(directory_, state_.TimerFileName);
    const FileRead read = ReadProgramFile(path);
    if (read.result == FileRead::Result::Unreadable) {
        unreadable_ = true;
        qCWarning(lcProgram) << "cannot read" << path << read.error;
        platform_.messageBox(QStringLiteral("The timer table ") + path +
                                 QStringLiteral(" cannot be read: ") + read.error,
                             core::MessageTitle(), platform::Icon::Exclamation);
    } else if (read.result == FileRead::Result::Ok) {
        TimerFileContents contents = ParseTimerFile(read.bytes);
        records_ = std::move(contents.records);
        if (const QStringList problems = contents.problems + read.problems; !problems.isEmpty()) {
            damaged_ = read.bytes;
            TellDamage(platform_, path, problems,
                       QStringLiteral("the table is changed; it is then kept beside as ") + path +
                           QStringLiteral(".damaged"));
        }
    }
    // Loaded records are new: a time already past today is due tomorrow.
    schedule_.Restart(platform_.now());
    TimerOpscherm();
}

bool TimerTable::SaveTimerTxt() {
    const QString path = TimerFilePath(directory_, state_.TimerFileName);
    QString error;
    // The lines left out of a damaged file stay with the user: the file is kept beside.
    bool saved = core::KeepBeforeSavingOver(path, damaged_, unreadable_, &error);
    if (saved)
        saved = core::WriteFileAtomically(path, SerializeTimerFile(records_), &error);
    if (!saved) {
        qCWarning(lcProgram) << "cannot save" << path << error;
        platform_.messageBox(QStringLiteral("The timer table could not be saved to ") + path +
                                 QStringLiteral(": ") + error,
                             core::MessageTitle(), platform::Icon::Exclamation);
        return false;
    }
    damaged_.reset();
    unreadable_ = false;
    return true;
}

void TimerTable::LoadTimerFile(int n) {
    if (n != 1 && n != 2)
        return;
    state_.TimerFileName = n == 1 ? Timer1Name : Timer2Name;
    LaadTimerTxt();
}

int TimerTable::checkedFile() const {
    if (state_.TimerFileName == Timer1Name)
        return 1;
    return state_.TimerFileName == Timer2Name ? 2 : 0;
}

TimerTable::AddResult TimerTable::AddRecord(const QString& time, const QString& positionText,
                                            core::Integer stepper) {
    const auto same = std::find_if(records_.begin(), records_.end(),
                                   [&](const TimerRecord& record) { return record.time == time; });
    if (same == records_.end() && int(records_.size()) >= MaxTimerRecords) {
        platform_.messageBox(QStringLiteral("Sorry table full."), core::MessageTitle(),
                             platform::Icon::Information);
        return AddResult::Full;
    }
    if (!IsClockTime(time)) {
        platform_.beep();
        return AddResult::BadTime;
    }
    // A typo is no turn to step 0.
    const std::optional<core::Long> position = PositionOf(positionText);
    if (!position) {
        platform_.beep();
        return AddResult::NoPosition;
    }
    const TimerRecord record{time, *position, core::Integer(stepper == 0 ? 0 : 1)};
    AddResult result = AddResult::Added;
    if (same != records_.end()) {
        *same = record;
        platform_.messageBox(QStringLiteral("This time was already there I replace only the "
                                            "position of Nbr ") +
                                 core::NumberText(core::Long(same - records_.begin()) + 1) +
                                 QLatin1Char('.'),
                             core::MessageTitle(), platform::Icon::Information);
        result = AddResult::Replaced;
    } else {
        records_.push_back(record);
        TimerSort();
    }
    schedule_.Made(time, platform_.now());
    SaveTimerTxt();
    TimerOpscherm();
    return result;
}

bool TimerTable::KillRecord(const QString& numberText) {
    const core::Long k = core::RoundToLong(core::LeadingNumber(numberText));
    if (k < 1 || k > core::Long(records_.size())) {
        platform_.beep();
        return false;
    }
    records_.erase(records_.begin() + (k - 1));
    SaveTimerTxt();
    TimerOpscherm();
    return true;
}

void TimerTable::ClearFile() {
    if (platform_.messageBox(QStringLiteral("Clear ") + state_.TimerFileName, core::MessageTitle(),
                             platform::Icon::Information,
                             platform::Buttons::YesNo) != platform::Answer::Yes)
        return;
    records_.clear();
    TimerOpscherm();
    SaveTimerTxt();
}

void TimerTable::TimerSort() {
    std::stable_sort(records_.begin(), records_.end(),
                     [](const TimerRecord& a, const TimerRecord& b) { return a.time < b.time; });
}

void TimerTable::TimerOpscherm() {
    schedule_.Rearm();
    emit tableChanged();
}

// --- what the windows show ---

QStringList TimerTable::ListLines() const {
    QStringList lines;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const TimerRecord& record = records_[i];
        lines << QStringLiteral("Nbr ") + QString::number(i + 1) + QStringLiteral("   ") +
                     record.time + QStringLiteral("     ") + core::NumberText(record.position) +
                     QStringLiteral("   S") + core::NumberText(record.stepper + 1);
    }
    return lines;
}

QString TimerTable::RecordsText() const {
    return QStringLiteral("Records =") + core::NumberText(core::Long(records_.size())) +
           QLatin1Char('.');
}

std::optional<TimerRecord> TimerTable::nextTurn() const {
    const auto& armed = schedule_.armed();
    if (!armed)
        return std::nullopt;
    return records_[std::size_t(armed->index)];
}

QString TimerTable::NextTurnText() const {
    const auto next = nextTurn();
    if (!next)
        return QString();
    return QStringLiteral("I go turning on ") + next->time + QStringLiteral(" > ") +
           core::NumberText(next->position) + QStringLiteral("  S") +
           core::NumberText(next->stepper + 1) + QLatin1Char('.');
}

bool TimerTable::NextTurnVisible() const {
    return captionOn_ && nextTurn().has_value();
}

QString TimerTable::TimerOnCaption() const {
    return captionOn_ ? QStringLiteral("&Timer on.") : QStringLiteral("&Timer off.");
}

QString TimerTable::Form1LabelTimer() const {
    const auto next = nextTurn();
    if (!enabled_ || !next)
        return QStringLiteral("Timer on");
    return QStringLiteral("Timer=") + next->time + QLatin1Char('>') +
           core::NumberText(next->position) + QStringLiteral("  M") +
           core::NumberText(next->stepper + 1);
}

QString TimerTable::TimeNow() const {
    return platform_.now().time().toString(QStringLiteral("hh:mm:ss"));
}

// --- the clock ---

QString TimerTable::StoppedClockText() {
    return QStringLiteral("Stopped!");
}

void TimerTable::setClock(const QString& text) {
    clock_ = text;
    emit clockChanged();
}

void TimerTable::TimerOnClicked() {
    if (captionOn_) {
        timer_->stop();
        enabled_ = false;
        captionOn_ = false;
        setClock(StoppedClockText());
    } else {
        if (!enabled_) {
            // Turns due while the timer was off are not made now.
            schedule_.Restart(platform_.now());
            timer_->start(TickMs);
            enabled_ = true;
        }
        captionOn_ = true;
    }
    emit tableChanged();
}

bool TimerTable::Hide() {
    const bool runs = !records_.empty();
    platform_.messageBox(runs ? QStringLiteral("Timertable runs on background.")
                              : QStringLiteral("Timertable is empty."),
                         core::MessageTitle(), platform::Icon::Information);
    return runs;
}

void TimerTable::WindowGone() {
    gone_ = true;
    timer_->stop();
    enabled_ = false;
    if (turning_)
        turner_.stopTurning();
}

void TimerTable::Tick() {
    if (!enabled_ || gone_)
        return;
    setClock(TimeNow());
    // Ticks that come while the timer's own turn runs only show the clock.
    if (turning_)
        return;
    const auto due = schedule_.Tick(platform_.now());
    if (!due)
        return;
    emit tableChanged();
    if (turner_.counterBeingSet()) {
        qCInfo(lcProgram) << "timer turn of" << due->time
                          << "missed: the counter is being set by hand";
        return;
    }
    qCInfo(lcProgram) << "timer turn of" << due->time << "to" << due->position << "stepper"
                      << due->stepper;
    turning_ = true;
    const QPointer<TimerTable> alive(this);
    turner_.stopTurning();
    platform_.beep();
    const bool turned = turner_.turnStepperTo(due->stepper, due->position,
                                              QStringLiteral("timer record at ") + due->time);
    if (!alive)
        return;
    if (!turned)
        qCInfo(lcProgram) << "timer turn of" << due->time
                          << "missed: the rig transmitted for more than a minute";
    turning_ = false;
    emit turnEnded();
    if (gone_)
        return;
    schedule_.TurnEnded(platform_.now());
    emit tableChanged();
}

} // namespace program
