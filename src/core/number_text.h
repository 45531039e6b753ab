#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text read as a number the way an edit box's text is: its leading number (optional
// blanks, sign, digits, fraction, exponent), 0 when it does not start with one. A
// number too small for a double reads as 0, one too large as the largest finite double
// of its sign, so the result is always finite.
double TextToNumber(std::string_view text);

// The same, truncated toward zero into a 32-bit integer (saturating at the ends).
std::int32_t TextToInt(std::string_view text);

// A double truncated toward zero into a 32-bit integer (saturating; NaN gives 0).
std::int32_t TruncateToInt(double value);

// A double as a float, saturating at the largest finite float of its sign (NaN gives 0),
// so a float setting never becomes infinite.
float SaturateToFloat(double value);

// A number written as the settings file writes it: C format "%.13g". Infinity is written
// as the largest finite double of its sign and NaN as 0: "inf" or "nan" in the file
// would read back as 0.
std::string FormatNumber(double value);
