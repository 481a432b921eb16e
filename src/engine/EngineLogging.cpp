#include "engine/EngineLogging.h"

Q_LOGGING_CATEGORY(lcEngine, "ventrolo.engine")
