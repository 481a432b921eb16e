#pragma once

#include "rig/CatControl.h"

namespace rig {

// One exchange with the rig at a time: the outermost one closes the line, when a close was asked
// for meanwhile, once it has ended.
class CatControl::Exchange {
public:
    explicit Exchange(CatControl& cat) : cat_(cat), outermost_(!cat.busy_) { cat_.busy_ = true; }
    ~Exchange() {
        if (!outermost_)
            return;
        cat_.busy_ = false;
        if (cat_.closeRequested_)
            cat_.closeNow();
    }
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

private:
    CatControl& cat_;
    bool outermost_;
};

} // namespace rig
