#pragma once

#include <string>
#include <string_view>

// The body as plain text, the text an excerpt is cut from: tags, HTML entities, links and
// all white space (ASCII and full-width) removed. GBK in, GBK out.
std::string PlainText(std::string_view body);
