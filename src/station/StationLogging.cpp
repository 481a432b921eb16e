#include "station/StationLogging.h"

namespace station {
Q_LOGGING_CATEGORY(lcStation, "ventrolo.station")
} // namespace station
