// Display masks, fixed-width fields and number parsing, independent of the user's locale.
#include "core/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace tavro::core {

namespace {

// Digits written beyond the last shown decimal before rounding by hand. A double that
// is not exactly on a tie lies at least about 1e-17 x 10^-2d away from it, so with d
// shown decimals d + 40 digits always tell "above", "below" and "exactly on" apart.
constexpr int kGuardDigits = 40;

struct MaskSpec {
    int minIntegerDigits = 0;
    bool thousands = false;
    bool hasPoint = false;
    int minDecimals = 0;  // '0' after the point
    int maxDecimals = 0;  // '0' and '#' after the point
    bool scientific = false;
    bool exponentAlwaysSigned = false;  // "E+" rather than "E-"
    int exponentDigits = 0;
};

MaskSpec ParseMask(std::string_view mask) {
    MaskSpec spec;
    std::size_t i = 0;
    for (; i < mask.size() && mask[i] != '.' && mask[i] != 'E' && mask[i] != 'e'; ++i) {
        if (mask[i] == '0') ++spec.minIntegerDigits;
        if (mask[i] == ',') spec.thousands = true;
    }
    if (i < mask.size() && mask[i] == '.') {
        spec.hasPoint = true;
        for (++i; i < mask.size() && mask[i] != 'E' && mask[i] != 'e'; ++i) {
            if (mask[i] == '0') ++spec.minDecimals;
            if (mask[i] == '0' || mask[i] == '#') ++spec.maxDecimals;
        }
    }
    if (i < mask.size()) {
        spec.scientific = true;
        ++i;
        spec.exponentAlwaysSigned = i < mask.size() && mask[i] == '+';
        for (; i < mask.size(); ++i) {
            if (mask[i] == '0') ++spec.exponentDigits;
        }
    }
    return spec;
}

// Exact decimal digits of |value| with `decimals` digits after the point, rounded to
// nearest with halves away from zero. Returns the integer and fraction digit strings.
struct Digits {
    std::string integer;   // no leading zeros; "" for zero
    std::string fraction;  // exactly `decimals` digits
};

Digits RoundedDigits(double magnitude, int decimals) {
    // 309 integer digits at most, a point and the requested decimals.
    std::string buffer(320 + static_cast<std::size_t>(decimals + kGuardDigits), '\0');
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                std::chars_format::fixed, decimals + kGuardDigits);
    std::string text(buffer.data(), result.ptr);
    std::size_t point = text.find('.');
    std::string digits = text.substr(0, point) + text.substr(point + 1, decimals);
    std::size_t integerLength = point;
    // The first guard digit decides: a tie shows as "5000...", which rounds up too.
    if (text[point + 1 + static_cast<std::size_t>(decimals)] >= '5') {
        std::size_t k = digits.size();
        while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
        if (k == 0) {
            digits.insert(digits.begin(), '1');
            ++integerLength;
        } else {
            ++digits[k - 1];
        }
    }
    Digits out{digits.substr(0, integerLength), digits.substr(integerLength)};
    std::size_t firstNonZero = out.integer.find_first_not_of('0');
    out.integer.erase(0, firstNonZero == std::string::npos ? out.integer.size() : firstNonZero);
    return out;
}

bool AllZero(const Digits& d) {
    return d.integer.empty() && d.fraction.find_first_not_of('0') == std::string::npos;
}

std::string GroupThousands(const std::string& integer) {
    std::string out;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0) out += ',';
        out += integer[i];
    }
    return out;
}

std::string Assemble(const MaskSpec& spec, Digits digits) {
    std::string integer = digits.integer;
    if (integer.size() < static_cast<std::size_t>(spec.minIntegerDigits)) {
        integer.insert(0, static_cast<std::size_t>(spec.minIntegerDigits) - integer.size(), '0');
    }
    if (spec.thousands) integer = GroupThousands(integer);
    std::string fraction = digits.fraction;
    while (fraction.size() > static_cast<std::size_t>(spec.minDecimals) && fraction.back() == '0') {
        fraction.pop_back();
    }
    // A point with nothing after it ("0.##" for 5) is dropped rather than shown as "5.".
    return fraction.empty() ? integer : integer + "." + fraction;
}

std::string FormatFixed(double value, const MaskSpec& spec) {
    Digits digits = RoundedDigits(std::fabs(value), spec.maxDecimals);
    bool negative = std::signbit(value) && !AllZero(digits);
    std::string out = negative ? "-" : "";
    return out.append(Assemble(spec, std::move(digits)));
}

// Scientific masks ("0.0000000E-00", ".00000000E+00"): with an integer digit the
// mantissa lies in 1..10, without one in 0.1..1; "E+" always signs the exponent, "E-"
// only when it is negative.
std::string FormatScientific(double value, const MaskSpec& spec) {
    const int integerDigits = spec.minIntegerDigits > 0 ? 1 : 0;
    const int significant = std::max(integerDigits + spec.maxDecimals, 1);
    std::string digits(static_cast<std::size_t>(significant), '0');
    int exponent = 0;  // of the first significant digit
    if (value != 0) {
        char buffer[128];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, significant + kGuardDigits);
        std::string text(buffer, result.ptr);
        std::size_t e = text.find('e');
        std::string all = text.substr(0, 1) + text.substr(2, e - 2);
        exponent = std::atoi(text.c_str() + e + 1);
        digits = all.substr(0, static_cast<std::size_t>(significant));
        if (all[static_cast<std::size_t>(significant)] >= '5') {
            std::size_t k = digits.size();
            while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
            if (k == 0) {
                digits.front() = '1';  // 9.99 -> 10.0: one more power of ten
                ++exponent;
            } else {
                ++digits[k - 1];
            }
        }
    }
    if (integerDigits == 0) ++exponent;  // mantissa 0.1..1
    Digits parts{digits.substr(0, static_cast<std::size_t>(integerDigits)),
                 digits.substr(static_cast<std::size_t>(integerDigits))};
    if (parts.integer == "0") parts.integer.clear();
    if (value == 0) exponent = 0;
    bool negative = std::signbit(value) && !AllZero(parts);
    std::string mantissa = negative ? "-" : "";
    mantissa.append(Assemble(spec, std::move(parts)));
    std::string expDigits = std::to_string(std::abs(exponent));
    if (expDigits.size() < static_cast<std::size_t>(spec.exponentDigits)) {
        expDigits.insert(0, static_cast<std::size_t>(spec.exponentDigits) - expDigits.size(), '0');
    }
    std::string sign = exponent < 0 ? "-" : (spec.exponentAlwaysSigned ? "+" : "");
    return mantissa + "E" + sign + expDigits;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string FormatMask(double value, std::string_view mask) {
    if (!std::isfinite(value)) {
        char buffer[8];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, result.ptr);
    }
    MaskSpec spec = ParseMask(mask);
    return spec.scientific ? FormatScientific(value, spec) : FormatFixed(value, spec);
}

std::string RightAlign(std::string_view text, int width) {
    int padding = width - static_cast<int>(text.size());
    if (padding < 1) padding = 1;
    return std::string(static_cast<std::size_t>(padding), ' ') + std::string(text);
}

std::string DecimalPoint(std::string text) {
    std::size_t comma = text.find(',');
    if (comma != std::string::npos) text[comma] = '.';
    return text;
}

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    // from_chars also knows "inf", "nan" and "infinity"; a number always has a digit.
    if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    double value = 0;
    auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace tavro::core
