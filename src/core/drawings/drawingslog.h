#pragma once

#include <QLoggingCategory>

namespace tessaro {

// "tessaro.drawings": what goes wrong while mirroring drawing files.
Q_DECLARE_LOGGING_CATEGORY(drawingsLog)

} // namespace tessaro
