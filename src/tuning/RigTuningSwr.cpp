// Automatic tuning's SWR tune: the touch-up by the rig's own SWR meter, around the table's
// position for the rig's frequency.
#include "core/VersionTexts.h"
#include "tuning/RigTuning.h"

namespace tuning {

rig::SwrMeter* RigTuning::swrMeter() const {
    if (links_.simulated())
        return const_cast<rig::SimulatedSwrMeter*>(&simulatedSwr_);
    return rig_->swrMeter();
}

} // namespace tuning
