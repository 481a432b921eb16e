#pragma once

#include "engine/MotionWatch.h"
#include "program/TimerTable.h"

#include <QJsonObject>
#include <QList>

namespace web {

// What the web server asks of the station beyond its logic parts: whether a turn runs, whether
// the table is open for following the rig, the timer table while it is loaded, and the last
// moves.
class StationLink {
public:
    virtual ~StationLink() = default;
    virtual bool turning() const = 0;
    virtual bool following() const = 0;
    virtual program::TimerTable* timer() const = 0;
    // The last count lines of the move log, oldest first.
    virtual QList<QJsonObject> recentMoves(int /*count*/) const { return {}; }
    // Moving or settled; null where nobody watches.
    virtual const engine::MotionWatch* motion() const { return nullptr; }
    // Why following may be stale ("no reading from the rig for 60 s"); empty: no alarm.
    virtual QString rigAlarm() const { return {}; }
    // What following rests on when not on the link as usual ("announcements stopped; polling
    // carries following"); empty: nothing to tell.
    virtual QString rigNotice() const { return {}; }
    // Where a stepper may not stand at its counter since an abnormal end; empty: no doubt.
    virtual QString positionDoubt() const { return {}; }
};

} // namespace web
