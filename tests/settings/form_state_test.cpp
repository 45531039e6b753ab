#include <gtest/gtest.h>

#include "settings/config_store.h"
#include "settings_test_support.h"

namespace {

// A plain control holding every kind's state.
struct FakeControl : FormControl {
    FakeControl(std::string name, std::string tag = {})
        : name(std::move(name)), tag(std::move(tag)) {}
    std::string Name() const override { return name; }
    std::string Tag() const override { return tag; }
    void SetTag(const std::string& t) override { tag = t; }
    bool Checked() const override { return checked; }
    void SetChecked(bool c) override { checked = c; }
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    std::int32_t Index() const override { return index; }
    void SetIndex(std::int32_t i) override { index = i; }
    std::vector<std::string> Items() const override { return items; }
    void SetItems(const std::vector<std::string>& i) override { items = i; }
    std::vector<std::int32_t> SelectedRows() const override { return selected; }
    void SetSelectedRows(const std::vector<std::int32_t>& r) override { selected = r; }
    std::vector<std::int32_t> CheckedRows() const override { return checkedRows; }
    void SetCheckedRows(const std::vector<std::int32_t>& r) override { checkedRows = r; }
    std::uint32_t Colour() const override { return colour; }
    void SetColour(std::uint32_t c) override { colour = c; }

    std::string name, tag, text;
    bool checked = false;
    std::int32_t index = -1;
    std::vector<std::string> items;
    std::vector<std::int32_t> selected, checkedRows;
    std::uint32_t colour = 0;
};

class FormStateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_store.Bind(m_folder / "s.ini")); }
    std::string Side(const std::string& utf8Name) {
        return ReadFile(m_folder / ("inibin/X-" + utf8Name + ".ibn"));
    }
    TempFolder m_folder;
    ConfigStore m_store;
};

TEST_F(FormStateTest, WindowRoundTripByKind) {
    FakeControl check(G("选择框甲")), radio(G("单选框乙")), edit(G("编辑框丙")),
        button(G("按钮丁")), combo(G("组合框戊")), list(G("列表框己")),
        checkList(G("选择列表框庚")), colour(G("颜色选择器辛")), label(G("标签壬"));
    check.checked = radio.checked = true;
    edit.text = "line1\r\nline2";
    button.tag = "tag text";
    combo.index = 2;
    combo.items = {"a", "b\r\nc", ""};
    combo.text = "typed";
    list.items = {"x", "y", "z"};
    list.selected = {0, 2};
    checkList.items = {"p", "q"};
    checkList.index = 1;
    checkList.checkedRows = {1};
    colour.colour = 0xFF8000;
    label.text = "never saved";
    FormWindow window = {&check, &radio,     &edit,   &button, &combo,
                         &list,  &checkList, &colour, &label};
    m_store.PersistWindow(window, ConfigStore::Direction::Save, "X", {}, true, true);

    const std::string content = m_store.Content();
    EXPECT_NE(content.find(G("选择框甲=真")), std::string::npos);
    EXPECT_NE(content.find(G("编辑框丙=line1┊*┊line2")), std::string::npos);
    EXPECT_NE(content.find(G("按钮丁.标记=tag text")), std::string::npos);
    EXPECT_NE(content.find(G("组合框戊=2")), std::string::npos);
    EXPECT_NE(content.find(G("组合框戊.内容=typed")), std::string::npos);
    EXPECT_NE(content.find(G("列表框己.选中=0,2")), std::string::npos);
    EXPECT_NE(content.find(G("选择列表框庚.选中=1")), std::string::npos);
    EXPECT_NE(content.find(G("选择列表框庚.打勾=1")), std::string::npos);
    EXPECT_NE(content.find(G("颜色选择器辛=16744448")), std::string::npos);
    EXPECT_EQ(content.find(G("标签壬")), std::string::npos);

    FakeControl check2(check.name), radio2(radio.name), edit2(edit.name), button2(button.name),
        combo2(combo.name), list2(list.name), checkList2(checkList.name), colour2(colour.name);
    FormWindow restored = {&check2, &radio2, &edit2,      &button2,
                           &combo2, &list2,  &checkList2, &colour2};
    m_store.PersistWindow(restored, ConfigStore::Direction::Restore, "X", {}, true, true);
    EXPECT_TRUE(check2.checked);
    EXPECT_TRUE(radio2.checked);
    EXPECT_EQ(edit2.text, edit.text);
    EXPECT_EQ(button2.tag, button.tag);
    EXPECT_EQ(combo2.index, 2);
    EXPECT_EQ(combo2.items, combo.items);
    EXPECT_EQ(combo2.text, "typed");
    EXPECT_EQ(list2.items, list.items);
    EXPECT_EQ(list2.selected, list.selected);
    EXPECT_EQ(checkList2.items, checkList.items);
    EXPECT_EQ(checkList2.index, 1);
    EXPECT_EQ(checkList2.checkedRows, checkList.checkedRows);
    EXPECT_EQ(colour2.colour, colour.colour);
}

TEST_F(FormStateTest, TagsExclusionsAndFlags) {
    FakeControl skipped(G("编辑框甲"), G("禁止保存")), excluded(G("选择框乙")),
        sideEdit(G("编辑框丙"), G("字节集方式")), sideButton(G("按钮丁"), G("字节集方式")),
        combo(G("组合框戊")), unnamed("");
    skipped.text = excluded.text = "x";
    excluded.checked = true;
    sideEdit.text = "bytes\r\nkept";
    combo.index = 1;
    combo.items = {"a"};
    combo.text = "t";
    FormWindow window = {&skipped, &excluded, &sideEdit, &sideButton, &combo, &unnamed};
    m_store.PersistWindow(window, ConfigStore::Direction::Save, "X", {G("选择框乙")}, false, false);
    const std::string content = m_store.Content();
    EXPECT_EQ(content.find(G("编辑框甲")), std::string::npos);
    EXPECT_EQ(content.find(G("选择框乙")), std::string::npos);
    EXPECT_EQ(content.find(G("编辑框丙")), std::string::npos);   // a side file, not a key
    EXPECT_EQ(content.find(G("组合框戊.")), std::string::npos);  // no items, no edit text
    EXPECT_NE(content.find(G("组合框戊=1")), std::string::npos);
    EXPECT_EQ(Side(charset::GbkToUtf8(G("编辑框丙"))), "bytes\r\nkept");
    // The button's tag itself goes to the side file name + ".标记".
    EXPECT_EQ(Side(charset::GbkToUtf8(G("按钮丁.标记"))), G("字节集方式"));

    // Restoring with missing keys keeps each control's current state.
    FakeControl fresh(G("组合框新"));
    fresh.index = 3;
    fresh.items = {"keep"};
    FormWindow other = {&fresh};
    m_store.PersistWindow(other, ConfigStore::Direction::Restore, "X", {}, true, true);
    EXPECT_EQ(fresh.index, 3);
    EXPECT_EQ(fresh.items, std::vector<std::string>{"keep"});
}

TEST_F(FormStateTest, DamagedItemListLeavesTheItems) {
    FakeControl list(G("列表框甲"));
    list.items = {"mine"};
    std::filesystem::create_directories(m_folder / "inibin");
    WriteFile(m_folder / ("inibin/X-" + charset::GbkToUtf8(list.name) + ".ibn"),
              "\xff\xff\xff\x7f");
    m_store.SelectSection("X");
    m_store.RestoreListBox(list);
    EXPECT_EQ(list.items, std::vector<std::string>{"mine"});
}

}  // namespace
