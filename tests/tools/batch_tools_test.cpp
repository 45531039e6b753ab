#include "tools/batch_tools.h"

#include <gtest/gtest.h>

#include <fstream>

#include "batch_tools_fixture.h"
#include "core/platform/files.h"
#include "emlog/login.h"
#include "emlog/publish.h"

namespace {

class BatchOpsTest : public BatchToolsTest {
protected:
    std::string D(std::size_t index) { return Server().Domain(index); }

    // Articles 1 … n on site `index`.
    void Publish(std::size_t index, int n) {
        SiteConfig site = Record(index);
        ASSERT_TRUE(Login(site, false));
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(::Publish(site, G("文章") + std::to_string(i), G("正文")));
    }

    std::vector<std::int32_t> PostIds(std::size_t index) {
        std::vector<std::int32_t> ids;
        for (const auto& post : Server().Posts(index)) ids.push_back(post.id);
        return ids;
    }

    void TypeLines(const std::string& utf8Lines) {
        batch.textAnswer = [text = G(utf8Lines)](const TextRequest& request) {
            return request.inputMode ? TextResult{true, text} : TextResult{};
        };
    }
};

TEST_F(BatchOpsTest, ScopeChoosesTheRows) {
    Publish(0, 1);
    Publish(2, 1);
    struct Case {
        const char* radio;
        std::int32_t selected;
        std::vector<bool> checked;
        std::vector<std::size_t> expected;
    };
    const Case cases[] = {
        {"单选框选定", -1, {true, true, true}, {}},
        {"单选框选定", 2, {true, true, true}, {2}},
        {"单选框勾选", 0, {false, false, false}, {}},
        {"单选框勾选", 0, {false, true, true}, {1, 2}},
        {"单选框全部", -1, {false, false, false}, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < 3; ++i) view.rows[i].checked = c.checked[i];
        view.SelectRow(c.selected);
        editor->ShowSelectedSite();
        batch.ChooseScope(G(c.radio));
        std::vector<std::size_t> visited;
        tools->ForEachBatchSite(false, [&](std::int32_t row) {
            visited.push_back(static_cast<std::size_t>(row));
            EXPECT_EQ(view.SelectedRow(), row);
            EXPECT_EQ(view.Text(G("编辑框域名")), D(static_cast<std::size_t>(row)));
            return true;
        });
        EXPECT_EQ(visited, c.expected) << c.radio << " " << c.selected;
    }
    // No site: the final message still comes, with an empty report.
    view.SelectRow(-1);
    batch.ChooseScope(G("单选框选定"));
    const auto before = Requests();
    const BatchOutcome outcome = tools->BatchDeleteArticles();
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.sites, 0);
    EXPECT_EQ(LastTitle(), "全部删除完成！");
    EXPECT_EQ(LastMessage(), "");
    EXPECT_EQ(Requests(), before);
}

TEST_F(BatchOpsTest, ArticleRangesGoEitherWayAndEveryIdCounts) {
    struct Case {
        const char* start;
        const char* end;
        std::vector<std::int32_t> left;  // of articles 1 … 8
        const char* counts;
    };
    const Case cases[] = {
        {"6", "10", {1, 2, 3, 4, 5}, "已删除成功 3 失败 2"},
        {"10", "6", {1, 2, 3, 4, 5}, "已删除成功 3 失败 2"},
        {"3", "3", {1, 2, 4, 5, 6, 7, 8}, "已删除成功 1 失败 0"},
        {"", "", {1, 2, 3, 4, 5, 6, 7, 8}, "已删除成功 0 失败 1"},  // one request for id 0
    };
    batch.ChooseScope(G("单选框全部"));
    for (const Case& c : cases) {
        Restart();  // a fresh server per case
        Publish(0, 8);
        batch.ChooseScope(G("单选框选定"));
        view.SelectRow(0);
        editor->ShowSelectedSite();
        batch.SetText(G("编辑框起始ID"), c.start);
        batch.SetText(G("编辑框终止ID"), c.end);
        const auto before = Server().Counters(0).requests;
        const BatchOutcome outcome = tools->BatchDeleteArticles();
        EXPECT_EQ(PostIds(0), c.left) << c.start << "-" << c.end;
        EXPECT_EQ(LastMessage(), D(0) + " " + c.counts + "\r\n");
        EXPECT_EQ(U(batch.questions.back()),
                  std::string("确定要删除 ID 从 ") + c.start + " 到 " + c.end + " 的文章吗？");
        EXPECT_EQ(U(batch.Caption(G("按钮删除文章"))), "批量删除文章");
        EXPECT_TRUE(batch.Enabled(G("单选框全部")));
        EXPECT_TRUE(view.Enabled(G("分组框3")));
        const std::string counts = c.counts;
        const int sent = std::stoi(counts.substr(counts.find("成功 ") + 7)) +
                         std::stoi(counts.substr(counts.find("失败 ") + 7));
        // login (2), each confirmed deletion with its redirect (2), each failed one (1)
        const int deleted = std::stoi(counts.substr(counts.find("成功 ") + 7));
        EXPECT_EQ(Server().Counters(0).requests - before, 2 + sent + deleted);
        EXPECT_EQ(outcome.loginFailures, 0);
    }
}

