#include "article/html_tag_finder.h"

#include "article/blank_trim.h"
#include "article/text_markers.h"
#include "core/charset.h"
#include "core/gbk_text.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// "=" with up to ten blanks (ASCII white space or U+3000) on either side.
const std::string& EqualsSpacingPattern() {
    static const std::string pattern =
        charset::Utf8ToGbk("[\\s\xE3\x80\x80]{0,10}=[\\s\xE3\x80\x80]{0,10}");
    return pattern;
}

std::string Between(std::string_view text, const std::string& left, std::string_view right) {
    std::int64_t position = 0;
    return TextBetween(text, left, right, position);
}

// Position of the next "<" + tag followed by a non-alphanumeric character, at or after from.
std::size_t FindStartTag(std::string_view html, std::string_view opener, std::size_t from) {
    while (true) {
        const std::size_t hit = gbk::FindNoCase(html, opener, from);
        if (hit == kNone) return kNone;
        const std::size_t after = hit + opener.size();
        if (after < html.size() && !IsAsciiAlnum(html[after])) return hit;
        from = hit + 1;
    }
}

bool MeetsFilter(std::string_view startTag, const std::string& name, const std::string& value,
                 bool partialValue) {
    if (value.empty()) return gbk::FindNoCase(startTag, " " + name + "=") != kNone;
    const std::string readings[] = {
        Between(startTag, name + "=\"", "\""),
        Between(startTag, name + "='", "'"),
        Between(startTag, name + "=", " "),
        Between(startTag, name + "=", ">"),
    };
    for (const auto& reading : readings) {
        if (partialValue ? reading.find(value) != kNone : reading == value) return true;
    }
    return false;
}

bool MeetsFilters(std::string_view startTag, const std::vector<std::string>& names,
                  const std::vector<std::string>& values, bool partialValue, bool allFilters) {
    if (names.empty()) return true;
    static const std::string noValue;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool met =
            MeetsFilter(startTag, names[i], i < values.size() ? values[i] : noValue, partialValue);
        if (met && !allFilters) return true;
        if (!met && allFilters) return false;
    }
    return allFilters;
}

// Offset of the end tag that closes the element whose start tag ends just before `from`,
// counting nested start and end tags of the same name; kNone when it is never closed.
// Each search resumes where the last one stopped, so a long page is walked once.
std::size_t FindMatchingEnd(std::string_view html, std::string_view opener, std::string_view closer,
                            std::size_t from) {
    std::size_t depth = 1;
    std::size_t nextOpen = FindStartTag(html, opener, from);
    std::size_t nextClose = gbk::FindNoCase(html, closer, from);
    while (nextClose != kNone) {
        if (nextOpen != kNone && nextOpen < nextClose) {
            ++depth;
            nextOpen = FindStartTag(html, opener, nextOpen + opener.size());
            continue;
        }
        if (--depth == 0) return nextClose;
        nextClose = gbk::FindNoCase(html, closer, nextClose + closer.size());
    }
    return kNone;
}

std::string Unquoted(std::string reading) {
    if (!reading.empty() && (reading.front() == '"' || reading.front() == '\'')) reading.clear();
    return reading;
}

}  // namespace

HtmlTagFinder::HtmlTagFinder() : m_equalsSpacing(EqualsSpacingPattern()) {}

std::string HtmlTagFinder::FindElement(std::string_view html, std::string_view tag,
                                       const std::vector<std::string>& attrNames,
                                       const std::vector<std::string>& attrValues,
                                       bool partialValue, bool allFilters, std::int32_t occurrence,
                                       bool inner, bool keepSpacing) {
    if (tag.empty()) return {};
    // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "<" + string.
    std::string opener(1, '<');
    opener.append(tag);
    std::string closer("</");
    closer.append(tag).push_back('>');
    const std::int32_t wanted = occurrence < 1 ? 1 : occurrence;
    std::int32_t seen = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t start = FindStartTag(html, opener, from);
        if (start == kNone) return {};
        const std::size_t close = html.find('>', start);
        // A start tag that never ends (a "<body" without ">") is no element.
        if (close == kNone) return {};
        const std::size_t startEnd = close + 1;
        const std::string_view startTag = html.substr(start, startEnd - start);
        from = startEnd;
        if (!MeetsFilters(startTag, attrNames, attrValues, partialValue, allFilters)) continue;
        if (++seen < wanted) continue;

        std::string result;
        const std::size_t end =
            html[close - 1] == '/' ? kNone : FindMatchingEnd(html, opener, closer, startEnd);
        if (end == kNone) {
            if (!inner) result = std::string(startTag);
        } else if (inner) {
            result = std::string(html.substr(startEnd, end - startEnd));
        } else {
            result = std::string(html.substr(start, end + closer.size() - start));
        }
        if (!keepSpacing && !result.empty()) result = m_equalsSpacing.Replace(result, "=");
        return result;
    }
}

std::string HtmlTagFinder::AttributeValue(std::string_view startTag, std::string_view name) const {
    for (const std::string prefix : {" ", ""}) {
        const std::string key = prefix + std::string(name) + "=";
        std::string value = Between(startTag, key + "\"", "\"");
        if (value.empty()) value = Between(startTag, key + "'", "'");
        if (value.empty()) {
            // A reading that starts with a quote is an empty quoted value, not a bare one.
            const std::string toSpace = Unquoted(Between(startTag, key, " "));
            const std::string toClose = Unquoted(Between(startTag, key, ">"));
            if (toSpace.empty()) {
                value = toClose;
            } else if (toClose.empty()) {
                value = toSpace;
            } else {
                value = toSpace.size() <= toClose.size() ? toSpace : toClose;
            }
        }
        if (!value.empty()) return TrimBlanks(value);
    }
    return {};
}
