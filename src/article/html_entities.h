#pragma once

#include <string>
#include <string_view>

// Turns the HTML character references of a text taken from a web page back into
// characters: the 40 named entities the system knows (ASCII case ignored) and numeric
// "&#…;" references. GBK in, GBK out.
std::string DecodeHtmlEntities(std::string_view text);
