#include "core/gbk_text.h"

#include <algorithm>

namespace gbk {

std::size_t CharLength(std::string_view text, std::size_t pos, bool crlfAsOne) {
    if (pos >= text.size()) return 0;
    const auto c = static_cast<unsigned char>(text[pos]);
    if (IsLeadByte(c)) return pos + 1 < text.size() ? 2 : 1;
    if (crlfAsOne && c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return 2;
    return 1;
}

std::size_t CountChars(std::string_view text, bool crlfAsOne) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos, crlfAsOne)) ++n;
    return n;
}

std::size_t PrefixBytes(std::string_view text, std::size_t chars, bool crlfAsOne) {
    std::size_t pos = 0;
    for (; chars > 0 && pos < text.size(); --chars) pos += CharLength(text, pos, crlfAsOne);
    return pos;
}

std::string_view Left(std::string_view text, std::size_t chars, bool crlfAsOne) {
    return text.substr(0, PrefixBytes(text, chars, crlfAsOne));
}

std::string_view UntilZero(std::string_view text) {
    const auto zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    if (from.empty()) return std::string(text);
    out.reserve(text.size());
    std::size_t start = 0;
    for (auto hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, start)) {
        out.append(text, start, hit - start).append(to);
        start = hit + from.size();
    }
    out.append(text, start);
    return out;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (auto& c : out) c = AsciiLower(c);
    return out;
}

std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from) {
    if (from > hay.size()) return std::string_view::npos;
    if (needle.empty()) return from;
    const auto it =
        std::search(hay.begin() + static_cast<std::ptrdiff_t>(from), hay.end(), needle.begin(),
                    needle.end(), [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
    return it == hay.end() ? std::string_view::npos : static_cast<std::size_t>(it - hay.begin());
}

}  // namespace gbk
