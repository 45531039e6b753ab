#pragma once

#include <cstdint>
#include <string>

// A random text of `length` characters (8 when length is 0 or negative) drawn from
// digits, lower-case and upper-case letters, minus the classes the flags exclude (with
// all three excluded it is upper-case). fullWidth turns the result into GBK full-width
// forms (two bytes per character). Lengths above 1,000,000 are cut to that.
std::string RandomAlnumText(std::int32_t length, bool fullWidth, bool noDigits, bool noLower,
                            bool noUpper);