TEST_F(BatchOpsTest, LoginFailuresGetTheirLineAndTheOthersGoOn) {
    SiteConfig wrong = Record(1);
    wrong.密码 = "wrong";
    Replace(1, wrong);
    Publish(0, 2);
    Publish(2, 2);
    batch.ChooseScope(G("单选框全部"));
    batch.SetText(G("编辑框起始ID"), "1");
    batch.SetText(G("编辑框终止ID"), "2");
    BatchOutcome outcome = tools->BatchDeleteArticles();
    EXPECT_EQ(outcome.loginFailures, 1);
    EXPECT_EQ(LastMessage(), D(0) + " 已删除成功 2 失败 0\r\n" + D(1) + " 登录失败\r\n" + D(2) +
                                 " 已删除成功 2 失败 0\r\n");
    EXPECT_TRUE(platform::FileExists(LoginFailurePagePath()));

    batch.SetText(G("编辑框起始ID1"), "12");
    batch.SetText(G("编辑框终止ID1"), "13");
    outcome = tools->BatchDeleteCategories();
    EXPECT_EQ(LastTitle(), "全部删除完成！");
    EXPECT_EQ(LastMessage(),
              D(0) + " 成功 2 失败 0\r\n" + D(1) + " 登录失败\r\n" + D(2) + " 成功 2 失败 0\r\n");
    EXPECT_EQ(U(batch.questions.back()), "确定要删除 ID 从 12 到 13 的分类吗？");
    EXPECT_TRUE(CategoryNames(0).empty());
    EXPECT_EQ(CategoryNames(1).size(), 1u);
}

TEST_F(BatchOpsTest, CancelledConfirmationSendsNothing) {
    batch.ChooseScope(G("单选框全部"));
    batch.answer = [](const std::string&) { return false; };
    const auto before = Requests();
    EXPECT_FALSE(tools->BatchDeleteArticles().started);
    EXPECT_FALSE(tools->BatchDeleteCategories().started);
    EXPECT_FALSE(tools->BatchReadCategories().started);
    EXPECT_EQ(Requests(), before);
    EXPECT_TRUE(batch.messages.empty());
    EXPECT_EQ(view.SelectedRow(), -1);
    EXPECT_TRUE(batch.enabled.empty()) << "no control was disabled";
}

TEST_F(BatchOpsTest, SecondClickStopsInTheMiddleAndTheReportStillComes) {
    Publish(0, 8);
    Publish(1, 8);
    batch.ChooseScope(G("单选框全部"));
    batch.SetText(G("编辑框起始ID"), "8");
    batch.SetText(G("编辑框终止ID"), "1");
    bool clicked = false;
    SetPumpEventsHook([&] {
        // The click comes once the caption shows the third deletion counted (pumps also
        // run inside the requests' waits, where the server may be a deletion ahead).
        if (!clicked && U(batch.Caption(G("按钮删除文章"))) == D(0) + "\r\n 已删除成功 3 失败 0") {
            clicked = true;
            tools->BatchDeleteArticles();  // the second click
            // A click on another batch button meanwhile is refused.
            tools->BatchCreateCategories(false);
        }
    });
    const BatchOutcome outcome = tools->BatchDeleteArticles();
    SetPumpEventsHook({});
    EXPECT_TRUE(clicked);
    EXPECT_EQ(PostIds(0), (std::vector<std::int32_t>{1, 2, 3, 4, 5})) << "8, 7, 6 went first";
    EXPECT_EQ(Server().Posts(1).size(), 8u) << "the site loop ended too";
    EXPECT_EQ(outcome.sites, 1);
    ASSERT_GE(batch.messages.size(), 2u);
    EXPECT_EQ(U(batch.messages[0].text), "另一个批处理操作正在进行，请等它完成或先停止它。");
    EXPECT_EQ(LastMessage(), D(0) + " 已删除成功 3 失败 0\r\n");
    EXPECT_EQ(U(batch.Caption(G("按钮删除文章"))), "批量删除文章");
    EXPECT_TRUE(view.Enabled(G("分组框3")));
}

