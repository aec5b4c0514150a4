#include "date.h"

#include <charconv>
#include <chrono>
#include <cmath>

namespace tessaro {

Date currentDate() {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return dateFromUnix(double(micros) / 1e6);
}

QByteArray shortestNumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, result.ptr - buffer);
}

} // namespace tessaro
