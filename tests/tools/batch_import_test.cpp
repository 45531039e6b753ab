#include "tools/batch_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/charset.h"
#include "core/events.h"
#include "settings/memory_site_view.h"
#include "settings/site_editor.h"
#include "settings/site_records.h"
#include "tools/memory_batch_tools_view.h"

namespace {

std::string G(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}
std::string U(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

// Removes the pump hook a test installed, whatever the test's outcome.
struct PumpHook {
    explicit PumpHook(std::function<void()> hook) { SetPumpEventsHook(std::move(hook)); }
    ~PumpHook() { SetPumpEventsHook(nullptr); }
};

// The main window showing its design values, an empty site list, and the batch tools
// window whose input dialog answers with `input`.
class BatchImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSiteToControls(DesignSiteValues(), main);
        tools.textAnswer = [this](const TextRequest& request) {
            if (!request.inputMode) return TextResult{};
            return TextResult{true, G(input)};
        };
    }

    BatchImportSummary Import(const std::string& utf8Lines) {
        input = utf8Lines;
        return BatchImportSites(windows, hooks);
    }

    const SiteConfig& Site(std::size_t i) const { return sites.at(i); }
    std::string Caption() const { return U(tools.Caption(G("按钮批量导入"))); }
    std::string Message(std::size_t i) const { return U(tools.messages.at(i).text); }
    // The failure dialog, when one was shown.
    const TextRequest* FailureDialog() const {
        for (const auto& request : tools.textRequests)
            if (!request.inputMode) return &request;
        return nullptr;
    }
    bool FailureDialogOwnerless() const {
        for (std::size_t i = 0; i < tools.textRequests.size(); ++i)
            if (!tools.textRequests[i].inputMode) return tools.textOwnerless.at(i);
        return false;
    }

    SiteList sites;
    MemorySiteView main;
    bool running = false;
    SiteEditor editor{sites, main, nullptr, [this] { return !running; }};
    MemoryBatchToolsView tools;
    BatchImportHooks hooks{{}, {}, [this] { return running; }};
    BatchImportWindows windows{tools, main, editor, sites};
    std::string input;
};

TEST(BatchImportHelpTest, PromptIsTheFormatWithAnExampleLine) {
    EXPECT_EQ(U(BatchImportHelp()),
              "一行一个站点配置，每个站点配置的不同参数以‘|’隔开\r\n\r\n"
              "格式：域名|用户|密码|编码|后台目录|文章目录|文件过滤|文件编码|更新数量|"
              "删除已更新文章|每篇间隔秒|文章首行当标题|加网页段落标签\r\n"
              "例子：www.example.com|admin|mirtle|0|admin|C:\\用于更新的文章所在目录|*.*|0|0|"
              "真|0.01|假|假\r\n\r\n"
              "（留空的参数将默认使用主界面的当前设定值；复选框的值，打勾为‘真’，不打勾为‘假’；"
              "弹出框的值，从 0 开始按顺序；导入期间请不要操作主界面）");
}

TEST(BatchImportSplitTest, LinesAndFields) {
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } lineCases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\nb", {"a\nb"}},  // only CR LF ends a line
    };
    for (const auto& c : lineCases) EXPECT_EQ(SplitImportLines(c.text), c.lines) << c.text;

    const struct {
        std::string line;
        std::vector<std::string> fields;
    } fieldCases[] = {
        {"a|b|c", {"a", "b", "c"}},
        {"a||c", {"a", "", "c"}},
        {"a|b|", {"a", "b"}},
        {"|", {""}},
        {"", {}},
        // 遼 is 0xDF 0x7C in GBK: its trail byte is a "|" that separates nothing
        {G("h|u|p|0|admin|D:\\遼寧|*.txt"), {"h", "u", "p", "0", "admin", G("D:\\遼寧"), "*.txt"}},
    };
    for (const auto& c : fieldCases) EXPECT_EQ(SplitImportFields(c.line), c.fields) << c.line;
}

