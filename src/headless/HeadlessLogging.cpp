#include "headless/HeadlessLogging.h"

namespace headless {

Q_LOGGING_CATEGORY(lcHeadless, "ventrolo.headless")

} // namespace headless
