#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text read as a number the way an edit box's text is: its leading number (optional
// blanks, sign, digits, fraction, exponent), 0 when it does not start with one.
double TextToNumber(std::string_view text);

// The same, truncated toward zero into a 32-bit integer (saturating at the ends).
std::int32_t TextToInt(std::string_view text);

// A double truncated toward zero into a 32-bit integer (saturating; NaN gives 0).
std::int32_t TruncateToInt(double value);

// A number written as the settings file writes it: C format "%.13g".
std::string FormatNumber(double value);
