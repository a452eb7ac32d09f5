#include "core/number_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavro::core {
namespace {

TEST(FormatMask, WholeNumberMaskRoundsHalvesAwayFromZero) {
    EXPECT_EQ(FormatMask(2.5, "0"), "3");
    EXPECT_EQ(FormatMask(3.5, "0"), "4");
    EXPECT_EQ(FormatMask(-2.5, "0"), "-3");
    EXPECT_EQ(FormatMask(2.4999999999999996, "0"), "2");
    EXPECT_EQ(FormatMask(1234567.0, "0"), "1234567");
    EXPECT_EQ(FormatMask(0.5, "0"), "1");
}

TEST(FormatMask, ResultThatRoundsToZeroHasNoMinusSign) {
    EXPECT_EQ(FormatMask(-0.4, "0"), "0");
    EXPECT_EQ(FormatMask(-0.0, "0"), "0");
    EXPECT_EQ(FormatMask(-0.0000004, "0.000000"), "0.000000");
    EXPECT_EQ(FormatMask(-0.0000001, "0.######"), "0");
    EXPECT_EQ(FormatMask(-0.0000006, "0.000000"), "-0.000001");
}

TEST(FormatMask, TiesAreJudgedOnTheExactBinaryValue) {
    // 1.125 is exact in binary: a true tie, rounded away from zero (not to even).
    EXPECT_EQ(FormatMask(1.125, "0.00"), "1.13");
    EXPECT_EQ(FormatMask(-1.125, "0.00"), "-1.13");
    // 1.005 is stored as 1.00499999999999989...: below the tie.
    EXPECT_EQ(FormatMask(1.005, "0.00"), "1.00");
    // 5e-7 is stored just below, 1.5e-6 just above the tie at the 7th decimal.
    EXPECT_EQ(FormatMask(5e-7, "0.000000"), "0.000000");
    EXPECT_EQ(FormatMask(1.5e-6, "0.000000"), "0.000002");
    EXPECT_EQ(FormatMask(0.6046875, "0.000000"), "0.604688");
}

TEST(FormatMask, FixedDecimalMasksPadWithZeros) {
    EXPECT_EQ(FormatMask(26238, "0.000000"), "26238.000000");
    EXPECT_EQ(FormatMask(2.71828, "0.0000"), "2.7183");
    EXPECT_EQ(FormatMask(9.99995, "0.0000"), "10.0000");  // carry into a new digit
    EXPECT_EQ(FormatMask(0.999, "0.00"), "1.00");
    EXPECT_EQ(FormatMask(85, "0.00"), "85.00");
}

TEST(FormatMask, CommaInTheIntegerPartGroupsThousands) {
    EXPECT_EQ(FormatMask(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(FormatMask(0.5, "#,##0.00"), "0.50");
    EXPECT_EQ(FormatMask(1234567, "#,###,##0"), "1,234,567");
    EXPECT_EQ(FormatMask(999.5, "#,###,##0"), "1,000");
    EXPECT_EQ(FormatMask(999999.5, "#,##0"), "1,000,000");
    EXPECT_EQ(FormatMask(-1234.56, "#,##0.0"), "-1,234.6");
    EXPECT_EQ(FormatMask(1, "##,##0"), "1");
    EXPECT_EQ(FormatMask(100, "#,##0"), "100");
    EXPECT_EQ(FormatMask(1000, "#,##0.000"), "1,000.000");
}

TEST(FormatMask, HashDecimalsDropTrailingZerosAndAnEmptyPoint) {
    EXPECT_EQ(FormatMask(5, "0.######"), "5");
    EXPECT_EQ(FormatMask(0.1, "0.######"), "0.1");
    EXPECT_EQ(FormatMask(1.23456789, "0.######"), "1.234568");
    EXPECT_EQ(FormatMask(1234.5, "0.######"), "1234.5");
    EXPECT_EQ(FormatMask(1.0000004, "0.######"), "1");
}

TEST(FormatMask, MasksWithoutIntegerZerosOmitALeadingZero) {
    EXPECT_EQ(FormatMask(0.5, "###.0"), ".5");
    EXPECT_EQ(FormatMask(12.25, "###.0"), "12.3");
    EXPECT_EQ(FormatMask(0.5, "##0.00"), "0.50");
}

TEST(FormatMask, ScientificMasksScaleTheMantissa) {
    EXPECT_EQ(FormatMask(3, "0.0000000E-00"), "3.0000000E00");
    EXPECT_EQ(FormatMask(0.35, "0.0000000E-00"), "3.5000000E-01");
    EXPECT_EQ(FormatMask(-123456.789, "0.0000000E-00"), "-1.2345679E05");
    EXPECT_EQ(FormatMask(9.999999999, "0.0000000E-00"), "1.0000000E01");
    EXPECT_EQ(FormatMask(0, "0.0000000E-00"), "0.0000000E00");
    EXPECT_EQ(FormatMask(123.45, ".00000000E+00"), ".12345000E+03");
    EXPECT_EQ(FormatMask(0.00012345, ".00000000E+00"), ".12345000E-03");
    EXPECT_EQ(FormatMask(0, ".00000000E+00"), ".00000000E+00");
}

TEST(RightAlign, PadsToTheWidthAndAlwaysLeavesOneSpace) {
    EXPECT_EQ(RightAlign("20", 4), "  20");
    EXPECT_EQ(RightAlign("1234", 4), " 1234");
    EXPECT_EQ(RightAlign("123456", 4), " 123456");
    EXPECT_EQ(RightAlign("", 3), "   ");
}

TEST(DecimalPoint, ReplacesOnlyTheFirstComma) {
    EXPECT_EQ(DecimalPoint("3,25"), "3.25");
    EXPECT_EQ(DecimalPoint("1,234,5"), "1.234,5");
    EXPECT_EQ(DecimalPoint("3.25"), "3.25");
}

TEST(ParseNumber, AcceptsSignedDecimalsExponentsAndSurroundingBlanks) {
    EXPECT_EQ(ParseNumber("42"), 42.0);
    EXPECT_EQ(ParseNumber("  -3.5\t"), -3.5);
    EXPECT_EQ(ParseNumber("+7"), 7.0);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("5."), 5.0);
    EXPECT_EQ(ParseNumber("1.5E3"), 1500.0);
    EXPECT_EQ(ParseNumber("2e-2"), 0.02);
    EXPECT_EQ(ParseNumber("26238.000000"), 26238.0);
}

TEST(ParseNumber, RejectsEmptyGarbageAndNonFiniteValues) {
    for (const char* bad :
         {"",  "   ", "abc", "12abc", "1.2.3", "1,5",      "--1",   "+-1",    "++1",  "+",  "-",
          ".", "e5",  "inf", "-inf",  "nan",   "infinity", "1e999", "-1e400", "0x10", "1 2"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(ParseNumber, ReadsBackWhatFormatMaskWrites) {
    for (double v : {0.0, -1.0, 26238.0, 45366.5625, 0.0125, 4000000.0, -0.01}) {
        EXPECT_EQ(ParseNumber(FormatMask(v, "0.000000")), v);
    }
}

}  // namespace
}  // namespace tavro::core
