#include "article/regex_wrapper.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/charset.h"

namespace {

std::string G(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

TEST(RegexWrapper, FlagsAndGlobal) {
    RegexWrapper all("ab");
    EXPECT_EQ(all.Execute("xABxabx").size(), 2u);
    EXPECT_EQ(all.MatchValue(0), "AB");
    EXPECT_EQ(all.Matches()[1].firstByte, 4u);
    EXPECT_EQ(all.MatchValue(5), "");

    RegexWrapper first("ab", true, true, false);
    EXPECT_EQ(first.Execute("xABxabx").size(), 1u);

    RegexWrapper caseSensitive("ab", false, true, true);
    EXPECT_EQ(caseSensitive.Execute("xABxabx").size(), 1u);
    EXPECT_EQ(caseSensitive.Matches()[0].firstByte, 4u);

    RegexWrapper lines("^b$");
    EXPECT_EQ(lines.Execute("a\nb\nc").size(), 1u);
    RegexWrapper oneLine("^b$", true, false, true);
    EXPECT_EQ(oneLine.Execute("a\nb\nc").size(), 0u);
    EXPECT_FALSE(oneLine.Test("b\n"));  // "$" is the very end, as in script engines
}

TEST(RegexWrapper, GbkOffsetsAndValues) {
    const std::string text = G("春天的笔记，春天");
    RegexWrapper re(G("春(天)"));
    const auto& matches = re.Execute(text);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].firstByte, 0u);
    EXPECT_EQ(matches[0].value, G("春天"));
    EXPECT_EQ(matches[0].submatches, std::vector<std::string>{G("天")});
    EXPECT_EQ(matches[1].firstByte, G("春天的笔记，").size());
}

TEST(RegexWrapper, JavaScriptEscapesAndUnicodeClasses) {
    // \u3000 is the full-width space; "[\s\u3000]" is how callers spell "any blank".
    RegexWrapper re("[\\s\\u3000]{0,10}=[\\s\\u3000]{0,10}");
    EXPECT_EQ(re.Replace(G("a \xE3\x80\x80= \tb"), "="), "a=b");
    RegexWrapper han("[\\u4e00-\\u9fa5]+");
    EXPECT_EQ(han.Execute(G("ab中文cd")).size(), 1u);
    EXPECT_EQ(han.MatchValue(0), G("中文"));
    RegexWrapper dot(".", true, true, true);
    EXPECT_EQ(dot.Execute(G("中a")).size(), 2u);  // a character, not a byte
}

TEST(RegexWrapper, InvalidGbkBytesKeepTheirPlace) {
    // A lone lead byte, 0x80, 0xFF and a cut-off lead at the end must not shift offsets.
    const std::string text = std::string("a\x81") + "b\x80x\xFFy" + G("中") + "z\xB0";
    RegexWrapper re("[a-z]");
    const auto& matches = re.Execute(text);
    ASSERT_EQ(matches.size(), 4u);  // a, x, y, z ("\x81b" is one invalid pair or b)
    for (const auto& m : matches) EXPECT_EQ(text.substr(m.firstByte, 1), m.value);
    EXPECT_EQ(re.Replace(text, "_").size(), text.size());
}

TEST(RegexWrapper, FourByteGb18030Characters) {
    const std::string emoji = charset::Utf8ToGbk("\xF0\x9F\x98\x80");  // U+1F600
    ASSERT_EQ(emoji.size(), 4u);
    const std::string text = "a" + emoji + "b";
    RegexWrapper re("b");
    ASSERT_EQ(re.Execute(text).size(), 1u);
    EXPECT_EQ(re.Matches()[0].firstByte, 5u);
    RegexWrapper any("^.(.).$", true, true, true);
    ASSERT_EQ(any.Execute(text).size(), 1u);
    EXPECT_EQ(any.Submatches(0)[0], emoji);
}

TEST(RegexWrapper, Replacements) {
    struct Case {
        const char* pattern;
        bool global;
        const char* text;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"(a)(b)", true, "abab", "$2$1", "baba"}, {"(a)(b)", false, "abab", "$2$1", "baab"},
        {"a", true, "aa", "[$&]", "[a][a]"},      {"a", true, "a", "$$", "$"},
        {"(a)", true, "a", "$10", "a0"},       // no group 10: group 1 then "0"
        {"(a)", true, "a", "$2", "$2"},        // no such group: literal
        {"(a)|(b)", true, "b", "<$1>", "<>"},  // a group that took no part
        {"x*", true, "ab", "-", "-a-b-"},      // empty matches advance one character
        {"b", true, "abc", "$", "a$c"},
    };
    for (const auto& c : cases) {
        RegexWrapper re(c.pattern, true, true, c.global);
        EXPECT_EQ(re.Replace(c.text, c.replacement), c.expected) << c.pattern << " " << c.text;
    }
    RegexWrapper han(G("(中)"));
    EXPECT_EQ(han.Replace(G("中文中"), G("[$1]")), G("[中]文[中]"));
}

