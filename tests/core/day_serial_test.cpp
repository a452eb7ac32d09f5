#include "core/day_serial.h"

#include <gtest/gtest.h>

namespace tavro::core {
namespace {

// Reference serials: whole days counted from 1899-12-30 by hand (and matching the
// well-known spreadsheet serials for dates after March 1900).
struct DateCase {
    int year, month, day;
    double serial;
};

TEST(DaySerial, WholeDaysMatchHandCountedSerials) {
    const DateCase cases[] = {
        {1899, 12, 30, 0},       {1899, 12, 31, 1},    {1899, 12, 29, -1},
        {1900, 2, 28, 60},       {1900, 3, 1, 61},     {1971, 11, 1, 26238},
        {2000, 1, 1, 36526},     {2024, 3, 15, 45366}, {1, 1, 1, kMinDaySerial},
        {9999, 12, 31, 2958465},
    };
    for (const DateCase& c : cases) {
        CivilTime t;
        t.year = c.year;
        t.month = c.month;
        t.day = c.day;
        EXPECT_EQ(DaySerialFromCivil(t), c.serial) << c.year << '-' << c.month << '-' << c.day;
        CivilTime back = CivilFromDaySerial(c.serial);
        EXPECT_EQ(back.year, c.year);
        EXPECT_EQ(back.month, c.month);
        EXPECT_EQ(back.day, c.day);
        EXPECT_EQ(back.hour + back.minute + back.second, 0);
    }
}

TEST(DaySerial, FractionIsTheTimeOfDay) {
    CivilTime t{2024, 3, 15, 13, 30, 0};
    EXPECT_EQ(DaySerialFromCivil(t), 45366.5625);
    CivilTime back = CivilFromDaySerial(45366.5625);
    EXPECT_EQ(back.hour, 13);
    EXPECT_EQ(back.minute, 30);
    EXPECT_EQ(back.second, 0);
}

TEST(DaySerial, BeforeTheEpochTheTimeStillCountsFromMidnight) {
    CivilTime t{1899, 12, 29, 6, 0, 0};
    EXPECT_EQ(DaySerialFromCivil(t), -1.25);
    CivilTime back = CivilFromDaySerial(-1.25);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.hour, 6);
}

TEST(FormatTimeStamp, NotAnalysedStampIsFirstOfNovember1971) {
    EXPECT_EQ(FormatTimeStamp(kNotAnalysedSerial), "11/01/71 00:00:00");
    EXPECT_EQ(FormatTimeStamp(45366.5625), "03/15/24 13:30:00");
    EXPECT_EQ(FormatTimeStamp(38537 + 0.75), "07/04/05 18:00:00");
}

TEST(FormatTimeStamp, RoundsToTheNearestSecondAcrossMidnight) {
    const double second = 1.0 / 86400;
    EXPECT_EQ(FormatTimeStamp(26238 + 59.4 * second), "11/01/71 00:00:59");
    EXPECT_EQ(FormatTimeStamp(26238 + 59.6 * second), "11/01/71 00:01:00");
    EXPECT_EQ(FormatTimeStamp(26238 + 86399.6 * second), "11/02/71 00:00:00");
    EXPECT_EQ(FormatTimeStamp(2958465 + 86399 * second), "12/31/99 23:59:59");
}

}  // namespace
}  // namespace tavro::core
