#include "article/html_entities.h"

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "core/charset.h"
#include "core/gbk_text.h"

namespace {

struct NamedEntity {
    std::string_view name;  // between "&" and ";", lower case
    const char* utf8;
};

// Replacement order matters only for "&amp;", whose "&" may start another entity; the
// others produce no "&" and cannot overlap, so rows 2 … 40 are applied in one pass.
constexpr std::array<NamedEntity, 40> kEntities{{
    {"amp", "&"},         {"ndash", "\u2013"}, {"mdash", "\u2014"},  {"ldquo", "\u201C"},
    {"rdquo", "\u201D"},  {"nbsp", " "},       {"lt", "<"},          {"gt", ">"},
    {"quot", "\""},       {"times", "\u00D7"}, {"divide", "\u00F7"}, {"middot", "\u00B7"},
    {"hellip", "\u2026"}, {"lsquo", "\u2018"}, {"rsquo", "\u2019"},  {"permil", "\u2030"},
    {"prime", "\u2032"},  {"prime", "\u2033"}, {"larr", "\u2190"},   {"uarr", "\u2191"},
    {"rarr", "\u2192"},   {"darr", "\u2193"},  {"radic", "\u221A"},  {"prop", "\u221D"},
    {"infin", "\u221E"},  {"ang", "\u2220"},   {"and", "\u2227"},    {"or", "\u2228"},
    {"cap", "\u2229"},    {"cup", "\u222A"},   {"int", "\u222B"},    {"there4", "\u2234"},
    {"sim", "\uFF5E"},    {"asymp", "\u2248"}, {"ne", "\u2260"},     {"equiv", "\u2261"},
    {"le", "\u2264"},     {"ge", "\u2265"},    {"oplus", "\u2295"},  {"perp", "\u22A5"},
}};
constexpr std::size_t kLongestName = 6;

// The entities' characters as in-system bytes, converted once.
const std::array<std::string, kEntities.size()>& EntityBytes() {
    static const auto bytes = [] {
        std::array<std::string, kEntities.size()> out;
        for (std::size_t i = 0; i < kEntities.size(); ++i)
            out[i] = charset::Utf8ToGbk(kEntities[i].utf8);
        return out;
    }();
    return bytes;
}

// The row (1 … 39) of the named entity at text[pos] (which is "&"), ignoring case;
// rows before `firstRow` are not considered.
std::optional<std::size_t> NamedEntityAt(std::string_view text, std::size_t pos,
                                         std::size_t firstRow, std::size_t& length) {
    // Look only as far as the longest name reaches, so a text of lone "&" stays linear.
    const std::size_t near = text.substr(pos + 1, kLongestName + 1).find(';');
    if (near == std::string_view::npos) return std::nullopt;
    const std::size_t semicolon = pos + 1 + near;
    const std::string name = gbk::AsciiLower(text.substr(pos + 1, semicolon - pos - 1));
    for (std::size_t row = firstRow; row < kEntities.size(); ++row) {
        if (kEntities[row].name == name) {
            length = semicolon - pos + 1;
            return row;
        }
    }
    return std::nullopt;
}

// One left-to-right pass replacing the entities of rows firstRow … lastRow.
std::string ReplaceNamed(std::string_view text, std::size_t firstRow, std::size_t lastRow) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t amp = text.find('&'); amp != std::string_view::npos;
         amp = text.find('&', amp + 1)) {
        std::size_t length = 0;
        const auto row = NamedEntityAt(text, amp, firstRow, length);
        if (!row || *row > lastRow) continue;
        out.append(text, start, amp - start).append(EntityBytes()[*row]);
        start = amp + length;
        amp = start - 1;
    }
    out.append(text, start);
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The number of "&#" + body + ";" starting at pos: decimal digits, or x followed by
// hexadecimal digits. Values saturate above U+10FFFF, so any length of digits is safe.
// std::nullopt when the reference is not of that form (it is then left as it is).
std::optional<std::uint32_t> NumericEntityAt(std::string_view text, std::size_t pos,
                                             std::size_t& length) {
    constexpr std::uint32_t kCap = 0x110000;
    std::size_t i = pos + 2;
    std::uint32_t value = 0;
    std::size_t digits = 0;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    for (; i < text.size(); ++i, ++digits) {
        const int d =
            hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) break;
        value = value >= kCap ? kCap : value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
    }
    if (digits == 0 || i >= text.size() || text[i] != ';') return std::nullopt;
    length = i - pos + 1;
    return value >= kCap ? kCap : value;
}

// A code point as in-system text. Zero, surrogates and values beyond Unicode become "?"
// (a zero byte would end the text); characters GBK lacks become "?" too.
std::string CodePointText(std::uint32_t cp) {
    if (cp == 0 || cp >= 0x110000 || (cp >= 0xD800 && cp <= 0xDFFF)) return "?";
    return charset::CodePointToGbk(static_cast<char32_t>(cp), "?");
}

std::string ReplaceNumeric(std::string_view text) {
    // Pages that escape every character repeat a few thousand code points; each
    // conversion sets up a converter, so remember them for this call.
    std::unordered_map<std::uint32_t, std::string> converted;
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t hit = text.find("&#"); hit != std::string_view::npos;
         hit = text.find("&#", hit + 1)) {
        std::size_t length = 0;
        const auto value = NumericEntityAt(text, hit, length);
        if (!value) continue;
        auto known = converted.find(*value);
        if (known == converted.end())
            known = converted.emplace(*value, CodePointText(*value)).first;
        out.append(text, start, hit - start).append(known->second);
        start = hit + length;
        hit = start - 1;
    }
    out.append(text, start);
    return out;
}

}  // namespace

std::string DecodeHtmlEntities(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    const std::string ampersands = ReplaceNamed(text, 0, 0);
    const std::string named = ReplaceNamed(ampersands, 1, kEntities.size() - 1);
    return ReplaceNumeric(named);
}
