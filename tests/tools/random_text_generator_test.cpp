#include "tools/random_text_generator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "article/hanzi_tables.h"
#include "core/gbk_text.h"
#include "settings/config_store.h"
#include "tool_test_view.h"
#include "tools/random_groups.h"
#include "tools/simplified_traditional.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

std::set<std::string> Characters(std::string_view table) {
    std::set<std::string> out;
    for (std::size_t i = 0; i + 1 < table.size(); i += 2)
        out.insert(std::string(table.substr(i, 2)));
    return out;
}

TEST(RandomHanziGroup, LengthsAndTables) {
    for (int table : {0, 1, 2}) {
        const std::set<std::string> chars = Characters(HanziTableChars(table));
        for (const int length : {1, 5, 200}) {
            const std::string group = RandomHanziGroup(length, table, false);
            ASSERT_EQ(group.size(), 2u * length);
            for (std::size_t i = 0; i < group.size(); i += 2)
                EXPECT_TRUE(chars.count(group.substr(i, 2))) << table;
        }
    }
    EXPECT_EQ(RandomHanziGroup(0, 0, false).size(), 16u);  // 0 or less: 8 characters
    EXPECT_EQ(RandomHanziGroup(-3, 1, false).size(), 16u);
    EXPECT_EQ(RandomHanziGroup(3, 7, false).size(), 6u);  // an unknown table is table 0
}

TEST(RandomHanziGroup, EveryCharacterCanComeUpTheLastOneToo) {
    // 498 characters, 40,000 draws: each is expected about 80 times.
    const std::set<std::string> chars = Characters(HanziTableChars(0));
    const std::string group = RandomHanziGroup(40000, 0, false);
    EXPECT_EQ(Characters(group), chars);
}

TEST(SimplifiedToTraditional, ConvertsAndKeepsWhatHasNoForm) {
    EXPECT_EQ(SimplifiedToTraditional(G("这个国家发展")), G("這個國家發展"));
    EXPECT_EQ(SimplifiedToTraditional(G("头发")), G("頭髮"));  // a phrase picks the form
    EXPECT_EQ(SimplifiedToTraditional("abc 123\r\n"), "abc 123\r\n");
    EXPECT_EQ(SimplifiedToTraditional(""), "");
    // Every character of the tables comes back as one GBK character.
    for (int table : {0, 1, 2}) {
        const std::string_view chars = HanziTableChars(table);
        for (std::size_t i = 0; i < chars.size(); i += 2) {
            const std::string converted = SimplifiedToTraditional(chars.substr(i, 2));
            ASSERT_EQ(gbk::CountChars(converted), 1u) << table << " " << i;
        }
    }
}

TEST(RandomHanziGroup, TraditionalGroupsHaveTraditionalForms) {
    // 这 is the tenth character of table 0; a long group is bound to hold some.
    const std::string group = RandomHanziGroup(5000, 0, true);
    EXPECT_NE(group.find(G("這")), std::string::npos);
    EXPECT_EQ(group.find(G("这")), std::string::npos);
    EXPECT_EQ(gbk::CountChars(group), 5000u);
}

TEST(RandomGroups, LengthsBetweenBothEndsInEitherOrder) {
    const GroupMaker letters = AlnumGroups(false, true, true, false);
    for (const auto& [a, b] : std::vector<std::pair<int, int>>{{3, 5}, {5, 3}}) {
        std::set<std::size_t> seen;
        for (const std::string& line : Lines(RandomGroups(a, b, 300, letters))) {
            EXPECT_GE(line.size(), 3u);
            EXPECT_LE(line.size(), 5u);
            seen.insert(line.size());
        }
        EXPECT_EQ(seen, (std::set<std::size_t>{3, 4, 5})) << a << " " << b;
    }
    for (const std::string& line : Lines(RandomGroups(0, 0, 5, letters)))
        EXPECT_EQ(line.size(), 8u);
    for (const std::string& line : Lines(RandomGroups(-4, -1, 5, letters)))
        EXPECT_EQ(line.size(), 8u);
    EXPECT_EQ(Lines(RandomGroups(3, 5, 100, letters)).size(), 100u);
    EXPECT_EQ(RandomGroups(3, 5, 0, letters), "");
    EXPECT_EQ(RandomGroups(3, 5, -2, letters), "");
    EXPECT_EQ(RandomGroups(2, 2, 1, letters).find("\r\n"), std::string::npos);
}

