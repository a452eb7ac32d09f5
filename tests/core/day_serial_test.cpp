#include "core/day_serial.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace tavro::core {
namespace {

// Whole days counted by hand from 1899-12-30 (spreadsheet serials after March 1900).
TEST(DaySerial, MatchesHandCountedSerials) {
    // Year, month, day, hour, minute, serial.
    const std::tuple<int, int, int, int, int, double> cases[] = {
        {1899, 12, 30, 0, 0, 0},
        {1899, 12, 29, 0, 0, -1},
        {1900, 2, 28, 0, 0, 60},
        {1900, 3, 1, 0, 0, 61},
        {2024, 3, 15, 0, 0, 45366},
        {1, 1, 1, 0, 0, kMinDaySerial},
        {9999, 12, 31, 0, 0, 2958465},
        // The fraction is the time of day, counted from midnight also before the epoch.
        {2024, 3, 15, 13, 30, 45366.5625},
        {1899, 12, 29, 6, 0, -1.25},
    };
    for (const auto& [year, month, day, hour, minute, serial] : cases) {
        EXPECT_EQ(DaySerialFromCivil({year, month, day, hour, minute, 0}), serial)
            << year << '-' << month << '-' << day;
        CivilTime b = CivilFromDaySerial(serial);
        EXPECT_EQ(std::vector<int>({b.year, b.month, b.day, b.hour, b.minute, b.second}),
                  std::vector<int>({year, month, day, hour, minute, 0}));
    }
}

// The not-analysed stamp is the first of November 1971.
TEST(FormatTimeStamp, RoundsToTheNearestSecondAcrossMidnight) {
    EXPECT_EQ(FormatTimeStamp(kNotAnalysedSerial), "11/01/71 00:00:00");
    EXPECT_EQ(FormatTimeStamp(45366.5625), "03/15/24 13:30:00");
    const double second = 1.0 / 86400;
    EXPECT_EQ(FormatTimeStamp(26238 + 59.4 * second), "11/01/71 00:00:59");
    EXPECT_EQ(FormatTimeStamp(26238 + 59.6 * second), "11/01/71 00:01:00");
    EXPECT_EQ(FormatTimeStamp(26238 + 86399.6 * second), "11/02/71 00:00:00");
    EXPECT_EQ(FormatTimeStamp(2958465 + 86399 * second), "12/31/99 23:59:59");
}

}  // namespace
}  // namespace tavro::core
