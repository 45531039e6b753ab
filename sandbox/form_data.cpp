#include "form_data.h"

#include "core/charset.h"

namespace sandbox {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

NameValues ParseForm(std::string_view body) {
    NameValues values;
    while (!body.empty()) {
        std::size_t amp = body.find('&');
        std::string_view pair = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp + 1);
        if (pair.empty()) continue;
        std::size_t eq = pair.find('=');
        std::string name = PercentDecode(pair.substr(0, eq));
        std::string value =
            eq == std::string_view::npos ? std::string() : PercentDecode(pair.substr(eq + 1));
        values.emplace_back(std::move(name), std::move(value));
    }
    return values;
}

std::string SiteTextToUtf8(std::string_view bytes, SiteCharset charset) {
    if (charset == SiteCharset::Utf8) return std::string(bytes);
    std::optional<std::string> utf8 = charset::Convert(bytes, "GB18030", "UTF-8");
    return utf8 ? *utf8 : std::string(bytes);
}

std::string Utf8ToSiteText(std::string_view utf8, SiteCharset charset) {
    if (charset == SiteCharset::Utf8) return std::string(utf8);
    return charset::Utf8ToGbk(utf8);
}

std::string_view FindValue(const NameValues& values, std::string_view name) {
    for (const auto& [key, value] : values) {
        if (key == name) return value;
    }
    return {};
}

bool HasValue(const NameValues& values, std::string_view name) {
    for (const auto& entry : values) {
        if (entry.first == name) return true;
    }
    return false;
}

NameValues ParseCookies(std::string_view header) {
    NameValues cookies;
    while (!header.empty()) {
        std::size_t semi = header.find(';');
        std::string_view pair = header.substr(0, semi);
        header = semi == std::string_view::npos ? std::string_view() : header.substr(semi + 1);
        while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
        std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        cookies.emplace_back(std::string(pair.substr(0, eq)), std::string(pair.substr(eq + 1)));
    }
    return cookies;
}

std::string PhpTrim(std::string_view text) {
    constexpr std::string_view kBlanks(" \t\n\r\v\0", 6);
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace sandbox
