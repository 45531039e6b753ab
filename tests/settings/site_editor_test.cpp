#include "settings/site_editor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/charset.h"
#include "settings/config_store.h"
#include "settings/memory_site_view.h"
#include "settings/site_records.h"

namespace {

std::string G(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}
std::string U(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

TEST(NormaliseDomainTest, CleansTheDomainBox) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {" HTTP://www.Exa mple.com/ ", "www.Example.com"},
        {"http://host/path/", "host/path"},
        {"\xe3\x80\x80host\xe3\x80\x80", "host"},  // the full-width blank
        {"//host//blog//", "hostblog"},
        {"http://http://x/", "x"},
        {"https://host/", "https://host"},
        {"HTTPS://Host/a/", "https://Host/a"},
        {"https://", ""},
        {"中文.com/博客/", "中文.com/博客"},
        {"   ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(U(NormaliseDomain(G(c.typed))), c.stored) << c.typed;
}

// A window's worth of controls and a few sites, with the editor over them.
class SiteEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.answer = [this](const std::string&) { return answerOk; };
    }

    void Type(const std::string& domain, const std::string& user,
              const std::string& password = "pw") {
        view.SetText(G("编辑框域名"), G(domain));
        view.SetText(G("编辑框用户"), G(user));
        view.SetText(G("编辑框密码"), G(password));
    }

    std::int32_t Add(const std::string& domain, const std::string& user) {
        Type(domain, user);
        return editor.ApplyControlsToSite(ApplyMode::Add);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& m : view.messages) out.push_back(U(m));
        return out;
    }

    std::vector<int> CheckedRows() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < view.rows.size(); ++i)
            if (view.rows[i].checked) out.push_back(static_cast<int>(i));
        return out;
    }

    SiteList sites;
    MemorySiteView view;
    bool running = false;
    bool answerOk = true;
    SiteEditor editor{sites, view, nullptr, [this] { return !running; }};
};

TEST_F(SiteEditorTest, AddNormalisesAndRefusesDuplicates) {
    EXPECT_EQ(Add(" HTTP://Blog.example.com/ ", "admin"), 0);
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(U(sites[0].域名), "Blog.example.com");
    EXPECT_EQ(sites[0].后台, "admin");  // an empty admin box
    EXPECT_TRUE(sites[0].启用);
    EXPECT_EQ(U(view.rows[0].text), "Blog.example.com(admin)");
    EXPECT_TRUE(view.rows[0].checked);
    // The same key again: refused with the question; OK locates the existing row.
    view.selected = -1;
    answerOk = true;
    EXPECT_EQ(Add("http://Blog.example.com", "admin"), -1);
    EXPECT_EQ(sites.size(), 1u);
    EXPECT_EQ(view.selected, 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              "网站列表中已存在相同的‘域名(用户名)’：Blog.example.com(admin)\r\n\r\n"
              "请更改域名或用户名，或者点击‘确定’按钮定位相同项目");
    // Another user on the same domain is another site.
    EXPECT_EQ(Add("Blog.example.com", "editor"), 1);
    EXPECT_EQ(U(view.listTitle),
              "emlog网站列表(2) - "
              "每个站点独立配置，因此任何参数改动请点击[修改]按钮来保存当前配置到该站点");
    // Silent (the batch import): a duplicate is refused without a word.
    Type("Blog.example.com", "editor");
    view.messages.clear();
    EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Add, -1, false, true), -1);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(SiteEditorTest, MissingDataIsRefusedInOrder) {
    const struct {
        const char *domain, *user, *password, *message;
    } cases[] = {
        {" http:// ", "", "", "域名不能为空！"},
        {"a.com", "", "", "用户不能为空！"},
        {"a.com", "u", "", "密码不能为空！"},
    };
    for (const auto& c : cases) {
        view.messages.clear();
        Type(c.domain, c.user, c.password);
        EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Add), -1);
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
    }
    EXPECT_TRUE(sites.empty());
}

TEST_F(SiteEditorTest, ModifyComparesOtherRowsOnly) {
    Add("a.com", "u");
    Add("b.com", "u");
    view.messages.clear();
    // Unchanged key of the selected row: accepted, the record replaced.
    view.SelectRow(1);
    Type("b.com", "u", "new");
    view.rows[1].checked = false;
    EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Modify, -1, false, true), 1);
    EXPECT_EQ(sites[1].密码, "new");
    EXPECT_FALSE(sites[1].启用);  // the row's check box decides
    // The key of another row: refused.
    Type("a.com", "u");
    EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Modify, -1, false, true), -1);
    EXPECT_EQ(U(sites[1].域名), "b.com");
    // Nothing selected.
    view.SelectRow(-1);
    EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Modify), -1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"请先选定一个站点配置再修改！"});
    // During a run no record is replaced or added.
    running = true;
    view.SelectRow(0);
    Type("c.com", "u");
    EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Modify, -1, false, true), -1);
    EXPECT_EQ(editor.ApplyControlsToSite(ApplyMode::Add, -1, false, true), -1);
    EXPECT_EQ(sites.size(), 2u);
}

