#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
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
    if (result.ec == std::errc::result_out_of_range) return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
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

std::string FormatNumber(double value) {
    char out[64];
    std::snprintf(out, sizeof out, "%.13g", value);
    return out;
}
