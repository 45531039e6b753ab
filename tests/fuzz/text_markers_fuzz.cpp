// Marker searches over page and article text: TextBetween walks and ContainsAny, checked
// against a plain byte-by-byte search, since the fast search's skip table is where an
// off-by-one would hide. Input: flags byte, then text, left, right and alternatives.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "article/text_markers.h"
#include "core/gbk_text.h"
#include "fuzz_input.h"

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::size_t PlainFind(std::string_view hay, std::string_view needle, std::size_t from) {
    if (from > hay.size()) return std::string_view::npos;
    for (std::size_t pos = from; pos + needle.size() <= hay.size(); ++pos) {
        std::size_t i = 0;
        while (i < needle.size() && Fold(hay[pos + i]) == Fold(needle[i])) ++i;
        if (i == needle.size()) return pos;
    }
    return std::string_view::npos;
}

// One search of a TextBetween step by plain search; false when nothing is found.
bool PlainSearch(std::string_view text, std::string_view left, std::string_view right,
                  std::int64_t& position, std::string& out) {
    const std::size_t from = position <= 1 ? 0 : static_cast<std::size_t>(position - 1);
    std::size_t start = 0;
    if (left.empty()) {
        if (from != 0) return false;
    } else {
        const std::size_t hit = PlainFind(text, left, from);
        if (hit == std::string_view::npos) return false;
        start = hit + left.size();
    }
    if (right.empty()) {
        out = std::string(text.substr(start));
        position = static_cast<std::int64_t>(text.size()) + 2;
        return true;
    }
    const std::size_t end = PlainFind(text, right, start);
    if (end == std::string_view::npos) return false;
    out = std::string(text.substr(start, end - start));
    position = static_cast<std::int64_t>(end + right.size()) + 1;
    return true;
}

std::string WithoutQuotes(std::string_view marker) {
    std::string out;
    for (const char c : marker)
        if (c != '"') out.push_back(c);
    return out;
}

// One literal TextBetween step: when the markers hold double quotes and the first search
// fails, a second one runs without them, unless that leaves a marker empty.
bool PlainBetween(std::string_view text, std::string_view left, std::string_view right,
                  std::int64_t& position, std::string& out) {
    if (PlainSearch(text, left, right, position, out)) return true;
    const std::string bareLeft = WithoutQuotes(left);
    const std::string bareRight = WithoutQuotes(right);
    if (bareLeft.size() == left.size() && bareRight.size() == right.size()) return false;
    if ((bareLeft.empty() && !left.empty()) || (bareRight.empty() && !right.empty())) return false;
    return PlainSearch(text, bareLeft, bareRight, position, out);
}

bool PlainContainsAny(std::string_view text, std::string_view alternatives) {
    const std::string list = ApplyQuoteRule(alternatives);
    const std::string_view all(list);
    for (std::size_t start = 0;;) {
        const std::size_t end = all.find("[fg]", start);
        const std::string_view item =
            all.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!item.empty() && PlainFind(text, item, 0) != std::string_view::npos) return true;
        if (end == std::string_view::npos) return false;
        start = end + 4;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    const auto parts = fuzz::SplitParts(input.rest, 4);
    const std::string_view text = parts[0];
    const std::string_view left = parts[1];
    const std::string_view right = parts[2];

    // A literal walk over every occurrence, step by step against the plain search.
    std::int64_t position = input.flags >> 1;
    std::int64_t plainPosition = position;
    for (std::size_t steps = 0;; ++steps) {
        fuzz::Check(steps <= text.size() + 2, "a walk ends");
        std::string plain;
        const bool found = PlainBetween(text, left, right, plainPosition, plain);
        const std::string got = TextBetween(text, left, right, position, true);
        if (!found) {
            fuzz::Check(position == -2 && got.empty(), "a failed search ends the walk");
            break;
        }
        fuzz::Check(got == plain, "the text between the markers");
        fuzz::Check(position == plainPosition, "the walk resumes after the right marker");
    }

    // The quote rule and its second, quote-free search.
    std::int64_t quoted = input.Bit(0) ? 0 : 3;
    const std::string between = TextBetween(text, left, right, quoted);
    fuzz::Check(quoted == -2 || quoted >= 1, "a position is -2 or 1-based");
    if (quoted == -2) fuzz::Check(between.empty(), "nothing found gives the empty text");

    fuzz::Check(ContainsAny(text, parts[3]) == PlainContainsAny(text, parts[3]),
                "ContainsAny finds what a plain search finds");
    return 0;
}
