#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "emlog/categories.h"

// One line of a category list, "名称|别名|模板|描述", with the parent id it goes under.
// Missing fields are empty, fields after the fourth are ignored, nothing is trimmed.
// The split walks GBK characters: "|" (7C) is also a valid trail byte of a double-byte
// character, which must not be cut.
CategoryFields ParseCategoryLine(std::string_view line, std::string pid);

// A text split at every CR LF: an empty item between two line breaks stays, a break at
// the very end adds none; an empty text has no lines.
std::vector<std::string> SplitCrLfLines(std::string_view text);
