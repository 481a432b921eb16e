#pragma once

#include <QLoggingCategory>

namespace headless {

Q_DECLARE_LOGGING_CATEGORY(lcHeadless)

} // namespace headless
