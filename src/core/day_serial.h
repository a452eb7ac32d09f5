// Time stamps as day serials: days since 1899-12-30 00:00:00, the time of day as the
// fraction. 26238 is 1971-11-01 00:00:00, the stamp of a section not analysed.
#pragma once

#include <string>

namespace tavro::core {

inline constexpr double kNotAnalysedSerial = 26238.0;
// Serials accepted from files: 0001-01-01 .. 9999-12-31.
inline constexpr double kMinDaySerial = -693593.0;
inline constexpr double kMaxDaySerial = 2958466.0;

struct CivilTime {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

double DaySerialFromCivil(const CivilTime& t);
// Rounds to the nearest second. The serial must lie within kMinDaySerial..kMaxDaySerial.
CivilTime CivilFromDaySerial(double serial);

// "mm/dd/yy hh:mm:ss": month, day, two-digit year, 24-hour time (17 characters).
std::string FormatTimeStamp(double serial);

inline bool IsNotAnalysed(double serial) { return serial == kNotAnalysedSerial; }

}  // namespace tavro::core