TEST_F(SiteEditorTest, ShowAndReadRoundTripEveryField) {
    SiteConfig site;
    site.域名 = G("中文.com");
    site.用户 = "u";
    site.密码 = "p";
    site.后台 = "adm";
    site.编码 = 1;
    site.标签数据 = G("甲\r\n乙");
    site.标签数1 = 2;
    site.间隔秒1 = 0.01f;
    site.别名类型 = 6;
    site.别名左边 = "tb_";
    site.文件编码 = 3;
    site.首行标题 = true;
    CategoryTree tree;
    tree.items = {{G("技术"), "1", 0, 2}, {G("PHP"), "2", 1, 1}, {G("生活"), "3", 0, 0}};
    site.分类数据 = tree.Serialize();
    site.分类ID = "2";
    site.分类选择项 = 2;
    sites.push_back(site);
    view.AppendRow(SiteRowText(site), true);
    view.SelectRow(0);
    editor.ShowSelectedSite();
    EXPECT_EQ(view.Text(G("编辑框间隔秒1")), "0.01");
    EXPECT_EQ(view.Text(G("编辑框标签数1")), "2");
    const SiteConfig back = ReadSiteFromControls(view);
    EXPECT_EQ(SiteKeyValues(back), SiteKeyValues(sites[0]));
}

TEST_F(SiteEditorTest, DeleteSelectsTheNextRowOrTheNewLast) {
    Add("a.com", "u");
    Add("b.com", "u");
    Add("c.com", "u");
    view.SelectRow(0);
    editor.DeleteSite();
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(U(view.rows[0].text), "b.com(u)");
    view.SelectRow(1);
    editor.DeleteSite();
    EXPECT_EQ(view.selected, 0);  // the last row went: the new last one
    EXPECT_EQ(U(view.Text(G("编辑框域名"))), "b.com");
    editor.DeleteSite();
    EXPECT_TRUE(sites.empty());
    EXPECT_EQ(view.selected, -1);
    EXPECT_EQ(U(view.Text(G("编辑框域名"))), "b.com");  // the controls keep the values
    editor.DeleteSite();
    EXPECT_EQ(Messages(), std::vector<std::string>{"请先选定一个站点配置再删除！"});
    // Clearing asks first; Cancel keeps everything.
    Add("d.com", "u");
    answerOk = false;
    editor.ClearSites();
    EXPECT_EQ(sites.size(), 1u);
    answerOk = true;
    editor.ClearSites();
    EXPECT_TRUE(sites.empty());
    EXPECT_TRUE(view.rows.empty());
}

TEST_F(SiteEditorTest, MovesSwapRecordsAndDoNothingAtTheEnds) {
    Add("a.com", "u");
    Add("b.com", "u");
    view.rows[1].checked = false;
    sites[1].启用 = false;
    view.messages.clear();
    view.SelectRow(0);
    editor.MoveSiteUp();
    view.SelectRow(1);
    editor.MoveSiteDown();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(U(sites[0].域名), "a.com");
    editor.MoveSiteUp();
    EXPECT_EQ(U(sites[0].域名), "b.com");
    EXPECT_EQ(U(view.rows[0].text), "b.com(u)");
    EXPECT_FALSE(view.rows[0].checked);
    EXPECT_TRUE(view.rows[1].checked);
    EXPECT_EQ(view.selected, 0);
    view.SelectRow(-1);
    editor.MoveSiteDown();
    EXPECT_EQ(Messages(), std::vector<std::string>{"请选中一个网站配置再向下移动"});
}

struct RangeCase {
    bool shift, ctrl;
    std::vector<int> checked;
};

// Row 2 selected, rows 0 and 7 checked, then a click on row 5.
TEST_F(SiteEditorTest, ShiftAndCtrlCheckRanges) {
    for (const RangeCase& c :
         {RangeCase{true, false, {2, 3, 4, 5}}, RangeCase{true, true, {0, 2, 3, 4, 5, 7}},
          RangeCase{false, true, {0, 5, 7}}, RangeCase{false, false, {0, 7}}}) {
        sites.clear();
        view.rows.clear();
        for (int i = 0; i < 8; ++i) Add("s" + std::to_string(i) + ".com", "u");
        editor.SetAllEnabled(1);
        view.rows[0].checked = view.rows[7].checked = true;
        sites[0].启用 = sites[7].启用 = true;
        view.SelectRow(2);
        editor.ShowSelectedSite();  // the anchor
        view.SelectRow(5);
        editor.ShowSelectedSite(c.shift, c.ctrl);
        EXPECT_EQ(CheckedRows(), c.checked) << c.shift << c.ctrl;
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(sites[static_cast<std::size_t>(i)].启用,
                      view.rows[static_cast<std::size_t>(i)].checked);
    }
}

