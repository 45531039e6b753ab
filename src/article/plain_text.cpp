#include "article/plain_text.h"

#include <algorithm>
#include <array>

#include "article/html_entities.h"
#include "article/regex_wrapper.h"
#include "core/charset.h"
#include "core/gbk_text.h"

namespace {

// Position of `needle` (non-empty) at or after `from`, ASCII case ignored; npos when absent.
std::size_t FindMarker(std::string_view text, std::string_view needle, std::size_t from) {
    const char first = gbk::AsciiLower(needle[0]);
    for (std::size_t pos = from; pos + needle.size() <= text.size(); ++pos) {
        if (gbk::AsciiLower(text[pos]) != first) continue;
        if (std::equal(needle.begin() + 1, needle.end(),
                       text.begin() + static_cast<std::ptrdiff_t>(pos) + 1,
                       [](char a, char b) { return gbk::AsciiLower(a) == gbk::AsciiLower(b); }))
            return pos;
    }
    return std::string_view::npos;
}

// Each occurrence (ASCII case ignored) becomes `to`.
std::string ReplaceNoCase(std::string_view text, std::string_view from, std::string_view to) {
    std::size_t hit = FindMarker(text, from, 0);
    if (hit == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    for (; hit != std::string_view::npos; hit = FindMarker(text, from, start)) {
        out.append(text, start, hit - start).append(to);
        start = hit + from.size();
    }
    out.append(text, start);
    return out;
}

// Line breaks where paragraphs and breaks were, so the words on both sides stay apart
// until the white space goes.
std::string BreakBeforeBlocks(std::string text) {
    static constexpr std::array<std::string_view, 6> kBlocks = {"<p",     "</p>",  "<br>",
                                                                "</ br>", "</br>", "<br />"};
    for (const auto block : kBlocks)
        text = ReplaceNoCase(text, block, std::string("\r\n").append(block));
    return text;
}

// "Width>3" in running text is a comparison, not the end of a tag: the sign becomes its
// full-width form so the tag removal leaves it alone.
std::string ShieldComparisons(std::string text) {
    static const std::string kGreater = charset::Utf8ToGbk("＞");
    static const std::string kLess = charset::Utf8ToGbk("＜");
    for (const std::string_view word : {"Width", "Height"}) {
        text = ReplaceNoCase(text, std::string(word) + ">", std::string(word) + kGreater);
        text = ReplaceNoCase(text, std::string(word) + "<", std::string(word) + kLess);
    }
    return text;
}

// The expressions are compiled once per thread: site jobs build excerpts on their own
// threads at the same time.
const RegexWrapper& Tags() {
    thread_local const RegexWrapper regex("<[\\s\\S]+?>");
    return regex;
}

const RegexWrapper& Links() {
    // [a-zA-z] as it always was: the range also takes the six signs between Z and a.
    thread_local const RegexWrapper regex("([a-zA-z]+://|www.)[^\\u4e00-\\u9fa5\\s'<>\"]+");
    return regex;
}

// Deletes what "\s|　" matches: ASCII white space (space, tab, LF, VT, FF, CR) and the
// full-width space A1 A1. Done by hand because the alternation defeats the regex engine's
// start-character search, making this the slowest step for a long body. A lead byte takes
// the next byte only when that is a valid trail byte, as the regex conversion reads it.
std::string WithoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x81 && c <= 0xFE && pos + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[pos + 1]);
            if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
                if (c != 0xA1 || trail != 0xA1) out.append(text, pos, 2);
                pos += 2;
                continue;
            }
        }
        if (c != ' ' && (c < '\t' || c > '\r')) out.push_back(static_cast<char>(c));
        ++pos;
    }
    return out;
}

}  // namespace

std::string PlainText(std::string_view body) {
    std::string text = BreakBeforeBlocks(std::string(gbk::UntilZero(body)));
    text = ShieldComparisons(std::move(text));
    text = Tags().Replace(text, "");
    text = DecodeHtmlEntities(text);
    text = Links().Replace(text, "");
    return WithoutBlanks(text);
}
