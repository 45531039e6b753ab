#include "core/number_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// For a number from_chars found out of range: whether it is too large (rather than too
// small). Its first significant digit's power of ten decides; out of range it is beyond
// ±300, so clamping the exponent while reading it changes nothing.
bool TooLarge(std::string_view number) {
    std::size_t i = number[0] == '-' ? 1 : 0;
    std::int64_t power = 0;  // of the first significant digit, before the exponent
    bool significant = false;
    std::int64_t integerDigits = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
        if (number[i] != '0' && !significant) significant = true;
        if (significant) ++integerDigits;
    }
    if (significant) {
        power = integerDigits - 1;
    } else if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && IsDigit(number[i]); ++i) {
            --power;
            if (number[i] != '0') break;
        }
    }
    while (i < number.size() && number[i] != 'e' && number[i] != 'E') ++i;
    std::int64_t exponent = 0;
    bool negative = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size() && IsDigit(number[i]); ++i)
            if (exponent < 1000000000) exponent = exponent * 10 + (number[i] - '0');
    }
    return power + (negative ? -exponent : exponent) > 0;
}
}  // namespace

double TextToNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    std::string_view number = text.substr(start, i - start);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (!TooLarge(number)) return 0;
        return number[0] == '-' ? -DBL_MAX : DBL_MAX;
    }
    return result.ec == std::errc() ? value : 0;
}

std::int32_t TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t TextToInt(std::string_view text) {
    return TruncateToInt(TextToNumber(text));
}

float SaturateToFloat(double value) {
    if (std::isnan(value)) return 0;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

std::string FormatNumber(double value) {
    if (std::isnan(value)) value = 0;
    if (std::isinf(value)) value = value > 0 ? DBL_MAX : -DBL_MAX;
    // "%.13g" as in the C locale whatever the process locale is: Qt sets the user's, and
    // a comma decimal would read back as a truncated number.
    char out[64];
    const auto result = std::to_chars(out, out + sizeof out, value, std::chars_format::general, 13);
    return std::string(out, result.ptr);
}
