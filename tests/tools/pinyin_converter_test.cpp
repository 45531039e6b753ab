#include "tools/pinyin_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/config_store.h"
#include "tool_test_view.h"

namespace {

TEST(ConvertToPinyin, CaseModesInitialsAndCleanUp) {
    struct Case {
        const char* text;  // UTF-8
        PinyinConversion conversion;
        const char* expected;
    };
    const PinyinConversion noCleanUp{2, false, false, false, true};
    const std::vector<Case> cases = {
        {"中国", {2, false, false, false, true}, "Zhong Guo"},
        {"中国", {4, false, false, false, true}, "zhong guo"},
        {"中国", {1, false, false, false, true}, "Zhong guo"},
        {"中国", {3, false, false, false, true}, "ZHONG GUO"},
        {"中国", {4, true, false, false, true}, "z g"},
        {"中国", {2, false, true, false, true}, "ZhongGuo"},  // spaces removed
        {"中国", {2, false, true, true, true}, "Zhong Guo"},  // spaces kept
        {"中国 abc!", {3, true, true, false, true}, "ZGabc"},
        {"银行，重庆。", {2, false, true, true, true}, "Yin Hang  Chong Qing "},
        {"", noCleanUp, ""},
        {"", {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertToPinyin(G(c.text), c.conversion), c.expected) << c.text;
}

TEST(ConvertToPinyin, LineBreaksKeptOrRunTogether) {
    const std::string text = G("中国\r\n北京\n上海");
    EXPECT_EQ(ConvertToPinyin(text, {2, false, true, false, true}),
              "ZhongGuo\r\nBeiJing\r\nShangHai");
    EXPECT_EQ(ConvertToPinyin(text, {2, false, true, false, false}), "ZhongGuoBeiJingShangHai");
    EXPECT_EQ(ConvertToPinyin(text, {2, false, false, false, false}),
              "Zhong Guo\r\nBei Jing\r\nShang Hai");
}

TEST(KeepOnlyLetters, DoubleByteCharactersGoWhole) {
    // 這 (DF 40) and 丄 (81 41) are GBK beyond GB2312: ToPinyin leaves them, and their
    // second bytes ('@', 'A') must not survive the clean-up as a letter.
    const std::string traditional = "\xDF\x40\x81\x41";
    EXPECT_EQ(ConvertToPinyin(G("中") + traditional, {2, false, false, false, true}),
              "Zhong " + traditional);
    EXPECT_EQ(ConvertToPinyin(G("中") + traditional, {2, false, true, false, true}), "Zhong");
    EXPECT_EQ(KeepOnlyLetters("a\x81"
                              "Ab\tc d\r\n\x81",
                              true, false),
              "abc d");
    EXPECT_EQ(KeepOnlyLetters("a\x81"
                              "Ab\tc d\r\n\x81",
                              false, true),
              "abcd\r\n");
    EXPECT_EQ(KeepOnlyLetters(G("　全角ＡＢ"), true, true), "");  // full-width space and letters
}

// The converter's window in memory, with its layout defaults.
struct ConverterInMemory {
    ConverterInMemory() {
        m_view.Add("编辑框汉字");
        m_view.Add("编辑框结果");
        m_view.Add("按钮粘贴汉字", false, "粘贴\r\n汉字");
        m_view.Add("按钮转换拼音", false, "转换拼音");
        m_view.Add("按钮复制结果", false, "复制结果");
        m_view.Add("单选框全部小写");
        m_view.Add("单选框全部大写");
        m_view.Add("单选框拼音首大写", true);
        m_view.Add("单选框首字母大写");
        m_view.Add("选择框首拼模式");
        m_view.Add("选择框清除非字母", true);
        m_view.Add("选择框保留空格");
        m_view.Add("选择框保留换行", true);
    }

    void SelectCase(const char* radio) {
        for (const char* r :
             {"单选框全部小写", "单选框全部大写", "单选框拼音首大写", "单选框首字母大写"})
            m_view.At(r).checked = std::string(r) == radio;
    }

    std::string Convert(const char* utf8) {
        m_view.At("编辑框汉字").text = G(utf8);
        m_converter.ConvertClicked();
        return m_view.At("编辑框结果").text;
    }

    MemoryToolView m_view;
    PinyinConverter m_converter{m_view};
};

class PinyinConverterWindow : public ::testing::Test, public ConverterInMemory {};

TEST_F(PinyinConverterWindow, ConvertReadsTheOptions) {
    m_view.At("选择框清除非字母").checked = false;
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"单选框拼音首大写", "Zhong Guo"},
        {"单选框全部小写", "zhong guo"},
        {"单选框首字母大写", "Zhong guo"},
        {"单选框全部大写", "ZHONG GUO"},
    };
    for (const auto& [radio, expected] : cases) {
        SelectCase(radio);
        EXPECT_EQ(Convert("中国"), expected) << radio;
    }
    SelectCase("单选框全部小写");
    m_view.At("选择框首拼模式").checked = true;
    EXPECT_EQ(Convert("中国"), "z g");
    m_view.At("选择框清除非字母").checked = true;
    EXPECT_EQ(Convert("中国\r\n重庆"), "zg\r\ncq");
    m_view.At("选择框保留换行").checked = false;
    EXPECT_EQ(Convert("中国\r\n重庆"), "zgcq");
    EXPECT_EQ(Convert(""), "");
}

TEST_F(PinyinConverterWindow, PasteCopyAndTheEnablingRule) {
    m_view.clipboard = G("剪贴板");
    m_converter.PasteClicked();
    EXPECT_EQ(m_view.At("编辑框汉字").text, G("剪贴板"));
    m_view.At("编辑框结果").text = "Jian Tie Ban";
    m_converter.CopyClicked();
    EXPECT_EQ(m_view.clipboard, "Jian Tie Ban");

    m_view.At("选择框清除非字母").checked = false;
    m_converter.LettersOnlyClicked();
    EXPECT_FALSE(m_view.At("选择框保留空格").enabled);
    EXPECT_FALSE(m_view.At("选择框保留换行").enabled);
    m_view.At("选择框清除非字母").checked = true;
    m_converter.LettersOnlyClicked();
    EXPECT_TRUE(m_view.At("选择框保留空格").enabled);
    EXPECT_TRUE(m_view.At("选择框保留换行").enabled);
}

TEST_F(PinyinConverterWindow, StateSurvivesAReopenButNotTheTextsOrKeepLineBreaks) {
    TempFolder folder;
    const std::string path = folder / "settings.ini";
    {
        ConfigStore store;
        ASSERT_TRUE(store.Bind(path));
        m_converter.Opened(store, m_view.Form());  // an empty file changes nothing
        EXPECT_TRUE(m_view.At("单选框拼音首大写").checked);
        SelectCase("单选框全部大写");
        m_view.At("选择框首拼模式").checked = true;
        m_view.At("选择框清除非字母").checked = false;
        m_view.At("选择框保留空格").checked = true;
        m_view.At("选择框保留换行").checked = false;
        m_view.At("编辑框汉字").text = G("汉字");
        m_view.At("编辑框结果").text = "HZ";
        m_converter.Closed(store, m_view.Form());
        const std::string content = store.Content();
        EXPECT_NE(content.find(G("[汉字拼音转换器]")), std::string::npos);
        for (const char* unsaved : {"编辑框", "按钮", "保留换行"})
            EXPECT_EQ(content.find(G(unsaved)), std::string::npos) << unsaved;
    }
    ConverterInMemory fresh;
    ConfigStore store;
    ASSERT_TRUE(store.Bind(path));
    fresh.m_converter.Opened(store, fresh.m_view.Form());
    MemoryToolView& v = fresh.m_view;
    EXPECT_TRUE(v.At("单选框全部大写").checked);
    EXPECT_FALSE(v.At("单选框拼音首大写").checked);
    EXPECT_TRUE(v.At("选择框首拼模式").checked);
    EXPECT_FALSE(v.At("选择框清除非字母").checked);
    EXPECT_TRUE(v.At("选择框保留空格").checked);
    EXPECT_TRUE(v.At("选择框保留换行").checked);  // its layout default
    EXPECT_EQ(v.At("编辑框汉字").text, "");
    // The enabling rule ran after the restore.
    EXPECT_FALSE(v.At("选择框保留空格").enabled);
    EXPECT_FALSE(v.At("选择框保留换行").enabled);
}

}  // namespace