TEST_F(BatchImportTest, TheHelpExampleLineSetsEveryField) {
    main.SetChecked(G("选择框删除已更新文章"), false);
    main.SetChecked(G("选择框首行标题"), true);
    main.SetIndex(G("组合框编码"), 1);
    const std::string help = U(BatchImportHelp());
    const auto from = help.find("例子：") + std::string("例子：").size();
    const std::string example = help.substr(from, help.find("\r\n", from) - from);
    const std::string line = "x." + example;  // another host than the design domain box's
    ASSERT_EQ(Import(line).imported, 1) << line;
    const SiteConfig& s = Site(0);
    EXPECT_EQ(s.域名, "x.www.example.com");
    EXPECT_EQ(s.用户, "admin");
    EXPECT_EQ(s.密码, "mirtle");
    EXPECT_EQ(s.编码, 0);
    EXPECT_EQ(s.后台, "admin");
    EXPECT_EQ(U(s.文章目录), "C:\\用于更新的文章所在目录");
    EXPECT_EQ(s.文件过滤, "*.*");
    EXPECT_EQ(s.文件编码, 0);
    EXPECT_EQ(s.更新数量, 0);
    EXPECT_TRUE(s.删除已更新文章);
    EXPECT_FLOAT_EQ(s.间隔秒1, 0.01f);
    EXPECT_FALSE(s.首行标题);
    EXPECT_FALSE(s.段落标签);
    EXPECT_TRUE(s.启用);
    EXPECT_EQ(U(main.rows.at(0).text), "x.www.example.com(admin)");
}

