#pragma once

#include <string>
#include <string_view>

// Percent-encodes in-system (GBK) text for a form body: letters and digits stay, ".", "_"
// and "-" stay, every other byte becomes %XX with upper-case hex (a space is %20, never
// "+"). With utf8 the text is sent as UTF-8 bytes, else as its GBK bytes. keepSeparators
// leaves "&" and "=" as they are, which only suits a text that is a whole form already.
// The text ends at its first zero byte.
std::string FormUrlEncode(std::string_view text, bool utf8, bool keepSeparators = false);