TEST_F(SiteEditorTest, ChecksCannotChangeDuringARun) {
    Add("a.com", "u");
    Add("b.com", "u");
    running = true;
    view.SelectRow(0);
    view.rows[0].checked = false;
    editor.RowCheckChanged();
    EXPECT_TRUE(view.rows[0].checked);
    EXPECT_TRUE(sites[0].启用);
    editor.SetAllEnabled(1);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 1}));
    running = false;
    editor.SetAllEnabled(2);
    EXPECT_TRUE(CheckedRows().empty());
    view.rows[1].checked = true;
    view.SelectRow(1);
    editor.RowCheckChanged();
    EXPECT_TRUE(sites[1].启用);
}

TEST_F(SiteEditorTest, RowChecksReachTheSettingsFileAtOnce) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("qingluan-editor-" + std::to_string(::getpid()) + ".ini");
    std::filesystem::remove(path);
    ConfigStore store;
    ASSERT_TRUE(store.Bind(path.string()));
    SiteEditor withFile(sites, view, &store, [] { return true; });
    Type("a.com", "u");
    withFile.ApplyControlsToSite(ApplyMode::Add);
    withFile.SetAllEnabled(1);
    store.SelectSection(G("站点序号_1"));
    EXPECT_FALSE(store.ReadLogical(G("启用"), true));
    store.Close();
    std::filesystem::remove(path);
}

struct DependentCase {
    int aliasType;
    bool lengths, counting, separator, affixes;
};

TEST_F(SiteEditorTest, AliasTypeDecidesTheDependentControls) {
    for (const DependentCase c :
         {DependentCase{0, false, false, false, false}, DependentCase{2, false, false, true, true},
          DependentCase{3, true, false, false, true}, DependentCase{5, true, false, false, true},
          DependentCase{6, false, true, false, true}}) {
        view.SetIndex(G("组合框别名类型"), c.aliasType);
        editor.UpdateDependentControls();
        EXPECT_EQ(view.visible[G("编辑框字母数1")], c.lengths) << c.aliasType;
        EXPECT_EQ(view.visible[G("标签到")], c.lengths) << c.aliasType;
        EXPECT_EQ(view.visible[G("编辑框别名起始值")], c.counting) << c.aliasType;
        EXPECT_EQ(view.visible[G("组合框拼音间隔符")], c.separator) << c.aliasType;
        EXPECT_EQ(view.enabled[G("编辑框别名左边")], c.affixes) << c.aliasType;
    }
    // A disabled drop-down hides all of them.
    view.SetEnabled(G("组合框别名类型"), false);
    editor.UpdateDependentControls();
    EXPECT_FALSE(view.visible[G("编辑框别名起始值")]);
    view.SetChecked(G("选择框文章中提取标签"), true);
    editor.UpdateDependentControls();
    EXPECT_FALSE(view.enabled[G("按钮输入标签组")]);
}

TEST(CategoryTreeTest, OnlyLeavesAreChosen) {
    CategoryTree tree;
    tree.items = {{G("技术"), "1", 0, 0}, {G("PHP"), "2", 1, 0}, {G("生活"), "3", 0, 0}};
    tree.FixParents();
    EXPECT_EQ(tree.items[0].state, CategoryTree::kMixed);
    tree.CheckChanged(0, CategoryTree::kChecked);  // a parent goes back
    EXPECT_EQ(tree.items[0].state, CategoryTree::kMixed);
    EXPECT_EQ(tree.CheckedValues(), "");  // none in state 1: an empty 分类ID
    // A click moves a single choice ...
    tree.SelectionChanged(1);
    EXPECT_EQ(tree.CheckedValues(), "2");
    tree.SelectionChanged(2);
    EXPECT_EQ(tree.CheckedValues(), "3");
    tree.SelectionChanged(0);  // not onto a parent
    EXPECT_EQ(tree.CheckedValues(), "3");
    // ... while several choices made with the check boxes stay.
    tree.CheckChanged(1, CategoryTree::kChecked);
    tree.SelectionChanged(2);
    EXPECT_EQ(tree.CheckedValues(), "2,3");
    // 分类数据 brings the tree back exactly.
    const CategoryTree back = CategoryTree::Parse(tree.Serialize());
    ASSERT_EQ(back.items.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.items[i].text, tree.items[i].text);
        EXPECT_EQ(back.items[i].value, tree.items[i].value);
        EXPECT_EQ(back.items[i].level, tree.items[i].level);
        EXPECT_EQ(back.items[i].state, tree.items[i].state);
    }
    EXPECT_TRUE(CategoryTree::Parse("").items.empty());
    EXPECT_TRUE(CategoryTree::Parse("\x01\x02garbage").items.empty());
}

}  // namespace
