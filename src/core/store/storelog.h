#pragma once

#include <QLoggingCategory>

namespace tessaro {

// The state file: what start-up had to set aside, writes that failed.
Q_DECLARE_LOGGING_CATEGORY(lcStore)

} // namespace tessaro
