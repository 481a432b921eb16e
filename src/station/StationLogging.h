#pragma once

#include <QLoggingCategory>

namespace station {
Q_DECLARE_LOGGING_CATEGORY(lcStation)
} // namespace station
