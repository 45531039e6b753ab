#include "article/pinyin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
