#pragma once

#include "model/date.h"

#include <QStringView>

#include <optional>

namespace tessaro {

// An internet date-time ("2024-05-01T09:30:00Z", "…00.250+02:00"), with or
// without fractional seconds; none for anything else.
std::optional<Date> parseInternetDate(QStringView text);

} // namespace tessaro
