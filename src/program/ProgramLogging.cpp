#include "program/ProgramLogging.h"

Q_LOGGING_CATEGORY(lcProgram, "ventrolo.program")
