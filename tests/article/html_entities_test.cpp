#include "article/html_entities.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/charset.h"

namespace {

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

TEST(DecodeHtmlEntities, NamedAndNumeric) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"&amp;lt;", "<"},  // row 1 first, then row 7 over the whole text
        {"&amp;amp;", "&amp;"},
        {"&NBSP;x&AMP;", " x&"},
        {"&Prime;&prime;", G("′′")},  // row 17 takes both
        {"a&ndash;b&mdash;&ldquo;q&rdquo;&hellip;&times;&divide;&middot;", G("a–b—“q”…×÷·")},
        {"&sim;&ne;&le;&ge;&oplus;&perp;&there4;&rarr;", G("～≠≤≥⊕⊥∴→")},
        {"&#20013;&#x4E2D;&#X4e2d;&#65;", G("中中中A")},
        // The characters are inserted as their two-byte GBK forms.
        {"&mdash;&middot;&ndash;&sim;&oplus;", "\xA1\xAA\xA1\xA4\xA8\x43\xA1\xAB\xA8\x92"},
        {"&amp;#65;", "A"},
        {"x &#65 y", "x &#65 y"},  // no ";" after it
        {"&unknown; &amp", "&unknown; &amp"},
        {"no entities", "no entities"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeHtmlEntities(c.in), c.out) << c.in;
}

TEST(DecodeHtmlEntities, OddNumericReferences) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        // Huge numbers, zero, surrogates and code points GBK lacks become "?", never a
        // zero byte that would end the text.
        {"a&#99999999999999999999999;b", "a?b"},
        {"a&#xFFFFFFFFFFFFFFFFFFFF;b", "a?b"},
        {"a&#0;b", "a?b"},
        {"a&#xD800;b", "a?b"},
        {"a&#x1F600;b", "a?b"},
        // Not a number: left as it is, and a far-away ";" does not swallow the text between.
        {"&#; &#x; &#abc;", "&#; &#x; &#abc;"},
        {"Q&#A: see section 2; end", "Q&#A: see section 2; end"},
        {"&#&#65;", "&#A"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeHtmlEntities(c.in), c.out) << c.in;
}

}  // namespace

namespace {

// Random mixes of entity fragments: never a zero byte, and nothing grows out of bounds.
TEST(DecodeHtmlEntities, FragmentSoupStaysSane) {
    const char* pieces[] = {"&", "#", "x", ";", "amp", "lt", "0", "9", "F", "&#", "nbsp", "a"};
    std::uint32_t seed = 7;
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int i = 0; i < round % 40; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += pieces[(seed >> 16) % 12];
        }
        const std::string out = DecodeHtmlEntities(text);
        EXPECT_EQ(out.find('\0'), std::string::npos) << text;
        EXPECT_LE(out.size(), text.size()) << text;  // every reference is longer than its character
    }
}

}  // namespace
