#pragma once

#include <string>

// A fixed text of the batch tools as in-system GBK, converted from this source's UTF-8
// once; the reference stays valid for the whole program.
const std::string& ToolText(const char* utf8);