// One line each into an empty list, with the controls at their design values except the
// ones set here: what the site gets.
TEST_F(BatchImportTest, OneLineFieldRules) {
    const struct {
        const char* line;
        bool added;
        std::function<void(const SiteConfig&)> expect;
    } cases[] = {
        {"a.com|u|p", true,
         [](const SiteConfig& s) {
             // the other options are the controls', the character set unchanged
             EXPECT_EQ(s.编码, 1);
             EXPECT_EQ(s.后台, "manage");
             EXPECT_EQ(s.文件过滤, "*.txt");
             EXPECT_TRUE(s.删除已更新文章);
             EXPECT_EQ(s.标签数1, 3);
             EXPECT_EQ(s.别名左边, "tb_");
             EXPECT_FLOAT_EQ(s.间隔秒1, 0.01f);
         }},
        {"a.com|u|p||||||||||", true, [](const SiteConfig& s) { EXPECT_EQ(s.编码, 1); }},
        {"|u|p", false, nullptr},
        {"a.com||p", false, nullptr},
        {"a.com|u|", false, nullptr},
        {"a.com|u", false, nullptr},
        {"HTTP://A.com/ |u|p", true, [](const SiteConfig& s) { EXPECT_EQ(s.域名, "A.com"); }},
        {"a.com|u|p|0", true, [](const SiteConfig& s) { EXPECT_EQ(s.编码, 0); }},
        {"a.com|u|p|x", true, [](const SiteConfig& s) { EXPECT_EQ(s.编码, 0); }},
        {"a.com|u|p|5", true, [](const SiteConfig& s) { EXPECT_EQ(s.编码, 5); }},
        {"a.com|u|p|||||||||真", true, [](const SiteConfig& s) { EXPECT_TRUE(s.首行标题); }},
        {"a.com|u|p|||||||1", true, [](const SiteConfig& s) { EXPECT_FALSE(s.删除已更新文章); }},
        {"a.com|u|p|||||||true", true, [](const SiteConfig& s) { EXPECT_FALSE(s.删除已更新文章); }},
        {"a.com|u|p||||||||0.5|真|真", true,
         [](const SiteConfig& s) {
             EXPECT_FLOAT_EQ(s.间隔秒1, 0.5f);
             EXPECT_TRUE(s.首行标题);
             EXPECT_TRUE(s.段落标签);
         }},
        {"a.com|u|p||adm|/articles|*.htm|2|7abc", true,
         [](const SiteConfig& s) {
             EXPECT_EQ(s.后台, "adm");
             EXPECT_EQ(s.文章目录, "/articles");
             EXPECT_EQ(s.文件过滤, "*.htm");
             EXPECT_EQ(s.文件编码, 2);
             EXPECT_EQ(s.更新数量, 7);
         }},
        {"a.com|u|p||||||||||真|ignored|more", true,
         [](const SiteConfig& s) { EXPECT_TRUE(s.段落标签); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        sites.clear();
        main.ClearRows();
        WriteSiteToControls(DesignSiteValues(), main);
        main.SetIndex(G("组合框编码"), 1);
        main.SetText(G("编辑框后台"), "manage");
        main.SetText(G("编辑框文件过滤"), "*.txt");
        main.SetChecked(G("选择框删除已更新文章"), true);
        const auto summary = Import(c.line);
        ASSERT_EQ(summary.imported, c.added ? 1 : 0);
        ASSERT_EQ(sites.size(), c.added ? 1u : 0u);
        EXPECT_EQ(U(summary.failures), c.added ? "" : std::string(c.line) + "\r\n");
        if (c.expect) c.expect(Site(0));
    }
}

TEST_F(BatchImportTest, SeveralLinesWithFailuresAndTheirDialog) {
    const auto summary =
        Import("a.com|u|p\r\n\r\nb.com|u|p|1\r\na.com|u|q\r\nnouser.com\r\nc.com|u|p\r\n");
    EXPECT_EQ(summary.outcome, BatchImportOutcome::Done);
    EXPECT_EQ(summary.imported, 3);
    ASSERT_EQ(sites.size(), 3u);
    EXPECT_EQ(Site(0).域名, "a.com");
    EXPECT_EQ(Site(1).编码, 1);
    // field 4 went into the drop-down, which the next line, without one, keeps
    EXPECT_EQ(Site(2).编码, 1);
    ASSERT_EQ(tools.messages.size(), 1u);
    EXPECT_EQ(Message(0), "导入完成：导入了 3 个站点，现在总共有 3 个站点");
    EXPECT_EQ(tools.messages[0].title, "");
    const auto* failed = FailureDialog();
    ASSERT_NE(failed, nullptr);
    EXPECT_TRUE(FailureDialogOwnerless());
    EXPECT_FALSE(failed->prompt.has_value());
    EXPECT_EQ(U(failed->title), "这是导入失败的站点信息：");
    // the empty line is an empty line of the dialog; the duplicate's row text is taken
    EXPECT_EQ(U(failed->text), "\r\na.com|u|q\r\nnouser.com\r\n");
    EXPECT_EQ(Caption(), "批量导入站点");
    EXPECT_EQ(U(main.listTitle).find("emlog网站列表(3)"), 0u);
}

TEST_F(BatchImportTest, ATrailingLineBreakChangesNothing) {
    Import("a.com|u|p\r\nb.com|u|p");
    const SiteList without = sites;
    sites.clear();
    main.ClearRows();
    WriteSiteToControls(DesignSiteValues(), main);
    tools.textRequests.clear();
    Import("a.com|u|p\r\nb.com|u|p\r\n");
    ASSERT_EQ(sites.size(), without.size());
    for (std::size_t i = 0; i < sites.size(); ++i)
        EXPECT_EQ(SiteKeyValues(sites[i]), SiteKeyValues(without[i]));
    EXPECT_EQ(FailureDialog(), nullptr);
}

TEST_F(BatchImportTest, DuplicatesOfListedSitesFail) {
    Import("a.com|u|p\r\na.com|u|p");
    EXPECT_EQ(sites.size(), 1u);
    ASSERT_NE(FailureDialog(), nullptr);
    EXPECT_EQ(U(FailureDialog()->text), "a.com|u|p\r\n");
    // the same user on another domain, and another user on the same domain, are new
    EXPECT_EQ(Import("b.com|u|p\r\na.com|v|p").imported, 2);
}

TEST_F(BatchImportTest, TheInputStartsWithTheLastConfirmedText) {
    tools.SetText(G("编辑框域名列表"), G("old.com|u|p"));
    Import("a.com|u|p");
    ASSERT_FALSE(tools.textRequests.empty());
    const TextRequest& asked = tools.textRequests[0];
    EXPECT_EQ(asked.text, G("old.com|u|p"));
    EXPECT_EQ(asked.prompt, BatchImportHelp());
    EXPECT_EQ(U(asked.title), "批量导入站点");
    EXPECT_EQ(asked.width, 700);
    EXPECT_TRUE(asked.inputMode);
    EXPECT_FALSE(tools.textOwnerless.at(0));
    EXPECT_EQ(tools.Text(G("编辑框域名列表")), G("a.com|u|p"));

    // Cancel: nothing added, nothing shown, the remembered text kept
    tools.textAnswer = [](const TextRequest&) { return TextResult{}; };
    EXPECT_EQ(Import("b.com|u|p").outcome, BatchImportOutcome::Cancelled);
    EXPECT_EQ(sites.size(), 1u);
    EXPECT_EQ(tools.messages.size(), 1u);
    EXPECT_EQ(tools.Text(G("编辑框域名列表")), G("a.com|u|p"));
}

TEST_F(BatchImportTest, ASecondClickStopsBeforeTheNextLine) {
    std::string lines;
    for (int i = 1; i <= 10; ++i) lines += "s" + std::to_string(i) + ".com|u|p\r\n";
    lines.replace(lines.find("s2.com"), 6, "");  // line 2 fails: no domain
    int clicks = 0;
    std::vector<std::string> captions;
    PumpHook hook([&] {
        captions.push_back(Caption());
        if (Caption() == "已导入 3 个站点" && clicks++ == 0) {
            EXPECT_EQ(BatchImportSites(windows, hooks).outcome, BatchImportOutcome::StopRequested);
            EXPECT_EQ(Caption(), "正在停止中..");
        }
    });
    const auto summary = Import(lines);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(summary.imported, 2);  // lines 1 and 3
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(Site(1).域名, "s3.com");
    EXPECT_EQ(Message(0), "导入完成：导入了 2 个站点，现在总共有 2 个站点");
    ASSERT_NE(FailureDialog(), nullptr);
    EXPECT_EQ(U(FailureDialog()->text), "|u|p\r\n");
    EXPECT_EQ(Caption(), "批量导入站点");
    EXPECT_EQ(captions.front(), "已导入 1 个站点");
}

TEST_F(BatchImportTest, CategoriesAreReadAndCheckedWhenTheBoxesSaySo) {
    std::vector<std::string> calls;
    hooks.readCategoriesForShownSite = [&](bool quiet) {
        calls.push_back(std::string("read ") + (quiet ? "quiet" : "loud") + " " +
                        main.Text(G("编辑框域名")));
        CategoryTree tree;
        tree.items = {{G("新闻"), "3", 0, 0}, {G("体育"), "7", 0, 0}};
        main.ShowTree(tree);
    };
    hooks.setAllCategoryChecks = [&](std::int32_t mode) {
        calls.push_back("check " + std::to_string(mode));
        CategoryTree tree = main.Tree();
        for (auto& item : tree.items) item.state = CategoryTree::kChecked;
        main.ShowTree(tree);
    };
    tools.checks[G("选择框读取分类列表")] = true;
    tools.checks[G("选择框全选分类列表")] = true;
    Import("a.com|u|p\r\nb.com|u|p");
    EXPECT_EQ(calls, (std::vector<std::string>{"read quiet a.com", "check 1", "read quiet b.com",
                                               "check 1"}));
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(Site(0).分类ID, "3,7");
    EXPECT_EQ(CategoryTree::Parse(Site(1).分类数据).items.size(), 2u);

    calls.clear();
    tools.checks.clear();
    Import("c.com|u|p");
    EXPECT_TRUE(calls.empty());
}

TEST_F(BatchImportTest, RefusedWhileAnUpdateRuns) {
    running = true;
    const auto summary = Import("a.com|u|p");
    EXPECT_EQ(summary.outcome, BatchImportOutcome::Refused);
    EXPECT_TRUE(sites.empty());
    EXPECT_TRUE(tools.textRequests.empty());
    ASSERT_EQ(tools.messages.size(), 1u);
    EXPECT_EQ(Message(0), "站群更新正在进行，不能批量导入站点，请在更新结束后再试！");
    EXPECT_EQ(Caption(), "批量导入站点");
}

TEST_F(BatchImportTest, AnUpdateStartedDuringTheImportEndsIt) {
    PumpHook hook([&] {
        if (Caption() == "已导入 2 个站点") running = true;
    });
    const auto summary = Import("a.com|u|p\r\nb.com|u|p\r\nc.com|u|p");
    // line 2 was under way and the editor refused it; line 3 was never started
    EXPECT_EQ(summary.imported, 1);
    EXPECT_EQ(sites.size(), 1u);
    EXPECT_EQ(U(summary.failures), "b.com|u|p\r\n");
    EXPECT_EQ(Caption(), "批量导入站点");
}

}  // namespace
