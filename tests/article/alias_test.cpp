#include "article/alias.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/random_text.h"
#include "core/charset.h"
#include "settings/site_config.h"

namespace {

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

SiteConfig SiteOfType(std::int32_t type) {
    SiteConfig site;
    site.别名类型 = type;
    return site;
}

bool AllOf(const std::string& text, const char* chars) {
    return !text.empty() && text.find_first_not_of(chars) == std::string::npos;
}
constexpr const char* kDigits = "0123456789";
constexpr const char* kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

TEST(BuildAlias, PinyinTypes) {
    struct Case {
        std::int32_t type;
        std::int32_t separator;
        const char* title;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, 0, "中国", ""},
        {1, 0, "Web 2.0 中国：入门-指南, 第1版!", "Web2.0zgrm-zn,d1b"},
        {2, 1, "中国 abc", "Zhong-Guo--abc"},
        {2, 1, "你好！", "Ni-Hao"},             // "！" deleted, then the trailing "-"
        {2, 2, "中国　人", "Zhong_Guo___Ren"},  // full-width space replaced too
        {2, 0, "中国 abc", "ZhongGuoabc"},
        {2, 3, "中国", "Zhong,Guo"},
        {2, 9, "中国", "ZhongGuo"},  // unknown separator index: none
        {1, 0, "！＠＃", ""},        // nothing convertible or allowed
        {2, 1, "！＠＃國", ""},
    };
    for (const auto& c : cases) {
        SiteConfig site = SiteOfType(c.type);
        site.拼音间隔符 = c.separator;
        EXPECT_EQ(BuildAlias(site, G(c.title)), c.expected) << c.title;
    }
}

TEST(BuildAlias, PrefixAndSuffixWrapEveryTypeButNone) {
    SiteConfig site = SiteOfType(2);
    site.别名左边 = "p-";
    site.别名右边 = ".htm";
    EXPECT_EQ(BuildAlias(site, G("！")), "p-.htm");
    EXPECT_EQ(BuildAlias(site, G("中")), "p-Zhong.htm");
    site.别名类型 = 0;
    EXPECT_EQ(BuildAlias(site, G("中")), "");
    site.别名类型 = 7;  // not a type: no alias either
    EXPECT_EQ(BuildAlias(site, G("中")), "");
}

TEST(BuildAlias, RandomTypesAndBounds) {
    struct Case {
        std::int32_t type;
        std::int32_t low, high;
        std::size_t minLength, maxLength;
        const char* chars;
    };
    const std::string alnum = std::string(kDigits) + kLetters;
    const std::vector<Case> cases = {
        {3, 0, 0, 8, 8, kDigits},    // length 0: eight characters
        {3, -5, -1, 8, 8, kDigits},  // negative bounds count as 0
        {4, 3, 3, 3, 3, kLetters},
        {5, 6, 4, 4, 6, alnum.c_str()},   // reversed bounds are swapped
        {5, -3, 2, 1, 8, alnum.c_str()},  // 0 … 2, where 0 means eight
    };
    for (const auto& c : cases) {
        SiteConfig site = SiteOfType(c.type);
        site.字母数1 = c.low;
        site.字母数2 = c.high;
        for (int i = 0; i < 50; ++i) {
            const std::string alias = BuildAlias(site, "title");
            EXPECT_GE(alias.size(), c.minLength) << c.type << " " << alias;
            EXPECT_LE(alias.size(), c.maxLength) << c.type << " " << alias;
            EXPECT_TRUE(AllOf(alias, c.chars)) << c.type << " " << alias;
        }
    }
}

TEST(BuildAlias, RunningNumberAdvancesOnEveryAttemptAndResets) {
    SiteConfig site = SiteOfType(6);
    site.别名起始值 = 100;
    site.别名递增值 = 5;
    ResetAliasCounter(site);
    EXPECT_EQ(BuildAlias(site, "a"), "100");
    EXPECT_EQ(BuildAlias(site, "a"), "105");  // whether the first attempt failed or not
    ResetAliasCounter(site);
    EXPECT_EQ(BuildAlias(site, "a"), "100");
    // At the end of the 32-bit range the counter wraps instead of overflowing.
    site.prep.AliasCounter = INT32_MAX;
    site.别名递增值 = 1;
    EXPECT_EQ(BuildAlias(site, "a"), "2147483647");
    EXPECT_EQ(BuildAlias(site, "a"), "-2147483648");
}

TEST(RandomAlnumText, ClassesByFlags) {
    struct Case {
        bool noDigits, noLower, noUpper;
        const char* chars;
    };
    const std::vector<Case> cases = {
        {false, true, true, kDigits},
        {true, false, true, "abcdefghijklmnopqrstuvwxyz"},
        {true, true, false, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {true, true, true, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},  // all excluded: upper case
        {true, false, false, kLetters},
        {false, true, false, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {false, false, true, "0123456789abcdefghijklmnopqrstuvwxyz"},
    };
    for (const auto& c : cases) {
        const std::string text = RandomAlnumText(400, false, c.noDigits, c.noLower, c.noUpper);
        EXPECT_EQ(text.size(), 400u);
        EXPECT_TRUE(AllOf(text, c.chars)) << text;
    }
    // With no flags all three classes turn up in a long text.
    const std::string mixed = RandomAlnumText(600, false, false, false, false);
    EXPECT_NE(mixed.find_first_of(kDigits), std::string::npos);
    EXPECT_NE(mixed.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    EXPECT_NE(mixed.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
}

TEST(RandomAlnumText, LengthsAndFullWidth) {
    EXPECT_EQ(RandomAlnumText(0, false, false, false, false).size(), 8u);
    EXPECT_EQ(RandomAlnumText(-7, false, false, false, false).size(), 8u);
    EXPECT_EQ(RandomAlnumText(INT32_MAX, false, false, true, true).size(), 1000000u);
    const std::string wide = RandomAlnumText(5, true, false, true, true);
    ASSERT_EQ(wide.size(), 10u);
    for (std::size_t i = 0; i < wide.size(); i += 2) {
        EXPECT_EQ(static_cast<unsigned char>(wide[i]), 0xA3);
        EXPECT_GE(static_cast<unsigned char>(wide[i + 1]), 0xB0);  // ０ … ９
        EXPECT_LE(static_cast<unsigned char>(wide[i + 1]), 0xB9);
    }
}

}  // namespace