TEST(RegexWrapper, InvalidPatternsMatchNothing) {
    for (const char* pattern : {"(", "[a-", "a{2,1}", "*a", "(?<", "\\", "a)"}) {
        RegexWrapper re(pattern);
        EXPECT_FALSE(re.IsValid()) << pattern;
        EXPECT_TRUE(re.Execute("a(b[c").empty()) << pattern;
        EXPECT_FALSE(re.Test("a(b[c")) << pattern;
        EXPECT_EQ(re.Replace("a(b", "x"), "a(b") << pattern;
    }
    RegexWrapper empty;
    EXPECT_FALSE(empty.IsValid());
    EXPECT_TRUE(empty.Execute("abc").empty());
    RegexWrapper re("a");
    EXPECT_FALSE(re.Compile("("));
    EXPECT_EQ(re.Replace("a", "b"), "a");  // the old expression is gone too
}

TEST(RegexWrapper, CatastrophicBacktrackingEndsWithoutMatch) {
    const std::string text = std::string(5000, 'a') + "!";
    for (const char* pattern :
         {"(a+)+$", "(a|aa)+$", "(a*)*b", "((a+)+)+c", "(.*a){12}x", "^(\\w+\\s?)*$", "(a+a+)+y"}) {
        const auto start = std::chrono::steady_clock::now();
        RegexWrapper re(pattern, true, false, true);
        EXPECT_TRUE(re.IsValid()) << pattern;
        EXPECT_TRUE(re.Execute(text).empty()) << pattern;
        EXPECT_EQ(re.Replace(text, "x"), text) << pattern;
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        // Not a speed goal: only a guard that the limits are in force at all.
        EXPECT_LT(seconds.count(), 60.0) << pattern;
    }
}

TEST(RegexWrapper, HitLimitIsReportedAndReset) {
    RegexWrapper re("(a|aa)+$", true, false, true);
    EXPECT_TRUE(re.Execute(std::string(5000, 'a') + "!").empty());
    EXPECT_TRUE(re.HitLimit());
    EXPECT_TRUE(re.Test("aaa"));
    EXPECT_FALSE(re.HitLimit());
}

TEST(RegexWrapper, LongTextsAreNotCutShortByTheLimits) {
    // Limits guard against runaway patterns, not against long ordinary texts.
    std::string text(8u << 20, ' ');
    text += "a =  b";
    RegexWrapper spacing("[\\s\\u3000]{0,10}=[\\s\\u3000]{0,10}");
    const std::string out = spacing.Replace(text, "=");
    EXPECT_EQ(out.size(), text.size() - 3);
    EXPECT_EQ(out.substr(out.size() - 3), "a=b");
    RegexWrapper lazy("<p>([\\s\\S]*?)</p>");
    const std::string page = "<p>" + std::string(4u << 20, 'x') + "</p><p>y</p>";
    ASSERT_EQ(lazy.Execute(page).size(), 2u);
    EXPECT_EQ(lazy.Submatches(1)[0], "y");
}

TEST(RegexWrapper, WildcardToRegex) {
    struct Case {
        const char* filter;
        const char* expected;
    };
    const Case cases[] = {
        {"*.txt", ".*\\.txt"},
        {"a?.txt", "a.?\\.txt"},
        {"*.txt|*.htm", ".*\\.txt|.*\\.htm"},
        {"\\^$+.{}[]=()-\"", "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\-\\\""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(WildcardToRegex(c.filter), c.expected) << c.filter;
    // A GBK trail byte that looks like "\" or "[" stays inside its character.
    const std::string trail = "\x81\x5C\x81\x5B";
    EXPECT_EQ(WildcardToRegex(trail), trail);
}

TEST(RegexWrapper, HostileFiltersCompileAndMatchSafely) {
    std::string metachars = "\\^$+.{}[]=()-\"*?|/!#%&',;:<>@`~";
    std::string longFilter;
    for (int i = 0; i < 1000; ++i) longFilter += "*a?b*c(d)";  // 9,000 characters
    longFilter += std::string(1000, '*');
    for (const std::string& filter :
         {metachars, longFilter, std::string("*|*|"), std::string("|")}) {
        RegexWrapper re(WildcardToRegex(filter), true, true, false);
        EXPECT_TRUE(re.IsValid()) << filter.substr(0, 40);
        re.Execute("some name.txt");  // must return, whatever it finds
    }
    RegexWrapper meta(WildcardToRegex(metachars), true, true, false);
    EXPECT_EQ(meta.Execute(metachars + "x").size(), 1u);
    EXPECT_EQ(meta.MatchValue(0), metachars + "x");
}

TEST(RegexWrapper, MoveKeepsTheExpression) {
    RegexWrapper a("b");
    RegexWrapper b(std::move(a));
    EXPECT_TRUE(b.Test("abc"));
    RegexWrapper c;
    c = std::move(b);
    EXPECT_EQ(c.Replace("abc", "x"), "axc");
}

}  // namespace
