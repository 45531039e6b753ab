#include "article/post_metadata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "article/plain_text.h"
#include "core/charset.h"
#include "core/gbk_text.h"

namespace {

std::string G(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string U(std::string_view gbk) {
    return charset::GbkToUtf8(gbk);
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

SiteConfig SiteWithTags(const std::string& tagData, std::int32_t low, std::int32_t high) {
    SiteConfig site;
    site.标签数据 = tagData;
    site.标签数1 = low;
    site.标签数2 = high;
    PrepareTagList(site);
    return site;
}

TEST(PlainText, RemovesTagsEntitiesLinksAndWhiteSpace) {
    struct Case {
        const char* body;
        const char* plain;
    };
    const Case cases[] = {
        {"<p>Hello</p>\r\n<p>world</p>", "Helloworld"},
        {"<P>Hello</P><BR>world<br />!", "Helloworld!"},
        {"a &amp; b&lt;c&gt; &quot;d&quot;", "a&b<c>\"d\""},
        {"中文　全角 空格\t制表\r\n换行", "中文全角空格制表换行"},
        {"访问http://example.com/a?b=1中文", "访问中文"},
        // a link runs on to the first ideograph, white space or quote: the comma goes too
        {"见www.example.org，或 HTTPS://x.y/z 完", "见或完"},
        // a comparison is not a tag end
        {"if Width>3 and height<2 then", "ifWidth＞3andHeight＜2then"},
        {"<img\r\nsrc='a.png'>图", "图"},
        {"<<b>>", ">"},
        {"a<b", "a<b"},
        {"a\vb\fc", "abc"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(U(PlainText(G(c.body))), c.plain) << c.body;
    // a lead byte before a space stands alone: the space goes, the byte stays
    EXPECT_EQ(PlainText("a\x81 b"),
              "a\x81"
              "b");
}

TEST(PlainText, BinaryAndLongInputGiveAResult) {
    std::mt19937 gen(3);
    std::string binary(20'000, '\0');
    for (auto& c : binary) c = static_cast<char>(gen());
    PlainText(binary);
    const std::string unterminated = "<body" + std::string(200'000, 'x');
    EXPECT_EQ(PlainText(unterminated).size(), unterminated.size());
    EXPECT_EQ(PlainText(std::string_view("ab\0<p>cd", 8)),
              "ab");  // texts end at their first zero byte
}

TEST(PrepareTagList, SplitsAtEveryCrLf) {
    struct Case {
        std::string data;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\nc", {"a", "b", "c"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\nb\rc", {"a\nb\rc"}},
    };
    for (const auto& c : cases) {
        SiteConfig site = SiteWithTags(c.data, 1, 1);
        EXPECT_EQ(site.prep.tagLines, c.lines) << c.data;
    }
}

TEST(BuildPostMetadata, ExcerptLengthFollowsTheBounds) {
    const std::string body = G("<p>一二三四五</p>\r\n<p>六七八九十</p>");
    struct Case {
        std::int32_t low, high;
        std::size_t minChars, maxChars;
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {100, 100, 10, 10},  // shorter body: all of it
        {3, 3, 3, 3},
        {-5, -1, 0, 0},  // negative bounds count as 0
        {6, 2, 2, 6},
        {-4, 2, 0, 2},  // reversed bounds are swapped
        {INT_MAX, INT_MAX, 10, 10},
    };
    for (const auto& c : cases) {
        SiteConfig site;
        site.内容摘要数1 = c.low;
        site.内容摘要数2 = c.high;
        for (int attempt = 0; attempt < 20; ++attempt) {
            const std::string excerpt = BuildPostMetadata(site, "t", body).excerpt;
            const std::size_t chars = gbk::CountChars(excerpt);
            EXPECT_GE(chars, c.minChars) << c.low << ' ' << c.high;
            EXPECT_LE(chars, c.maxChars) << c.low << ' ' << c.high;
            EXPECT_EQ(excerpt, gbk::Left(G("一二三四五六七八九十"), chars));
        }
    }
}

TEST(BuildPostMetadata, TagLinesAreUsedOnceBeforeAnyRepeats) {
    SiteConfig site = SiteWithTags("a\r\nb\r\nc", 2, 2);
    std::vector<std::string> drawn;
    for (int article = 0; article < 3; ++article) {
        const auto tags = Split(BuildPostMetadata(site, "t", "b").tags);
        ASSERT_EQ(tags.size(), 2u);
        drawn.insert(drawn.end(), tags.begin(), tags.end());
    }
    // six draws: two full rounds through the three lines
    for (std::size_t round = 0; round < 2; ++round) {
        std::vector<std::string> part(drawn.begin() + 3 * round, drawn.begin() + 3 * round + 3);
        std::sort(part.begin(), part.end());
        EXPECT_EQ(part, (std::vector<std::string>{"a", "b", "c"}));
    }
}

TEST(BuildPostMetadata, TagCountBoundsAreNormalised) {
    struct Case {
        std::int32_t low, high;
        std::size_t minTags, maxTags;
    };
    const Case cases[] = {
        {3, 1, 1, 3}, {0, 0, 0, 0}, {-3, -1, 0, 0}, {-2, 2, 0, 2}, {5, 5, 5, 5},
    };
    for (const auto& c : cases) {
        SiteConfig site = SiteWithTags(G("甲\r\n乙\r\n丙"), c.low, c.high);
        std::set<std::size_t> counts;
        for (int attempt = 0; attempt < 60; ++attempt) {
            const auto tags = Split(BuildPostMetadata(site, "t", "b").tags);
            for (const auto& tag : tags)
                EXPECT_TRUE(tag == G("甲") || tag == G("乙") || tag == G("丙"));
            counts.insert(tags.size());
        }
        EXPECT_EQ(*counts.begin(), c.minTags) << c.low << ' ' << c.high;
        EXPECT_EQ(*counts.rbegin(), c.maxTags) << c.low << ' ' << c.high;
    }
}

TEST(BuildPostMetadata, EmptyTagLinesAddNoLeadingComma) {
    // an empty line drawn first adds nothing; drawn after "x" it leaves "x," as always
    SiteConfig site = SiteWithTags("\r\nx", 2, 2);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string tags = BuildPostMetadata(site, "t", "b").tags;
        EXPECT_TRUE(tags == "x" || tags == "x,") << tags;
    }
    SiteConfig none = SiteWithTags("", 3, 3);
    EXPECT_EQ(BuildPostMetadata(none, "t", "b").tags, "");
}

TEST(BuildPostMetadata, HugeTagBoundIsCapped) {
    SiteConfig site = SiteWithTags("a", INT_MAX, INT_MAX);
    const auto tags = Split(BuildPostMetadata(site, "t", "b").tags);
    EXPECT_EQ(tags.size(), static_cast<std::size_t>(kMaxDrawnTags));
}

TEST(BuildPostMetadata, KeywordsComeFromBodyAndTitle) {
    SiteConfig site = SiteWithTags("unused", 0, 0);
    site.文章中提取标签 = true;
    // bounds 0 and 0: five keywords
    const std::string body = G("<p>经济 社会 文化 教育 科学 历史 经济</p>");
    const auto tags = Split(BuildPostMetadata(site, G("人民"), body).tags);
    ASSERT_EQ(tags.size(), 5u);
    EXPECT_EQ(U(tags[0]), "经济");
    EXPECT_EQ(U(tags[1]), "人民");  // the title follows the body, so it is the latest word
    // fewer distinct words than asked for
    EXPECT_EQ(U(BuildPostMetadata(site, G("人民"), G("经济")).tags), "人民,经济");
    // the title joins the body's last character: 发 + 展
    EXPECT_EQ(U(BuildPostMetadata(site, G("展"), G("。发")).tags), "发展");
    // no dictionary word anywhere
    EXPECT_EQ(BuildPostMetadata(site, "!!", "<p>?</p>").tags, "");
    site.标签数1 = 1;
    site.标签数2 = 1;
    EXPECT_EQ(Split(BuildPostMetadata(site, "", body).tags).size(), 1u);
}

TEST(BuildPostMetadata, AliasComesFromTheAliasRules) {
    SiteConfig site;
    site.别名类型 = 0;
    EXPECT_EQ(BuildPostMetadata(site, G("标题"), "b").alias, "");
    site.别名类型 = 3;
    site.字母数1 = 6;
    site.字母数2 = 6;
    const std::string alias = BuildPostMetadata(site, G("标题"), "b").alias;
    EXPECT_FALSE(alias.empty());
    EXPECT_TRUE(std::all_of(alias.begin(), alias.end(), [](char c) {
        return c >= '0' && c <= '9';
    })) << alias;
}

}  // namespace
