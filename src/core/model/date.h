#pragma once

#include <QString>

namespace tessaro {

// A point in time as stored: seconds since 2001-01-01T00:00:00Z, with fraction.
// Kept as the exact double that was read, never rounded, so that a document
// read and written back is unchanged and merge comparisons stay exact.
using Date = double;

// 0001-01-01T00:00:00Z, the date of a document no user has touched.
inline constexpr Date distantPast = -63114076800.0;

// Seconds between 1970-01-01 and 2001-01-01.
inline constexpr double unixOffset = 978307200.0;

inline constexpr Date dateFromUnix(double secondsSince1970) {
    return secondsSince1970 - unixOffset;
}
inline constexpr double unixFromDate(Date date) {
    return date + unixOffset;
}

// The current time with microsecond resolution.
Date currentDate();

// Shortest text that reads back to the same double ("1.5", "-0", "1e+300").
QByteArray shortestNumberText(double value);

} // namespace tessaro
