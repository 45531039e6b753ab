#include "tools/category_tools.h"

#include <gtest/gtest.h>

#include "batch_tools_fixture.h"
#include "tools/category_lines.h"

namespace {

TEST(SessionFromControlsTest, BuildsTheRecordFromTheSiteBox) {
    struct Case {
        const char* domain;
        bool alternate;
        const char* expected;
    };
    const Case cases[] = {
        {" http://www.blog.cn/ ", false, "www.blog.cn"},
        {"www.blog.cn", true, "blog.cn"},
        {"www.blog.www.cn", true, "blog.cn"},  // every "www." goes
        {"blog.cn", true, "www.blog.cn"},
        {"WWW.blog.cn", true, "www.WWW.blog.cn"},  // only the lower-case form counts
        {"https://www.blog.cn", true, "https://blog.cn"},
        {"https://blog.cn", true, "https://www.blog.cn"},
    };
    for (const Case& c : cases) {
        MemorySiteView view;
        view.SetText(G("编辑框域名"), c.domain);
        view.SetText(G("编辑框用户"), " u ");
        view.SetText(G("编辑框密码"), "p&w");
        view.SetIndex(G("组合框编码"), 1);
        const SiteConfig site = SessionFromControls(view, c.alternate);
        EXPECT_EQ(site.域名, c.expected) << c.domain;
        EXPECT_EQ(site.用户, " u ");
        EXPECT_EQ(site.密码, "p&w");
        EXPECT_EQ(site.编码, 1);
        EXPECT_EQ(site.后台, "admin");
        EXPECT_TRUE(site.token.empty());
    }
}

TEST(CategoryLinesTest, SplitsFieldsAndLinesAsEntered) {
    const CategoryFields two = ParseCategoryLine(G("体育|sports"), "3");
    EXPECT_EQ(two.name, G("体育"));
    EXPECT_EQ(two.alias, "sports");
    EXPECT_EQ(two.templateName, "");
    EXPECT_EQ(two.pid, "3");
    const CategoryFields many = ParseCategoryLine(G(" a |b||d|e|f"), "0");
    EXPECT_EQ(many.name, " a ");
    EXPECT_EQ(many.templateName, "");
    EXPECT_EQ(many.description, "d");
    // 乗 is 81 7C in GBK: its trail byte is "|" and must not split the name.
    const CategoryFields trail = ParseCategoryLine("\x81\x7C|x", "0");
    EXPECT_EQ(trail.name, "\x81\x7C");
    EXPECT_EQ(trail.alias, "x");

    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitCrLfLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitCrLfLines("a\nb"), (Lines{"a\nb"}));
    EXPECT_EQ(SplitCrLfLines(""), Lines{});
}

using CategoryToolsTest = BatchToolsTest;

TEST_F(CategoryToolsTest, ReadShowsTheTreeAndKeepsChecksAndSelection) {
    view.SelectRow(0);
    editor->ShowSelectedSite();
    CategoryTools categories(view, state);
    ASSERT_EQ(categories.ReadCategoriesForShownSite(true), CategoryReadOutcome::Read);
    ASSERT_EQ(view.tree.items.size(), 1u);
    EXPECT_EQ(U(view.tree.items[0].text), "父类[12]");
    view.tree.items[0].state = CategoryTree::kChecked;
    view.SelectTreeItem(0);
    ASSERT_EQ(categories.ReadCategoriesForShownSite(true), CategoryReadOutcome::Read);
    EXPECT_EQ(view.tree.CheckedValues(), "12");
    EXPECT_EQ(view.treeSelected, 0);
    EXPECT_EQ(U(view.Caption(G("按钮读取分类列表"))), "读取分类列表");
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(CategoryToolsTest, FailedLoginTriesTheOtherHostAndKeepsTheFormThatWorked) {
    // "www." goes from host and path alike: only the second form names the sandbox site.
    const std::string port = std::to_string(Server().port());
    view.SetText(G("编辑框域名"), "www.localhost:" + port + "/www.s1");
    view.SetText(G("编辑框用户"), "admin");
    view.SetText(G("编辑框密码"), "admin888");
    CategoryTools categories(view, state);
    EXPECT_EQ(categories.ReadCategoriesForShownSite(true), CategoryReadOutcome::Read);
    EXPECT_EQ(view.Text(G("编辑框域名")), "localhost:" + port + "/s1");
    EXPECT_EQ(view.tree.items.size(), 1u);

    view.SetText(G("编辑框密码"), "wrong");
    view.tree.items[0].state = CategoryTree::kChecked;
    EXPECT_EQ(categories.ReadCategoriesForShownSite(false), CategoryReadOutcome::LoginFailed);
    EXPECT_TRUE(view.tree.items.empty());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(U(view.messages[0]).substr(0, 12), "登录失败");
    EXPECT_EQ(Server().Counters(0).failedLogins, 2);  // both host forms were tried
}

TEST_F(CategoryToolsTest, ReadPressedAgainStopsTheRunningRead) {
    view.SelectRow(0);
    editor->ShowSelectedSite();
    CategoryTools categories(view, state);
    // The second press arrives while the first one waits for its first page.
    int pumps = 0;
    SetPumpEventsHook([&] {
        if (++pumps == 1) categories.ReadCategoriesForShownSite(false);
    });
    EXPECT_EQ(categories.ReadCategoriesForShownSite(true), CategoryReadOutcome::Stopped);
    SetPumpEventsHook({});
    EXPECT_TRUE(view.tree.items.empty()) << "every read after the press did nothing";
    EXPECT_EQ(U(view.Caption(G("按钮读取分类列表"))), "读取分类列表");
}

TEST_F(CategoryToolsTest, CheckButtonsAndCategoryPage) {
    view.tree = CategoryTree::Parse(
        "QLTREE1\r\n0\t0\t1\tA[1]\r\n1\t1\t2\tB[2]\r\n1\t0\t3\tC[3]\r\n0\t0\t4\tD[4]\r\n");
    CategoryTools categories(view, state, [](const std::string&) { return true; });
    categories.SetAllCategoryChecks(0);
    EXPECT_EQ(view.tree.CheckedValues(), "3,4");
    categories.SetAllCategoryChecks(0);
    EXPECT_EQ(view.tree.CheckedValues(), "2");
    categories.SetAllCategoryChecks(1);
    EXPECT_EQ(view.tree.CheckedValues(), "2,3,4");
    EXPECT_EQ(view.tree.items[0].state, CategoryTree::kMixed);
    categories.SetAllCategoryChecks(-1);
    EXPECT_EQ(view.tree.CheckedValues(), "");

    std::string opened;
    CategoryTools page(view, state, [&](const std::string& url) {
        opened = url;
        return true;
    });
    view.SetText(G("编辑框域名"), " http://blog.cn/ ");
    view.SelectTreeItem(-1);
    EXPECT_EQ(page.OpenCategoryPage(), "");
    EXPECT_EQ(opened, "");
    view.SelectTreeItem(2);
    EXPECT_EQ(page.OpenCategoryPage(), "http://blog.cn?sort=3");
    EXPECT_EQ(opened, "http://blog.cn?sort=3");
    view.SetText(G("编辑框域名"), "https://blog.cn");
    EXPECT_EQ(page.OpenCategoryPage(), "https://blog.cn?sort=3");
}

}  // namespace
