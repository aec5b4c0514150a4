#pragma once

#include <QLoggingCategory>

namespace tessaro {

// Everything about the cloud copy of the document.
Q_DECLARE_LOGGING_CATEGORY(lcCloud)

} // namespace tessaro
