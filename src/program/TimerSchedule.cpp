#include "program/TimerSchedule.h"

#include "program/ProgramLogging.h"

#include <cstdlib>
#include <limits>

namespace program {

namespace {

// A turn may come this late; a clock that moved on further between two ticks jumped.
constexpr qint64 MaxLateSecs = 60;

QDateTime wholeSeconds(const QDateTime& moment) {
    QDateTime whole = moment;
    const QTime time = moment.time();
    whole.setTime(QTime(time.hour(), time.minute(), time.second()));
    return whole;
}

} // namespace

void TimerSchedule::Restart(const QDateTime& now) {
    done_ = lastTick_ = wholeSeconds(now);
    doneRank_ = std::numeric_limits<int>::max();
    made_.clear();
    Rearm();
}

void TimerSchedule::Made(const QString& time, const QDateTime& now) {
    made_[time] = wholeSeconds(now);
}

QDateTime TimerSchedule::at(const QDate& date, int index) const {
    return QDateTime(
        date, QTime::fromString(records_[std::size_t(index)].time, QStringLiteral("hh:mm:ss")));
}

QDateTime TimerSchedule::onOrAfter(const QDate& date, int index) const {
    // A time in the hour skipped when summer time begins is not on the clock that day.
    for (int day = 0; day < 2; ++day) {
        if (const QDateTime due = at(date.addDays(day), index); due.isValid())
            return due;
    }
    return {};
}

int TimerSchedule::rankOf(int index) const {
    const QString& time = records_[std::size_t(index)].time;
    int rank = 0;
    for (int i = 0; i < index; ++i) {
        if (records_[std::size_t(i)].time == time)
            ++rank;
    }
    return rank;
}

QDateTime TimerSchedule::nextDue(int index) const {
    QDateTime due = onOrAfter(done_.date(), index);
    if (!due.isValid())
        return due;
    if (due < done_ || (due == done_ && rankOf(index) < doneRank_))
        due = onOrAfter(done_.date().addDays(1), index);
    const auto made = made_.find(records_[std::size_t(index)].time);
    if (made != made_.end() && due <= made->second) {
        due = onOrAfter(made->second.date(), index);
        if (due <= made->second)
            due = onOrAfter(made->second.date().addDays(1), index);
    }
    return due;
}

void TimerSchedule::Rearm() {
    armed_.reset();
    if (!done_.isValid())
        return;
    std::erase_if(made_, [this](const auto& entry) { return entry.second < done_; });
    for (int i = 0; i < int(records_.size()); ++i) {
        const QDateTime due = nextDue(i);
        if (due.isValid() && (!armed_ || due < armed_->due))
            armed_ = Armed{i, due};
    }
}

std::optional<TimerRecord> TimerSchedule::Tick(const QDateTime& now) {
    const QDateTime tick = wholeSeconds(now);
    if (!done_.isValid() || std::abs(lastTick_.secsTo(tick)) > MaxLateSecs) {
        if (done_.isValid())
            qCInfo(lcProgram) << "the clock jumped from" << lastTick_ << "to" << tick
                              << "; the timer turns in between are missed";
        Restart(tick);
        return std::nullopt;
    }
    lastTick_ = tick;
    while (armed_ && armed_->due <= tick) {
        const Armed due = *armed_;
        done_ = due.due;
        doneRank_ = rankOf(due.index) + 1;
        Rearm();
        if (due.due.secsTo(tick) <= MaxLateSecs)
            return records_[std::size_t(due.index)];
        qCInfo(lcProgram) << "timer turn of" << records_[std::size_t(due.index)].time
                          << "missed: the clock is past it by more than a minute";
    }
    return std::nullopt;
}

void TimerSchedule::TurnEnded(const QDateTime& now) {
    lastTick_ = wholeSeconds(now);
}

} // namespace program
