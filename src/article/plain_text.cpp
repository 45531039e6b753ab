#include "article/plain_text.h"

#include <array>

#include "article/html_entities.h"
#include "article/regex_wrapper.h"
#include "core/charset.h"
#include "core/gbk_text.h"

namespace {

// Each occurrence (ASCII case ignored) becomes `to`.
std::string ReplaceNoCase(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    for (auto hit = gbk::FindNoCase(text, from); hit != std::string_view::npos;
         hit = gbk::FindNoCase(text, from, start)) {
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

const RegexWrapper& Blanks() {
    thread_local const RegexWrapper regex(charset::Utf8ToGbk("\\s|　"));
    return regex;
}

}  // namespace

std::string PlainText(std::string_view body) {
    std::string text = BreakBeforeBlocks(std::string(gbk::UntilZero(body)));
    text = ShieldComparisons(std::move(text));
    text = Tags().Replace(text, "");
    text = DecodeHtmlEntities(text);
    text = Links().Replace(text, "");
    return Blanks().Replace(text, "");
}
