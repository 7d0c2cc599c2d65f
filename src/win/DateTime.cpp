#include "win/DateTime.h"

#include <cmath>

namespace vt {

namespace {

// Days from 1 March of year 0 in the proleptic Gregorian calendar (H. Hinnant's method).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe);
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

const long long kEpoch = DaysFromCivil(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

}  // namespace

double ToDateTime(const SYSTEMTIME& t) {
    const double days = static_cast<double>(DaysFromCivil(t.wYear, t.wMonth, t.wDay) - kEpoch);
    const double ms = ((t.wHour * 60.0 + t.wMinute) * 60.0 + t.wSecond) * 1000.0 + t.wMilliseconds;
    return days + ms / kMsPerDay;
}

SYSTEMTIME FromDateTime(double value) {
    // Whole milliseconds first, so 0.99999999 of a day does not become 24:00.
    const long long totalMs = std::llround(value * kMsPerDay);
    long long days = totalMs / 86400000LL;
    long long ms = totalMs % 86400000LL;
    if (ms < 0) {
        ms += 86400000LL;
        --days;
    }
    long long y;
    unsigned m, d;
    CivilFromDays(days + kEpoch, y, m, d);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(m);
    t.wDay = static_cast<WORD>(d);
    t.wDayOfWeek = static_cast<WORD>(((days + kEpoch) % 7 + 7 + 3) % 7);
    t.wHour = static_cast<WORD>(ms / 3600000);
    t.wMinute = static_cast<WORD>(ms / 60000 % 60);
    t.wSecond = static_cast<WORD>(ms / 1000 % 60);
    t.wMilliseconds = static_cast<WORD>(ms % 1000);
    return t;
}

}  // namespace vt
