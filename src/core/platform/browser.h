#pragma once

#include <string_view>

namespace platform {

// Opens a web page (an ASCII or UTF-8 URL) in the user's default browser and returns at
// once; false when the system could not hand it over.
bool OpenWebPage(std::string_view url);

}  // namespace platform
