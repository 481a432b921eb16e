#include "vna/VnaLogging.h"

Q_LOGGING_CATEGORY(lcVna, "ventrolo.vna")
