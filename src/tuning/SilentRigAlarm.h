#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tuning {

// A rig that gives no reading for the limit while the station follows it: the alarm is raised
// (one log line) and cleared when a reading comes (one more); following off clears it too. A
// limit of 0 raises none.
class SilentRigAlarm : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultLimitS = 60;

    explicit SilentRigAlarm(platform::Platform& platform, QObject* parent = nullptr);
    ~SilentRigAlarm() override;

    void setLimitS(int seconds) { limitS_ = seconds; }
    // Following began or ended.
    void Watch(bool following);
    void ReadingCame();
    bool raised() const { return raised_; }
    // "no reading from the rig for 60 s" while raised, else empty.
    QString text() const;

signals:
    void changed();

private:
    void restart();
    void setRaised(bool raised);

    std::unique_ptr<platform::Timer> timer_;
    int limitS_ = DefaultLimitS;
    bool watching_ = false;
    bool raised_ = false;
};

} // namespace tuning
