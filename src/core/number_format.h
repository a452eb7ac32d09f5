// Locale-independent number formatting and parsing for files, messages and displays.
// Never printf/strtod/iostreams: a desktop program runs under the user's locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavro::core {

// Formats `value` with a display mask such as "0", "0.000000", "#,##0.00" or "#,###,##0":
// the count of '0' before the point is the minimum number of integer digits, a ','
// in the integer part asks for thousands separators (","), and the characters after
// the point give the decimals ('0' kept, '#' trailing zeros dropped). Rounds to nearest,
// halves away from zero. A result that rounds to zero carries no minus sign. A point
// left without decimals is dropped ("0.##" formats 5 as "5"). Masks with an exponent
// ("0.0000000E-00", ".00000000E+00") write a mantissa of 1..10 (0.1..1 without an integer
// '0'), "E+" always signs the exponent, "E-" only when negative.
std::string FormatMask(double value, std::string_view mask);

// Right-aligns `text` in a field of `width`: width - n leading spaces, and at least one
// space when n >= width, so a field never runs into the one before it.
std::string RightAlign(std::string_view text, int width);

// Replaces the first ',' of `text` with '.', so numbers written under a decimal-comma
// convention read back everywhere.
std::string DecimalPoint(std::string text);

// Parses a whole number text (surrounding blanks allowed): optional sign, digits with an
// optional decimal point, optional exponent. nullopt for anything else, for an empty
// text, and for values that are not finite.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace tavro::core
