#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "article/regex_wrapper.h"

// Finds HTML elements and attribute values in GBK text by plain marker searches, the way
// the article body and the login form token are read. Tag and attribute names are
// matched without regard to ASCII case.
class HtmlTagFinder {
public:
    HtmlTagFinder();

    // The element whose start tag is "<" + tag followed by a character that is neither a
    // letter nor a digit, or "" when there is none.
    // - attrNames/attrValues: parallel filters the start tag must meet (an empty value
    //   asks only that the attribute is present); one met filter is enough unless
    //   allFilters; partialValue lets a reading contain the value instead of equalling it.
    // - occurrence: the n-th start tag that meets the filters (0 and 1: the first).
    // - inner: the content without the element's own start and end tags. An element whose
    //   start tag ends in "/>" or that has no matching end tag is the start tag alone.
    // - keepSpacing: skip tightening every "=" with blanks around it to a bare "=".
    std::string FindElement(std::string_view html, std::string_view tag,
                            const std::vector<std::string>& attrNames = {},
                            const std::vector<std::string>& attrValues = {},
                            bool partialValue = false, bool allFilters = false,
                            std::int32_t occurrence = 0, bool inner = false,
                            bool keepSpacing = false);

    // The value of attribute `name` in one start tag (double-quoted, single-quoted or
    // bare), trimmed of ASCII and full-width spaces; "" when absent.
    std::string AttributeValue(std::string_view startTag, std::string_view name) const;

private:
    RegexWrapper m_equalsSpacing;
};