TEST_F(BatchOpsTest, CreateDealsLinesOutInTurnInTheDifferentMode) {
    TypeLines("甲|a\r\n乙|b\r\n丙|c");
    batch.ChooseScope(G("单选框全部"));
    batch.indices[G("组合框分类方式")] = 1;
    batch.SetText(G("编辑框分类数1"), "2");
    batch.SetText(G("编辑框分类数2"), "2");
    const BatchOutcome outcome = tools->BatchCreateCategories(false);
    EXPECT_EQ(CategoryNames(0), (std::vector<std::string>{"父类", "甲", "乙"}));
    EXPECT_EQ(CategoryNames(1), (std::vector<std::string>{"父类", "丙", "甲"}));
    EXPECT_EQ(CategoryNames(2), (std::vector<std::string>{"父类", "乙", "丙"}));
    EXPECT_EQ(LastTitle(), "全部创建完成！");
    EXPECT_EQ(LastMessage(), D(0) + " 成功 2 失败 0\r\n" + D(1) + " 成功 2 失败 0\r\n" + D(2) +
                                 " 成功 2 失败 0\r\n");
    EXPECT_EQ(U(batch.Text(G("编辑框分类列表"))), "甲|a\r\n乙|b\r\n丙|c");
    EXPECT_EQ(U(batch.textRequests[0].title), "创建分类");
    EXPECT_TRUE(outcome.failedCategories.empty());
    EXPECT_EQ(batch.textRequests.size(), 1u) << "no failure dialog";
}

TEST_F(BatchOpsTest, CreateSameModeFillsAliasTemplateAndListsFailures) {
    TypeLines("体育\r\n体育2|sports|my_tpl|描述\r\n重复|sports\r\n");
    batch.ChooseScope(G("单选框选定"));
    view.SelectRow(1);  // the GBK site
    editor->ShowSelectedSite();
    batch.SetText(G("编辑框父类ID"), "12");
    tools->BatchCreateCategories(false);
    const auto categories = Server().Categories(1);
    ASSERT_EQ(categories.size(), 3u);
    EXPECT_EQ(categories[1].name, "体育");
    EXPECT_EQ(categories[1].alias, "tiyu");
    EXPECT_EQ(categories[1].templateName, "log_list");
    EXPECT_EQ(categories[1].parent, 12);
    EXPECT_EQ(categories[2].alias, "sports");
    EXPECT_EQ(categories[2].templateName, "my_tpl");
    EXPECT_EQ(categories[2].description, "描述");
    EXPECT_EQ(LastMessage(), D(1) + " 成功 2 失败 1\r\n");
    ASSERT_EQ(batch.textRequests.size(), 2u);
    const TextRequest& failures = batch.textRequests[1];
    EXPECT_FALSE(failures.inputMode);
    EXPECT_FALSE(failures.prompt.has_value());
    EXPECT_EQ(U(failures.title), "失败的分类：");
    EXPECT_EQ(U(failures.text),
              "站点 " + D(1) + " 创建失败的分类数据：\r\n重复|sports\r\n\r\n\r\n");
}

TEST_F(BatchOpsTest, CreateFromFilesTakesTheParentFromTheFileName) {
    const auto file = m_folder / "12.txt";
    std::ofstream(file, std::ios::binary) << G("新闻|xinwen\r\n国内\r\n");
    batch.pickedFiles = {file.string()};
    batch.ChooseScope(G("单选框选定"));
    view.SelectRow(0);
    editor->ShowSelectedSite();
    tools->BatchCreateCategories(true);
    EXPECT_EQ(U(batch.pickTitles.at(0)), "选择多个文件，文件名为父id，文件内容为要创建的分类列表");
    const auto categories = Server().Categories(0);
    ASSERT_EQ(categories.size(), 3u);
    for (std::size_t i : {1u, 2u}) EXPECT_EQ(categories[i].parent, 12) << i;
    EXPECT_EQ(categories[2].alias, "guonei");
    // No file chosen: nothing happens.
    batch.pickedFiles.clear();
    const auto before = Requests();
    EXPECT_FALSE(tools->BatchCreateCategories(true).started);
    EXPECT_EQ(Requests(), before);
}

