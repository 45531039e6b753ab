#pragma once

#include <string>
#include <string_view>

// The text without ASCII spaces and full-width spaces (GBK A1 A1) at both ends; an A1 A1
// pair that straddles two characters is no blank.
std::string TrimBlanks(std::string_view text);
