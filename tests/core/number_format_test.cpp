#include "core/number_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavro::core {
namespace {

TEST(FormatMask, WritesEachValueThroughItsMask) {
    struct Case {
        double value;
        const char* mask;
        const char* expected;
    };
    const Case cases[] = {
        // Whole number mask rounds halves away from zero.
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {2.4999999999999996, "0", "2"},
        // Result that rounds to zero has no minus sign.
        {-0.4, "0", "0"},
        {-0.0, "0", "0"},
        {-0.0000004, "0.000000", "0.000000"},
        {-0.0000006, "0.000000", "-0.000001"},
        // Ties are judged on the exact binary value.
        // 1.125 is exact in binary: a true tie, rounded away from zero (not to even).
        {1.125, "0.00", "1.13"},
        {-1.125, "0.00", "-1.13"},
        // 1.005 is stored as 1.00499999999999989...: below the tie.
        {1.005, "0.00", "1.00"},
        // 5e-7 is stored just below, 1.5e-6 just above the tie at the 7th decimal.
        {5e-7, "0.000000", "0.000000"},
        {1.5e-6, "0.000000", "0.000002"},
        // Fixed decimal masks pad with zeros.
        {26238, "0.000000", "26238.000000"},
        {9.99995, "0.0000", "10.0000"},  // carry into a new digit
        // Comma in the integer part groups thousands.
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {999999.5, "#,##0", "1,000,000"},
        {-1234.56, "#,##0.0", "-1,234.6"},
        {1, "##,##0", "1"},
        // Hash decimals drop trailing zeros and an empty point.
        {5, "0.######", "5"},
        {1.23456789, "0.######", "1.234568"},
        {1.0000004, "0.######", "1"},
        // Masks without integer zeros omit a leading zero.
        {0.5, "###.0", ".5"},
        {0.5, "##0.00", "0.50"},
        // Scientific masks scale the mantissa.
        {0.35, "0.0000000E-00", "3.5000000E-01"},
        {-123456.789, "0.0000000E-00", "-1.2345679E05"},
        {9.999999999, "0.0000000E-00", "1.0000000E01"},
        {0, "0.0000000E-00", "0.0000000E00"},
        {123.45, ".00000000E+00", ".12345000E+03"},
        {0.00012345, ".00000000E+00", ".12345000E-03"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMask(c.value, c.mask), c.expected) << c.value << " " << c.mask;
    }
}

// Right alignment always leaves one space; only the first comma becomes a point.
TEST(RightAlignAndDecimalPoint, PadToTheWidthAndReplaceOnlyTheFirstComma) {
    EXPECT_EQ(RightAlign("20", 4), "  20");
    EXPECT_EQ(RightAlign("1234", 4), " 1234");
    EXPECT_EQ(RightAlign("", 3), "   ");
    EXPECT_EQ(DecimalPoint("3,25"), "3.25");
    EXPECT_EQ(DecimalPoint("1,234,5"), "1.234,5");
    EXPECT_EQ(DecimalPoint("3.25"), "3.25");
}

// Empty, garbage and non-finite texts are refused.
TEST(ParseNumber, AcceptsSignedDecimalsExponentsAndSurroundingBlanks) {
    const std::pair<const char*, double> cases[] = {
        {"  -3.5\t", -3.5}, {"+7", 7}, {".5", 0.5}, {"5.", 5}, {"1.5E3", 1500}, {"2e-2", 0.02},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseNumber(text), value) << text;
    for (const char* bad : {"", "   ", "12abc", "1.2.3", "1,5", "+-1", "+", ".", "e5", "-inf",
                            "nan", "1e999", "0x10", "1 2"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(ParseNumber, ReadsBackWhatFormatMaskWrites) {
    for (double v : {0.0, 45366.5625, 0.0125, 4000000.0, -0.01}) {
        EXPECT_EQ(ParseNumber(FormatMask(v, "0.000000")), v);
    }
}

}  // namespace
}  // namespace tavro::core
