#include "article/text_markers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextBetween, FindsAndMovesThePosition) {
    const std::string text = "abc[#5#]def";
    std::int64_t pos = 0;
    EXPECT_EQ(TextBetween(text, "[#", "#]", pos), "5");
    EXPECT_EQ(pos, 9);  // 1-based index just after "#]"
    pos = 1;
    EXPECT_EQ(TextBetween(text, "#]", "", pos), "def");
    EXPECT_EQ(TextBetween(text, "#]", "", pos), "");
    EXPECT_EQ(pos, -2);
    EXPECT_EQ(TextBetween(text, "[#", "#]", pos), "");  // -2 gives nothing at once
    pos = 0;
    EXPECT_EQ(TextBetween(text, "", "[#", pos), "abc");  // empty left: the start
    pos = 0;
    EXPECT_EQ(TextBetween(text, "", "", pos), text);
}

TEST(TextBetween, WalksAllOccurrencesIgnoringCase) {
    const std::string text = "<LI>one</li><li>two</LI><li>three";
    std::vector<std::string> found;
    std::int64_t pos = 0;
    for (int guard = 0; guard < 10; ++guard) {
        std::string item = TextBetween(text, "<li>", "</li>", pos);
        if (pos == -2) break;
        found.push_back(item);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"one", "two"}));
    // An empty left marker is the start of the text, so a moved position misses it.
    pos = 5;
    EXPECT_EQ(TextBetween(text, "", "</li>", pos), "");
    EXPECT_EQ(pos, -2);
    pos = 1000;
    EXPECT_EQ(TextBetween(text, "<li>", "</li>", pos), "");
    EXPECT_EQ(pos, -2);
}

TEST(TextBetween, QuoteRuleAndSecondPass) {
    std::int64_t pos = 0;
    EXPECT_EQ(TextBetween("<a href=\"x.htm\">", "href=''", "''", pos), "x.htm");
    pos = 0;
    // Literal markers keep their apostrophes.
    EXPECT_EQ(TextBetween("<a href=''y''>", "href=''", "''", pos, true), "y");
    pos = 0;
    // No quotes in the text: the second pass searches without them.
    EXPECT_EQ(TextBetween("<a href=abc>", "href=''", ">", pos), "abc");
    EXPECT_EQ(pos, 13);
    pos = 0;
    // A marker made only of quotes has nothing left for the second pass.
    EXPECT_EQ(TextBetween("<a href=abc>", "''", ">", pos), "");
    EXPECT_EQ(pos, -2);
}

TEST(ContainsAny, AlternativesQuotesAndCase) {
    struct Case {
        const char* text;
        const char* alternatives;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"<meta charset=\"UTF-8\">", "charset=UTF-8[fg]charset=''utf-8''", true},
        {"<meta Charset='utf-8'>", "charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'", true},
        {"<meta charset = utf-8>", "charset=UTF-8[fg]charset=''UTF-8''", false},
        {"abc", "", false},
        {"abc", "[fg][fg]", false},
        {"abc", "x[fg]B", true},
        {"", "a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainsAny(c.text, c.alternatives), c.expected)
            << c.text << " / " << c.alternatives;
}

}  // namespace
