// Day serials <-> civil dates in the proleptic Gregorian calendar.
#include "core/day_serial.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavro::core {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to y-m-d (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

const std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

void TwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

// Before the epoch the day count is negative but the time of day still counts forward
// from midnight, so 1899-12-29 06:00 is -1.25, not -0.75.
double DaySerialFromCivil(const CivilTime& t) {
    const std::int64_t days = DaysFromCivil(t.year, t.month, t.day) - kEpochDays;
    const double fraction =
        static_cast<double>(t.hour * 3600 + t.minute * 60 + t.second) / kSecondsPerDay;
    return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

CivilTime CivilFromDaySerial(double serial) {
    if (std::isnan(serial)) serial = kNotAnalysedSerial;
    serial = std::clamp(serial, kMinDaySerial, kMaxDaySerial + 0.99999);
    std::int64_t days = static_cast<std::int64_t>(std::trunc(serial));
    std::int64_t seconds =
        std::llround(std::fabs(serial - static_cast<double>(days)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        // Rounded up to the next midnight: the time of day runs forward on both sides
        // of the epoch, so this is always the following calendar day.
        seconds -= kSecondsPerDay;
        days += 1;
    }
    CivilTime t;
    CivilFromDays(days + kEpochDays, t.year, t.month, t.day);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

std::string FormatTimeStamp(double serial) {
    const CivilTime t = CivilFromDaySerial(serial);
    std::string out;
    TwoDigits(out, t.month);
    out += '/';
    TwoDigits(out, t.day);
    out += '/';
    TwoDigits(out, t.year % 100);
    out += ' ';
    TwoDigits(out, t.hour);
    out += ':';
    TwoDigits(out, t.minute);
    out += ':';
    TwoDigits(out, t.second);
    return out;
}

}  // namespace tavro::core
