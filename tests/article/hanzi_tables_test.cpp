#include "article/hanzi_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/charset.h"

namespace {

std::string Utf8(std::string_view gbk) {
    return charset::GbkToUtf8(gbk);
}

TEST(HanziTables, CountsOrderAndEncoding) {
    struct Case {
        int table;
        std::size_t count;
        const char* first;  // UTF-8
        const char* last;
    };
    const Case cases[] = {
        {0, 498, "的一是在不了有和人这", "照参红细引听该铁价严"},
        {1, 2500, "一乙二十丁厂七卜人入八九几儿了力乃刀又三于干亏士工土才寸下大",
         "嚼嚷籍魔灌蠢霸露囊罐"},
        {2, 1000, "匕刁丐歹戈夭仑讥冗邓艾夯凸卢叭叽皿凹囚矢乍尔冯玄邦迂邢芋芍吏",
         "鳞糯譬霹躏髓蘸镶瓤矗"},
    };
    std::set<std::string> lists;  // the characters of tables 1 and 2
    for (const Case& c : cases) {
        const std::string_view table = HanziTableChars(c.table);
        ASSERT_EQ(table.size(), 2 * c.count) << c.table;
        // Strict GBK, two bytes a character: a random draw at an even offset always
        // takes one whole character.
        std::set<std::string> seen;
        for (std::size_t i = 0; i < table.size(); i += 2) {
            const std::string_view ch = table.substr(i, 2);
            ASSERT_GE(static_cast<unsigned char>(ch[0]), 0x81) << c.table << " " << i;
            const auto back = charset::Utf8ToGbkStrict(Utf8(ch));
            ASSERT_TRUE(back && *back == ch) << c.table << " " << i;
            seen.insert(std::string(ch));
            if (c.table > 0) {
                EXPECT_TRUE(lists.insert(std::string(ch)).second) << Utf8(ch);
            }
        }
        EXPECT_EQ(seen.size(), c.count) << c.table;  // no character twice
        const std::string all = Utf8(table);
        EXPECT_EQ(all.rfind(c.first, 0), 0u) << c.table;
        EXPECT_EQ(all.substr(all.size() - std::string(c.last).size()), c.last) << c.table;
    }
    // The two characters of the 1000-list outside GB2312 are there, as GBK.
    const std::string secondary = Utf8(HanziTableChars(2));
    EXPECT_NE(secondary.find("啰"), std::string::npos);
    EXPECT_NE(secondary.find("瞭"), std::string::npos);
}

TEST(HanziTables, AnyOtherNumberIsTableZero) {
    for (int table : {-1, 3, 100}) EXPECT_EQ(HanziTableChars(table), HanziTableChars(0));
}

}  // namespace