TEST(RandomGroups, AlnumKinds) {
    auto all = [](const GroupMaker& maker, auto pred) {
        const std::string text = RandomGroups(20, 20, 20, maker);
        for (const std::string& line : Lines(text))
            for (char c : line)
                if (!pred(static_cast<unsigned char>(c))) return false;
        return true;
    };
    EXPECT_TRUE(
        all(AlnumGroups(true, false, false, false), [](int c) { return c >= '0' && c <= '9'; }));
    EXPECT_TRUE(
        all(AlnumGroups(false, true, false, false), [](int c) { return c >= 'a' && c <= 'z'; }));
    EXPECT_TRUE(
        all(AlnumGroups(false, false, false, false), [](int c) { return c >= 'A' && c <= 'Z'; }));
    // Full width: A3 A1 … A3 FD, two bytes a character.
    const std::string wide = RandomGroups(6, 6, 1, AlnumGroups(true, true, true, true));
    ASSERT_EQ(wide.size(), 12u);
    for (std::size_t i = 0; i < wide.size(); i += 2) {
        EXPECT_EQ(static_cast<unsigned char>(wide[i]), 0xA3);
        EXPECT_GE(static_cast<unsigned char>(wide[i + 1]), 0xB0);
    }
}

// The generator's window in memory, with its layout defaults.
struct GeneratorInMemory {
    GeneratorInMemory() {
        m_view.Add("编辑框字数1", false, "3");
        m_view.Add("编辑框字数2", false, "5");
        m_view.Add("编辑框组数", false, "100");
        m_view.Add("单选框最常用", true);
        m_view.Add("单选框一般常用");
        m_view.Add("单选框次要常用");
        m_view.Add("选择框转为繁体");
        m_view.Add("按钮生成汉字", false, "生成随机汉字");
        m_view.Add("选择框有数字");
        m_view.Add("选择框有小字母", true);
        m_view.Add("选择框有大字母", true);
        m_view.Add("选择框转为全角");
        m_view.Add("按钮生成数母", false, "生成随机数字字母");
        m_view.Add("编辑框结果");
        m_view.Add("按钮复制结果", false, "复制结果");
    }

    std::string Result() { return m_view.At("编辑框结果").text; }

    MemoryToolView m_view;
    RandomTextGenerator m_generator{m_view};
};

class RandomTextWindow : public ::testing::Test, public GeneratorInMemory {};

TEST_F(RandomTextWindow, DefaultsGiveAHundredLinesFromTheFirstTable) {
    m_generator.GenerateHanziClicked();
    const std::vector<std::string> lines = Lines(Result());
    ASSERT_EQ(lines.size(), 100u);
    const std::set<std::string> chars = Characters(HanziTableChars(0));
    for (const std::string& line : lines) {
        EXPECT_GE(line.size(), 6u);
        EXPECT_LE(line.size(), 10u);
        for (std::size_t i = 0; i < line.size(); i += 2)
            EXPECT_TRUE(chars.count(line.substr(i, 2)));
    }
    EXPECT_EQ(m_view.Writes("编辑框结果"), 1);  // written once, at the end
    EXPECT_EQ(m_view.At("按钮生成汉字").caption, G("生成随机汉字"));
    EXPECT_TRUE(m_view.At("按钮生成数母").enabled);
}

TEST_F(RandomTextWindow, TheOptionsReachTheGroups) {
    m_view.At("单选框最常用").checked = false;
    m_view.At("单选框次要常用").checked = true;
    m_view.At("编辑框字数1").text = "";
    m_view.At("编辑框字数2").text = "";
    m_view.At("编辑框组数").text = "7";
    m_generator.GenerateHanziClicked();
    const std::set<std::string> secondary = Characters(HanziTableChars(2));
    const std::vector<std::string> lines = Lines(Result());
    ASSERT_EQ(lines.size(), 7u);
    for (const std::string& line : lines) {
        ASSERT_EQ(line.size(), 16u);  // empty boxes: length 0, so 8 characters
        for (std::size_t i = 0; i < line.size(); i += 2)
            EXPECT_TRUE(secondary.count(line.substr(i, 2)));
    }

    m_view.At("选择框有数字").checked = true;
    m_view.At("选择框有小字母").checked = false;
    m_view.At("选择框有大字母").checked = false;
    m_view.At("编辑框字数1").text = "4";
    m_view.At("编辑框字数2").text = "4abc";  // a box reads as its leading number
    m_generator.GenerateAlnumClicked();
    for (const std::string& line : Lines(Result()))
        EXPECT_EQ(line.find_first_not_of("0123456789"), std::string::npos) << line;
    EXPECT_EQ(Lines(Result()).front().size(), 4u);

    m_view.At("编辑框组数").text = "";
    m_generator.GenerateAlnumClicked();
    EXPECT_EQ(Result(), "");
}

