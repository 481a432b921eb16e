#include "rig/RigLogging.h"

Q_LOGGING_CATEGORY(lcRig, "ventrolo.rig")
