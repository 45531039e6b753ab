#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

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

// Beyond double range a number is 0 when too small and the largest double when too
// large, whatever the exponent's sign alone would suggest.
TEST(NumberText, OutOfRangeIsZeroOrTheLargestFinite) {
    const std::string zeros(400, '0');
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"1e-400", 0},
        {"-1e-400", 0},
        {"0." + zeros + "1", 0},
        {"0." + zeros + "1e50", 0},
        {"2e-324", 0},
        {"1e-99999999999999999999", 0},
        {"4.9e-324", std::numeric_limits<double>::denorm_min()},  // tiny, still in range
        {"1e400", DBL_MAX},
        {"-1e400", -DBL_MAX},
        {"1" + zeros, DBL_MAX},
        {"1" + zeros + "e-50", DBL_MAX},
        {"0.000001e400", DBL_MAX},
        {"+1e99999999999999999999x", DBL_MAX},
        {"1e308", 1e308},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToNumber(c.text), c.value) << c.text;
}

TEST(NumberText, NeitherSavesNorLoadsInfinity) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatNumber(inf), "1.797693134862e+308");
    EXPECT_EQ(FormatNumber(-inf), "-1.797693134862e+308");
    EXPECT_EQ(FormatNumber(std::nan("")), "0");
    // What is written for the largest values reads back finite and writes the same again.
    for (const double value : {inf, -inf, DBL_MAX, static_cast<double>(FLT_MAX)}) {
        const std::string text = FormatNumber(value);
        EXPECT_TRUE(std::isfinite(TextToNumber(text))) << text;
        EXPECT_EQ(FormatNumber(TextToNumber(text)), text);
    }
    EXPECT_EQ(SaturateToFloat(TextToNumber(FormatNumber(FLT_MAX))), FLT_MAX);

    const struct {
        double value;
        float single;
    } floats[] = {
        {1e39, FLT_MAX},   {-1e39, -FLT_MAX}, {inf, FLT_MAX}, {-inf, -FLT_MAX},
        {std::nan(""), 0}, {1e-50, 0},        {0.5, 0.5f},    {DBL_MAX, FLT_MAX},
    };
    for (const auto& c : floats) EXPECT_EQ(SaturateToFloat(c.value), c.single) << c.value;
}

}  // namespace
