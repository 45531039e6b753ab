#include "article/text_markers.h"

#include <array>
#include <cstring>

#include "core/gbk_text.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

unsigned char Fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Case-insensitive search (ASCII letters only) with a Horspool skip table: marker
// searches run over whole downloaded pages and article files, so a naive scan per byte
// would dominate the decoding time.
std::size_t FindFolded(std::string_view hay, std::string_view needle, std::size_t from) {
    if (from > hay.size()) return kNone;
    const std::size_t m = needle.size();
    if (m == 0) return from;
    if (hay.size() - from < m) return kNone;
    std::array<std::size_t, 256> skip;
    skip.fill(m);
    std::string folded(m, '\0');
    for (std::size_t i = 0; i < m; ++i) folded[i] = static_cast<char>(Fold(needle[i]));
    for (std::size_t i = 0; i + 1 < m; ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        skip[c] = m - 1 - i;
        if (c >= 'a' && c <= 'z') skip[c - 32] = m - 1 - i;
    }
    const auto* text = reinterpret_cast<const unsigned char*>(hay.data());
    const auto* pattern = reinterpret_cast<const unsigned char*>(folded.data());
    const unsigned char last = pattern[m - 1];
    for (std::size_t pos = from; pos + m <= hay.size(); pos += skip[text[pos + m - 1]]) {
        if (Fold(text[pos + m - 1]) != last) continue;
        std::size_t i = 0;
        while (i + 1 < m && Fold(text[pos + i]) == pattern[i]) ++i;
        if (i + 1 == m) return pos;
    }
    return kNone;
}

std::string WithoutQuotes(std::string_view marker) {
    std::string out;
    out.reserve(marker.size());
    for (char c : marker)
        if (c != '"') out.push_back(c);
    return out;
}

// One search from the 0-based byte offset `from`. An empty left marker stands for the
// start of the text, so it is found only when the search starts there; an empty right
// marker stands for the end. On success `next` is the 0-based offset after the right
// marker (one past the end of the text for an empty right marker, as if a tail sentinel
// had been matched there).
bool FindBetween(std::string_view text, std::string_view left, std::string_view right,
                 std::size_t from, std::string& out, std::size_t& next) {
    std::size_t start;
    if (left.empty()) {
        if (from != 0) return false;
        start = 0;
    } else {
        const std::size_t hit = FindFolded(text, left, from);
        if (hit == kNone) return false;
        start = hit + left.size();
    }
    if (right.empty()) {
        out.assign(text.substr(start));
        next = text.size() + 1;
        return true;
    }
    const std::size_t end = FindFolded(text, right, start);
    if (end == kNone) return false;
    out.assign(text.substr(start, end - start));
    next = end + right.size();
    return true;
}

}  // namespace

std::string ApplyQuoteRule(std::string_view marker) {
    if (marker.find("''") == kNone) return std::string(marker);
    return gbk::ReplaceAll(marker, "''", "\"");
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        std::int64_t& position, bool literal) {
    if (position == -2) return {};
    const std::string leftMarker = literal ? std::string(left) : ApplyQuoteRule(left);
    const std::string rightMarker = literal ? std::string(right) : ApplyQuoteRule(right);
    // 1-based in, 0-based inside; 0, 1 and any other value below 1 mean the start.
    const std::size_t from = position <= 1 ? 0 : static_cast<std::size_t>(position - 1);
    std::string out;
    std::size_t next = 0;
    if (FindBetween(text, leftMarker, rightMarker, from, out, next)) {
        position = static_cast<std::int64_t>(next) + 1;
        return out;
    }
    const bool quoted = leftMarker.find('"') != kNone || rightMarker.find('"') != kNone;
    if (quoted) {
        const std::string bareLeft = WithoutQuotes(leftMarker);
        const std::string bareRight = WithoutQuotes(rightMarker);
        // A marker made only of quotes has nothing left to look for.
        const bool emptied = (bareLeft.empty() && !leftMarker.empty()) ||
                             (bareRight.empty() && !rightMarker.empty());
        if (!emptied && FindBetween(text, bareLeft, bareRight, from, out, next)) {
            position = static_cast<std::int64_t>(next) + 1;
            return out;
        }
    }
    position = -2;
    return {};
}

bool ContainsAny(std::string_view text, std::string_view alternatives) {
    const std::string list = ApplyQuoteRule(alternatives);
    const std::string_view all(list);
    constexpr std::string_view kSeparator = "[fg]";
    for (std::size_t start = 0;;) {
        const std::size_t end = all.find(kSeparator, start);
        const std::string_view item = all.substr(start, end == kNone ? kNone : end - start);
        if (!item.empty() && FindFolded(text, item, 0) != kNone) return true;
        if (end == kNone) return false;
        start = end + kSeparator.size();
    }
}
