#include "isodate.h"

namespace tessaro {

namespace {

class Cursor {
public:
    explicit Cursor(QStringView text)
        : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }

    bool take(char16_t c) {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    std::optional<int> digits(int count) {
        int value = 0;
        for (int i = 0; i < count; ++i) {
            if (m_pos >= m_text.size() || !isDigit(m_text[m_pos]))
                return std::nullopt;
            value = value * 10 + (m_text[m_pos++].unicode() - '0');
        }
        return value;
    }

    // Digits after the decimal point as a fraction of one.
    std::optional<double> fraction() {
        double value = 0;
        double scale = 0.1;
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && isDigit(m_text[m_pos])) {
            value += (m_text[m_pos++].unicode() - '0') * scale;
            scale /= 10;
        }
        if (m_pos == start)
            return std::nullopt;
        return value;
    }

private:
    static bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

    QStringView m_text;
    qsizetype m_pos = 0;
};

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long daysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::optional<Date> parseInternetDate(QStringView text) {
    Cursor in(text);
    const auto year = in.digits(4);
    if (!year || !in.take('-'))
        return std::nullopt;
    const auto month = in.digits(2);
    if (!month || *month < 1 || *month > 12 || !in.take('-'))
        return std::nullopt;
    const auto day = in.digits(2);
    if (!day || *day < 1 || *day > daysInMonth(*year, *month) || !in.take('T'))
        return std::nullopt;
    const auto hour = in.digits(2);
    if (!hour || *hour > 23 || !in.take(':'))
        return std::nullopt;
    const auto minute = in.digits(2);
    if (!minute || *minute > 59 || !in.take(':'))
        return std::nullopt;
    const auto second = in.digits(2);
    if (!second || *second > 59)
        return std::nullopt;
    double fraction = 0;
    if (in.take('.')) {
        const auto digits = in.fraction();
        if (!digits)
            return std::nullopt;
        fraction = *digits;
    }
    int offsetMinutes = 0;
    if (!in.take('Z')) {
        int sign;
        if (in.take('+'))
            sign = 1;
        else if (in.take('-'))
            sign = -1;
        else
            return std::nullopt;
        const auto offsetHours = in.digits(2);
        if (!offsetHours || *offsetHours > 23 || !in.take(':'))
            return std::nullopt;
        const auto offsetMins = in.digits(2);
        if (!offsetMins || *offsetMins > 59)
            return std::nullopt;
        offsetMinutes = sign * (*offsetHours * 60 + *offsetMins);
    }
    if (!in.atEnd())
        return std::nullopt;
    const double seconds = double(daysFromCivil(*year, *month, *day)) * 86400.0 + *hour * 3600.0 +
                           *minute * 60.0 + *second - offsetMinutes * 60.0 + fraction;
    return dateFromUnix(seconds);
}

} // namespace tessaro