TEST_F(BatchOpsTest, BatchReadSavesWhatWasReadAndKeepsWhatCouldNotBe) {
    // Site 1 had a checked category before; site 2 now refuses its login.
    SiteConfig first = Record(0);
    CategoryTree stored;
    stored.items.push_back({G("父类[12]"), "12", 0, CategoryTree::kChecked});
    first.分类数据 = stored.Serialize();
    first.分类ID = "12";
    Replace(0, first);
    SiteConfig wrong = Record(1);
    wrong.密码 = "wrong";
    CategoryTree old;
    old.items.push_back({G("旧[5]"), "5", 0, CategoryTree::kChecked});
    wrong.分类数据 = old.Serialize();
    wrong.分类ID = "5";
    Replace(1, wrong);
    batch.ChooseScope(G("单选框全部"));
    const BatchOutcome outcome = tools->BatchReadCategories();
    EXPECT_EQ(U(batch.questions.back()), "确定要读取全部网站的分类列表？");
    EXPECT_EQ(sites[0].分类ID, "12") << "the check survived the re-read";
    EXPECT_EQ(sites[2].分类ID, "");
    EXPECT_EQ(CategoryTree::Parse(sites[2].分类数据).items.size(), 1u);
    EXPECT_EQ(sites[1].分类数据, old.Serialize());
    EXPECT_EQ(sites[1].分类ID, "5");
    EXPECT_EQ(outcome.loginFailures, 1);
    EXPECT_EQ(LastMessage(),
              "批量读取完成！已经自动写入对应站点配置（无需手动点击【修改】按钮）\r\n"
              "未能读取分类列表的站点（已保留原有分类设置）：" +
                  D(1) + "(admin)");
    EXPECT_EQ(U(batch.Caption(G("按钮批量读取"))), "批量读取已有站点的分类列表");

    // Check-all and skip-read: site 2 (empty tree) is read again, the others skipped.
    sites[2].分类数据.clear();
    batch.checks[G("选择框跳过已读站点")] = true;
    batch.checks[G("选择框全选分类列表")] = true;
    sites[1].密码 = "admin888";
    sites[1].分类数据.clear();
    const auto before = Server().Counters(0).requests;
    tools->BatchReadCategories();
    EXPECT_EQ(Server().Counters(0).requests, before) << "site 1 has a tree: skipped";
    EXPECT_EQ(sites[1].分类ID, "12");
    EXPECT_EQ(sites[2].分类ID, "12");
}

TEST_F(BatchOpsTest, BatchReadIsRefusedDuringARunWhileDeletionsGoOn) {
    runActive = true;
    batch.ChooseScope(G("单选框全部"));
    const auto before = Requests();
    EXPECT_FALSE(tools->BatchReadCategories().started);
    EXPECT_EQ(Requests(), before);
    EXPECT_TRUE(batch.questions.empty());
    EXPECT_EQ(LastMessage(),
              "站群更新正在进行，批量读取分类列表会改写站点配置，请在更新结束后再读取。");
    Publish(2, 1);
    batch.SetText(G("编辑框起始ID"), "1");
    batch.SetText(G("编辑框终止ID"), "1");
    EXPECT_TRUE(tools->BatchDeleteArticles().started);
    EXPECT_TRUE(Server().Posts(2).empty());
}

TEST_F(BatchOpsTest, SecondClickOnTheBatchReadStopsAtTheNextSite) {
    batch.ChooseScope(G("单选框全部"));
    bool clicked = false;
    SetPumpEventsHook([&] {
        if (!clicked && view.SelectedRow() == 0 && Server().Counters(0).logins == 1) {
            clicked = true;
            tools->BatchReadCategories();
        }
    });
    const BatchOutcome outcome = tools->BatchReadCategories();
    SetPumpEventsHook({});
    EXPECT_TRUE(clicked);
    EXPECT_EQ(outcome.sites, 1);
    EXPECT_EQ(Server().Counters(1).logins, 0);
    EXPECT_EQ(CategoryTree::Parse(sites[0].分类数据).items.size(), 1u)
        << "the current site finished";
    EXPECT_EQ(U(batch.messages.back().text).rfind("批量读取完成！", 0), 0u);
    EXPECT_EQ(U(batch.Caption(G("按钮批量读取"))), "批量读取已有站点的分类列表");
}

}  // namespace
