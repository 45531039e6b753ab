#include <gtest/gtest.h>

#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/number_text.h"

namespace {

const std::string kZhong = "\xD6\xD0";  // 中 in GBK

TEST(GbkText, CountsDoubleByteCharactersAndCrLf) {
    const std::string text = "a" + kZhong + "\r\nb\xB0";  // lone lead byte at the end
    EXPECT_EQ(gbk::CountChars(text), 6u);
    EXPECT_EQ(gbk::CountChars(text, true), 5u);
    EXPECT_EQ(gbk::Left(text, 2), "a" + kZhong);
    // A trail byte 0x5C ('\\') belongs to its character.
    EXPECT_EQ(gbk::PrefixBytes("\x81\x5Cx", 1), 2u);
}

TEST(GbkText, UntilZeroAndFindNoCase) {
    EXPECT_EQ(gbk::UntilZero(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(gbk::FindNoCase("xx<HeAd>", "<head>"), 2u);
    EXPECT_EQ(gbk::FindNoCase("abc", "d"), std::string::npos);
    EXPECT_EQ(gbk::ReplaceAll("a--b--", "--", "+"), "a+b+");
}

TEST(Charset, RoundTripsAndStrictness) {
    EXPECT_EQ(charset::GbkToUtf8(kZhong), "中");
    EXPECT_EQ(charset::Utf8ToGbk("中"), kZhong);
    // 😀 has no GBK form: lossless through GB18030, refused by the strict conversion.
    const std::string emoji = charset::Utf8ToGbk("😀");
    EXPECT_EQ(emoji.size(), 4u);
    EXPECT_EQ(charset::GbkToUtf8(emoji), "😀");
    EXPECT_FALSE(charset::Utf8ToGbkStrict("😀"));
    EXPECT_EQ(charset::CodePointToGbk(0x4E2D), kZhong);
    EXPECT_EQ(charset::CodePointToGbk(0x1F600, "?"), "?");
    EXPECT_EQ(charset::GbkToUtf16(kZhong), u"中");
    EXPECT_EQ(charset::Utf16ToGbk(u"中a"), kZhong + "a");
    // Invalid input is replaced, not a failure of the whole text.
    EXPECT_EQ(charset::GbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
}

TEST(NumberText, LeadingNumberOrZero) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"5", 5},      {"0.01", 0.01}, {"  -3.5x", -3.5}, {"abc", 0}, {"", 0},
        {"1e3", 1000}, {"1e", 1},      {"+.5", 0.5},      {".", 0},   {"12abc", 12},
        {"0x10", 0},   {"inf", 0},     {"-", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.value) << c.text;
    EXPECT_EQ(TextToInt("1e30"), INT32_MAX);
    EXPECT_EQ(TextToInt("-7.9"), -7);
    EXPECT_EQ(FormatNumber(900), "900");
    EXPECT_EQ(FormatNumber(-1), "-1");
    EXPECT_EQ(FormatNumber(static_cast<double>(0.01f)), "0.009999999776483");
}

}  // namespace
