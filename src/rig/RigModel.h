#pragma once

#include "core/ProgramState.h"

// The Yaesu transceivers the rig link knows, by the number the configuration keeps.
namespace rig {

// The value of RigModel in the configuration. Values outside 1..6 behave as a model that sends
// nothing.
enum class Model : core::Integer { Ft757GXII = 1, Ft817, Ft840, Ft847, Ft857, Ft897 };

inline Model ToModel(core::Integer rigModel) {
    return static_cast<Model>(rigModel);
}

} // namespace rig
