#include "program/TimerSchedule.h"

#include "program/ProgramLogging.h"

#include <cstdlib>

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
    Rearm();
}

QDateTime TimerSchedule::at(const QDate& date, int index) const {
    return QDateTime(
        date, QTime::fromString(records_[std::size_t(index)].time, QStringLiteral("hh:mm:ss")));
}

bool TimerSchedule::before(int a, int b) const {
    const QString& timeA = records_[std::size_t(a)].time;
    const QString& timeB = records_[std::size_t(b)].time;
    return timeA < timeB || (timeA == timeB && a < b);
}

std::pair<int, bool> TimerSchedule::following(int index) const {
    int next = -1;
    int first = 0;
    for (int i = 0; i < int(records_.size()); ++i) {
        if (before(i, first))
            first = i;
        if (before(index, i) && (next < 0 || before(i, next)))
            next = i;
    }
    return next < 0 ? std::pair{first, true} : std::pair{next, false};
}

void TimerSchedule::Rearm() {
    armed_.reset();
    if (!done_.isValid())
        return;
    for (int i = 0; i < int(records_.size()); ++i) {
        QDateTime due = at(done_.date(), i);
        if (!due.isValid())
            continue;
        if (due <= done_)
            due = at(done_.date().addDays(1), i);
        if (!armed_ || due < armed_->due || (due == armed_->due && before(i, armed_->index)))
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
        const auto [next, wrapped] = following(due.index);
        armed_ = Armed{next, at(wrapped ? due.due.date().addDays(1) : due.due.date(), next)};
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
