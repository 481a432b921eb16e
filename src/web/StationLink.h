#pragma once

#include "program/TimerTable.h"

namespace web {

// What the web server asks of the station beyond its logic parts: whether a turn runs, whether
// the table is open for following the rig, and the timer table while it is loaded.
class StationLink {
public:
    virtual ~StationLink() = default;
    virtual bool turning() const = 0;
    virtual bool following() const = 0;
    virtual program::TimerTable* timer() const = 0;
};

} // namespace web