TEST_F(RandomTextWindow, TheSameButtonStopsAfterAFewGroups) {
    m_view.At("编辑框组数").text = "100000";
    std::vector<std::string> captions;
    bool otherDisabled = true;
    m_view.onPump = [&] {
        otherDisabled = otherDisabled && !m_view.At("按钮生成数母").enabled;
        if (m_view.pumps == 3) {
            captions.push_back(m_view.At("按钮生成汉字").caption);
            m_generator.GenerateHanziClicked();  // the click on the running button
            captions.push_back(m_view.At("按钮生成汉字").caption);
        }
    };
    m_generator.GenerateHanziClicked();
    EXPECT_EQ(Lines(Result()).size(), 3u);  // the groups finished so far
    EXPECT_EQ(m_view.pumps, 3);
    EXPECT_EQ(captions, (std::vector<std::string>{G("点我停止生成"), G("正在停止中")}));
    EXPECT_TRUE(otherDisabled);
    EXPECT_EQ(m_view.At("按钮生成汉字").caption, G("生成随机汉字"));
    EXPECT_TRUE(m_view.At("按钮生成数母").enabled);
    EXPECT_FALSE(m_generator.Generating());

    // The digit-and-letter button the same way, and a new run starts clean.
    m_view.pumps = 0;
    m_view.onPump = [&] {
        if (m_view.pumps == 2) m_generator.GenerateAlnumClicked();
    };
    m_generator.GenerateAlnumClicked();
    EXPECT_EQ(Lines(Result()).size(), 2u);
    EXPECT_EQ(m_view.At("按钮生成数母").caption, G("生成随机数字字母"));
    m_view.onPump = nullptr;
    m_view.At("编辑框组数").text = "5";
    m_generator.GenerateAlnumClicked();
    EXPECT_EQ(Lines(Result()).size(), 5u);
}

TEST_F(RandomTextWindow, TraditionalCheckBoxConvertsTheGroups) {
    m_view.At("选择框转为繁体").checked = true;
    m_view.At("编辑框字数1").text = "50";
    m_view.At("编辑框字数2").text = "50";
    m_view.At("编辑框组数").text = "100";
    m_generator.GenerateHanziClicked();
    EXPECT_NE(Result().find(G("這")), std::string::npos);
    EXPECT_EQ(Result().find(G("这")), std::string::npos);
}

TEST_F(RandomTextWindow, CopyAndStateAcrossAReopen) {
    m_view.At("编辑框结果").text = "abc";
    m_generator.CopyClicked();
    EXPECT_EQ(m_view.clipboard, "abc");

    TempFolder folder;
    const std::string path = folder / "settings.ini";
    {
        ConfigStore store;
        ASSERT_TRUE(store.Bind(path));
        m_view.At("编辑框字数1").text = "2";
        m_view.At("编辑框字数2").text = "9";
        m_view.At("编辑框组数").text = "30";
        m_view.At("单选框最常用").checked = false;
        m_view.At("单选框一般常用").checked = true;
        for (const char* box : {"选择框转为繁体", "选择框有数字", "选择框转为全角"})
            m_view.At(box).checked = true;
        m_view.At("选择框有大字母").checked = false;
        m_generator.Closed(store, m_view.Form());
        const std::string content = store.Content();
        for (const char* key : {"[随机文本生成器]", "\r\n字数1=2", "\r\n字数2=9", "\r\n组数=30",
                                "\r\n单选框一般常用=真"})
            EXPECT_NE(content.find(G(key)), std::string::npos) << key;
        for (const char* unsaved : {"编辑框", "按钮"})
            EXPECT_EQ(content.find(G(unsaved)), std::string::npos) << unsaved;
    }
    GeneratorInMemory fresh;
    ConfigStore store;
    ASSERT_TRUE(store.Bind(path));
    fresh.m_generator.Opened(store, fresh.m_view.Form());
    MemoryToolView& v = fresh.m_view;
    EXPECT_EQ(v.At("编辑框字数1").text, "2");
    EXPECT_EQ(v.At("编辑框字数2").text, "9");
    EXPECT_EQ(v.At("编辑框组数").text, "30");
    EXPECT_TRUE(v.At("单选框一般常用").checked);
    EXPECT_FALSE(v.At("单选框最常用").checked);
    EXPECT_EQ(fresh.m_generator.TableFromControls(), 1);
    EXPECT_TRUE(v.At("选择框转为繁体").checked);
    EXPECT_TRUE(v.At("选择框有数字").checked);
    EXPECT_TRUE(v.At("选择框转为全角").checked);
    EXPECT_TRUE(v.At("选择框有小字母").checked);
    EXPECT_FALSE(v.At("选择框有大字母").checked);

    // A file without the section leaves the layout defaults.
    GeneratorInMemory untouched;
    ConfigStore empty;
    ASSERT_TRUE(empty.Bind(folder / "empty.ini"));
    untouched.m_generator.Opened(empty, untouched.m_view.Form());
    EXPECT_EQ(untouched.m_view.At("编辑框组数").text, "100");
    EXPECT_TRUE(untouched.m_view.At("单选框最常用").checked);
}

}  // namespace
