// Elements and attribute values found in a page, as the article body and the login form
// token are. Input: flags byte, then html, tag, and up to two attribute filters (name,
// value) as parts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "article/html_tag_finder.h"
#include "core/gbk_text.h"
#include "fuzz_input.h"

namespace {

bool PlainName(std::string_view name) {
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static HtmlTagFinder finder;
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    const auto parts = fuzz::SplitParts(input.rest, 6);
    const std::string_view html = parts[0];
    const std::string_view tag = parts[1];
    std::vector<std::string> names;
    std::vector<std::string> values;
    for (std::size_t i = 2; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) continue;
        names.emplace_back(parts[i]);
        values.emplace_back(parts[i + 1]);
    }
    const bool partialValue = input.Bit(0);
    const bool allFilters = input.Bit(1);
    const bool inner = input.Bit(2);
    const bool keepSpacing = input.Bit(3);
    const std::int32_t occurrence = (input.flags >> 4) & 3;

    const std::string element = finder.FindElement(html, tag, names, values, partialValue,
                                                   allFilters, occurrence, inner, keepSpacing);
    if (keepSpacing && !element.empty()) {
        fuzz::Check(html.find(element) != std::string_view::npos,
                    "an element kept as it is appears in the page");
        // Callers name plain tags; a "tag" holding ">" ends its own start tag early.
        if (!inner && PlainName(tag))
            fuzz::Check(gbk::FindNoCase(element, "<" + std::string(tag)) == 0,
                        "an element starts with its start tag");
    }
    const std::string startTag = element.substr(0, element.find('>') + 1);
    for (const std::string& name : names) (void)finder.AttributeValue(startTag, name);
    (void)finder.AttributeValue(html, tag);
    return 0;
}
