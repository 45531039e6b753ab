#include "article/pinyin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/pinyin_phrases.h"
#include "core/charset.h"

namespace {

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

TEST(ToPinyin, CaseModesInitialsAndSeparators) {
    struct Case {
        const char* text;  // UTF-8
        std::int32_t mode;
        bool initials;
        const char* separator;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"中国", 2, false, " ", "Zhong Guo"},
        {"中国", 4, false, " ", "zhong guo"},
        {"中国", 1, false, " ", "Zhong guo"},
        {"中国", 3, false, " ", "ZHONG GUO"},
        {"中国", 4, true, " ", "z g"},
        {"中国", 3, true, "", "ZG"},
        {"中国 abc", 2, false, "-", "Zhong-Guo- abc"},
        {"abc中国", 4, false, "-", "abc-zhong-guo"},
        {"a中b", 4, false, "_", "a_zhong_b"},
        {"绿女", 4, false, "", "lvnv"},  // ü written v
        {"中国", 0, false, " ", ""},
        {"中国", 5, false, " ", ""},
        {"", 2, false, " ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToPinyin(G(c.text), c.mode, c.initials, c.separator), c.expected)
            << c.text << " mode " << c.mode;
}

TEST(ToPinyin, CharactersWithoutPinyinStayAsTheyAre) {
    // Full-width punctuation, a traditional form outside GB2312, a GB18030 four-byte
    // character and a lone lead byte at the end.
    const std::string others = G("！、國") + G("😀") + "\xB0";
    EXPECT_EQ(ToPinyin(others, 2, false, "-"), others);
    EXPECT_EQ(ToPinyin(G("中！"), 2, false, "-"), "Zhong-" + G("！"));
}

TEST(ToPinyin, LinesAreJoinedWithCrLf) {
    EXPECT_EQ(ToPinyin(G("中国\r\n中国\n"), 1, false, " "), "Zhong guo\r\nzhong guo\r\n");
    EXPECT_EQ(ToPinyin(G("中\n\n国"), 2, false, "-"), "Zhong\r\n\r\nGuo");
    // A lone CR is part of its line.
    EXPECT_EQ(ToPinyin(G("中\r国"), 4, false, "-"), "zhong-\r-guo");
}

TEST(PinyinTable, CoversGb2312Hanzi) {
    EXPECT_EQ(FirstPinyinReading(0xB0, 0xA1), "a");    // 啊, first cell
    EXPECT_EQ(FirstPinyinReading(0xF7, 0xFE), "zha");  // 齄, last cell
    EXPECT_EQ(PinyinReadings(0xD6, 0xD0), "zhong");    // 中
    EXPECT_EQ(PinyinReadings(0xC0, 0xD6), "le yue");   // 乐: two readings
    EXPECT_EQ(FirstPinyinReading(0xD7, 0xFA), "");     // an empty GB2312 cell
    EXPECT_EQ(FirstPinyinReading(0xA1, 0xA1), "");     // symbols, not hanzi
    EXPECT_EQ(FirstPinyinReading(0xB0, 0x40), "");     // GBK beyond GB2312
    int withReading = 0;
    for (int lead = 0xB0; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail)
            if (!FirstPinyinReading(lead, trail).empty()) ++withReading;
    EXPECT_EQ(withReading, 6763);
}

}  // namespace

namespace {

// Polyphones read as the word they stand in, not by the character's first reading alone.
TEST(ToPinyin, WordsOfThePhraseTableTakeTheWordsReading) {
    struct Case {
        const char* text;  // UTF-8
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"长城", "ChangCheng"},
        {"校长", "XiaoZhang"},
        {"银行", "YinHang"},
        {"行走", "XingZou"},
        {"重庆", "ChongQing"},
        {"重要", "ZhongYao"},
        {"音乐", "YinYue"},
        {"快乐", "KuaiLe"},
        {"率领", "ShuaiLing"},
        {"效率", "XiaoLv"},
        {"都市", "DuShi"},
        {"首都", "ShouDu"},
        {"还是", "HaiShi"},
        {"还钱", "HuanQian"},
        {"西藏", "XiZang"},
        {"宝藏", "BaoZang"},
        {"睡觉", "ShuiJiao"},
        {"觉得", "JueDe"},
        {"了解", "LiaoJie"},
        {"便宜", "PianYi"},
        {"会计", "KuaiJi"},
        {"董事长", "DongShiZhang"},
        {"增长", "ZengZhang"},
        {"长江", "ChangJiang"},
        // The longest word wins, and a word ahead keeps the next one from matching
        // across its end (进行 before 行长).
        {"银行行长", "YinHangHangZhang"},
        {"进行长期合作", "JinXingChangQiHeZuo"},
        {"我还钱包", "WoHaiQianBao"},
        // A character alone takes its most common reading.
        {"长", "Chang"},
        {"行", "Xing"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToPinyin(G(c.text), 2, false, ""), c.expected) << c.text;
}

TEST(ToPinyin, PhraseReadingsFollowTheSeparatorCaseAndInitialsRules) {
    EXPECT_EQ(ToPinyin(G("去银行"), 1, false, "-"), "Qu-yin-hang");
    EXPECT_EQ(ToPinyin(G("去银行"), 3, true, ""), "QYH");
    EXPECT_EQ(ToPinyin(G("a银行!"), 4, false, " "), "a yin hang !");
    // A word broken by a line end or by another character is no word.
    EXPECT_EQ(ToPinyin(G("银\n行"), 4, false, " "), "yin\r\nxing");
    EXPECT_EQ(ToPinyin(G("银 行"), 4, false, ""), "yin xing");
    // A word at the end of a text, and a lead byte left alone after it.
    EXPECT_EQ(ToPinyin(G("重庆") + "\xB0", 4, false, ""), "chongqing\xB0");
}

// Every phrase of the table, read alone, reads as the table says: the matcher and the
// table agree, and the table is in the byte order the lookup's binary search needs.
TEST(PinyinPhrases, EveryPhraseReadsAsItsEntry) {
    ASSERT_GT(kPinyinPhraseCount, 500u);
    for (std::size_t i = 0; i < kPinyinPhraseCount; ++i) {
        const PinyinPhrase& phrase = kPinyinPhrases[i];
        const std::string text = phrase.text;
        ASSERT_EQ(text.size() % 2, 0u) << i;
        if (i > 0) {
            ASSERT_LT(std::string(kPinyinPhrases[i - 1].text), text) << i;
        }
        EXPECT_EQ(ToPinyin(text, 4, false, " "), phrase.reading) << i;
    }
}

}  // namespace
