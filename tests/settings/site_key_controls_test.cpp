// The table of site keys, their value types and controls, against the editor's own
// mapping of controls to record fields: callers without a window type values through it.

#include <gtest/gtest.h>

#include <map>

#include "core/charset.h"
#include "settings/memory_site_view.h"
#include "settings/site_editor.h"
#include "settings/site_records.h"

namespace {

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::map<std::string, std::string> Saved(const SiteConfig& site) {
    std::map<std::string, std::string> out;
    for (const auto& [key, value] : SiteKeyValues(site)) out[key] = value;
    return out;
}

TEST(SiteKeyControlsTest, ListsEverySavedKeyInSaveOrder) {
    const auto values = SiteKeyValues(SiteConfig{});
    const auto& table = SiteKeyControls();
    ASSERT_EQ(table.size(), values.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].key, values[i].first) << i;
        EXPECT_EQ(table[i].captions.empty(), table[i].type != SiteValueType::Choice)
            << charset::GbkToUtf8(table[i].key);
    }
}

// The design values shown and read back unchanged, as an add of the untouched window
// would store them.
TEST(SiteKeyControlsTest, DesignValuesSurviveTheControls) {
    const SiteConfig design = DesignSiteValues();
    MemorySiteView view;
    WriteSiteToControls(design, view);
    EXPECT_EQ(Saved(ReadSiteFromControls(view)), Saved(design));
    EXPECT_EQ(view.Tag(G("按钮输入标签组")),
              G("标签1\r\n标签2\r\n标签3\r\n标签4\r\n标签5\r\n标签6"));
    EXPECT_EQ(view.Text(G("编辑框间隔秒1")), "0.01");
    EXPECT_EQ(view.Text(G("编辑框文章目录")), G("C:\\用于更新的文章所在目录"));
}

// Changing one key's control through the table changes that key and no other.
TEST(SiteKeyControlsTest, EachControlEditsItsOwnKey) {
    const SiteConfig design = DesignSiteValues();
    for (const auto& entry : SiteKeyControls()) {
        if (entry.control.empty()) continue;
        MemorySiteView view;
        WriteSiteToControls(design, view);
        switch (entry.type) {
            case SiteValueType::Logical:
                view.SetChecked(entry.control, !view.Checked(entry.control));
                break;
            case SiteValueType::Lines:
                view.SetTag(entry.control, "x\r\ny");
                break;
            case SiteValueType::Choice:
                view.SetIndex(entry.control, static_cast<std::int32_t>(entry.captions.size()) - 1);
                break;
            case SiteValueType::Text:
                view.SetText(entry.control, "changed.example");
                break;
            case SiteValueType::Integer:
            case SiteValueType::Real:
                view.SetText(entry.control, "42");
                break;
            case SiteValueType::Bytes:
                ADD_FAILURE() << "the tree's bytes have no control of their own";
                break;
        }
        auto before = Saved(design);
        const auto after = Saved(ReadSiteFromControls(view));
        const std::string name = charset::GbkToUtf8(entry.key);
        EXPECT_NE(after.at(entry.key), before.at(entry.key)) << name;
        before[entry.key] = after.at(entry.key);
        EXPECT_EQ(after, before) << name << " changed another key";
    }
}

TEST(SiteKeyControlsTest, OnlyTheRowCheckAndTheTreeKeysHaveNoControl) {
    std::vector<std::string> without;
    for (const auto& entry : SiteKeyControls())
        if (entry.control.empty()) without.push_back(charset::GbkToUtf8(entry.key));
    EXPECT_EQ(without, (std::vector<std::string>{"启用", "分类数据", "分类ID", "分类选择项"}));
    for (const auto& entry : SiteKeyControls()) {
        if (entry.key == G("别名类型")) {
            EXPECT_EQ(entry.captions.at(2), G("标题全拼"));
        }
    }
}

}  // namespace
