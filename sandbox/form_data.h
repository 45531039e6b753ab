#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sandbox_server.h"

// Decoding of what a browser sends: form bodies and query strings the way PHP reads
// them, and the Cookie header.
namespace sandbox {

using NameValues = std::vector<std::pair<std::string, std::string>>;

// %XX becomes that byte and "+" a space, as PHP's urldecode; a "%" not followed by two
// hex digits stays as it is.
std::string PercentDecode(std::string_view text);

// Splits at "&", then at the first "="; names and values percent-decoded, bytes as sent.
NameValues ParseForm(std::string_view body);

// Bytes in the site's charset to UTF-8. Bytes the charset does not explain are kept.
std::string SiteTextToUtf8(std::string_view bytes, SiteCharset charset);
// UTF-8 to the site's charset for the wire.
std::string Utf8ToSiteText(std::string_view utf8, SiteCharset charset);

// First value of that name, "" when absent.
std::string_view FindValue(const NameValues& values, std::string_view name);
bool HasValue(const NameValues& values, std::string_view name);

NameValues ParseCookies(std::string_view header);

// PHP's trim(): spaces, tabs, CR, LF, NUL and vertical tabs at both ends.
std::string PhpTrim(std::string_view text);

}  // namespace sandbox
