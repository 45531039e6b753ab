#include "run/site_job.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "run_test_support.h"

namespace {

class SiteJob : public RunFixture {};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> Prefixes(const std::vector<std::string>& rows, std::size_t n) {
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(row.substr(0, std::min(row.size(), n)));
    return out;
}

// 删除已更新文章: posted files go, the one that failed stays; the retry switch decides
// how many requests a failing article costs.
TEST_F(SiteJob, DeletesPostedFilesAndKeepsTheFailedOne) {
    for (const bool retry : {true, false}) {
        MakeSites({{.articles = 4, .deletePosted = true}});
        WriteArticle(0, "坏文章");
        host->settings.选择框失败时重复尝试 = retry;
        SiteOps ops = DefaultSiteOps();
        int badAttempts = 0;
        const auto publish = ops.publish;
        ops.publish = [&](SiteConfig& site, const std::string& title, const std::string& body) {
            if (title == Gbk("坏文章")) return ++badAttempts, false;
            return publish(site, title, body);
        };
        controller->SetSiteOps(ops);
        RunOnce(false);
        EXPECT_EQ(Server().Posts(0).size(), 4u);
        EXPECT_EQ(FilesLeft(0), 1u);
        EXPECT_TRUE(std::filesystem::exists(m_folder / "articles1" / "坏文章.txt"));
        EXPECT_EQ(badAttempts, retry ? 3 : 1);
        const auto rows = host->MessagesOf(SiteText(0));
        EXPECT_NE(std::find(rows.begin(), rows.end(), "更新失败：坏文章"), rows.end());
        EXPECT_EQ(sites[0].run.articlesRead, 5);
        TearDown();
    }
}

struct ReloginCase {
    bool syncCycle;
    std::int64_t logins;
    int failureRows;
};

// Every publish fails: five in a row make an Independent job log in again and list
// again, three preparations at most; a SyncCycle site just goes on to the next article.
TEST_F(SiteJob, FiveFailuresInARowLogInAgainThreeTimesAtMost) {
    for (const ReloginCase c : {ReloginCase{false, 3, 15}, ReloginCase{true, 1, 6}}) {
        MakeSites({{.articles = 6}});
        host->settings.选择框失败时重复尝试 = false;
        sandbox::Faults faults;
        faults.page = "save_log.php";  // an error page: neither the notice nor the redirect
        faults.httpStatus = 500;
        Server().SetFaults(0, faults);
        RunOnce(c.syncCycle);
        EXPECT_EQ(Server().Counters(0).logins, c.logins);
        EXPECT_EQ(sites[0].run.posted, 0);
        const auto rows = host->MessagesOf(SiteText(0));
        int failures = 0;
        std::vector<std::string> logins;
        for (const auto& row : rows) {
            failures += StartsWith(row, "更新失败：站点1第");
            if (StartsWith(row, "开始登录")) logins.push_back(row);
        }
        EXPECT_EQ(failures, c.failureRows);
        if (!c.syncCycle) {
            EXPECT_EQ(logins, (std::vector<std::string>{"开始登录", "开始登录(第 2 次尝试)",
                                                        "开始登录(第 3 次尝试)"}));
            // Each preparation lists again.
            int lists = 0;
            for (const auto& row : rows) lists += StartsWith(row, "读取待更新文章列表成功");
            EXPECT_EQ(lists, 3);
        }
        EXPECT_EQ(rows[rows.size() - 2], "已停止更新，本次成功更新 0 篇");
        TearDown();
    }
}

// Failures of an earlier run in the same session do not count toward this run's five.
TEST_F(SiteJob, FailureStreakStartsAtZeroEveryRun) {
    MakeSites({{.articles = 4}});
    host->settings.选择框失败时重复尝试 = false;
    sites[0].run.failStreak = 4;
    sandbox::Faults faults;
    faults.page = "save_log.php";
    faults.httpStatus = 500;
    faults.count = 1;
    Server().SetFaults(0, faults);
    RunOnce(false);
    EXPECT_EQ(Server().Counters(0).logins, 1);
    EXPECT_EQ(sites[0].run.posted, 3);
}

TEST_F(SiteJob, LoginFailsThreeTimes) {
    MakeSites({{.articles = 2, .password = "wrong"}});
    RunOnce(false);
    EXPECT_EQ(
        host->MessagesOf(SiteText(0)),
        (std::vector<std::string>{
            "开始登录", "登录失败，正在重试..", "登录失败，正在重试..", "登录失败，正在重试..",
            "经过多次重试依然登录失败！将被忽略更新！", "已停止更新，本次成功更新 0 篇",
            "实际更新 0 篇（设置更新 0 篇，读取文章数 0 篇）"}));
    EXPECT_EQ(Server().Counters(0).failedLogins, 3);
}

// Missing site data, an empty and a missing folder: the site ends with its closing row
// right after its reason, in both modes; the other site is not disturbed.
TEST_F(SiteJob, SkipsSitesThatCannotRun) {
    for (const bool sync : {false, true}) {
        MakeSites({{.articles = 2, .password = "-"},
                   {.articles = 0},
                   {.articles = 0, .missingFolder = true},
                   {.articles = 2}});
        RunOnce(sync);
        const std::size_t first = sync ? 2 : 1;  // after the start rows
        EXPECT_EQ(host->rows[first].site, SiteText(0));
        EXPECT_EQ(host->rows[first].message,
                  "站点配置信息不足，请检查域名、用户名、密码是否正确！将被忽略更新！");
        EXPECT_EQ(host->MessagesOf(SiteText(0))[1], "已停止更新，本次成功更新 0 篇");
        for (std::size_t i : {std::size_t(1), std::size_t(2)}) {
            const auto rows = host->MessagesOf(SiteText(i));
            ASSERT_EQ(rows.size(), 5u);
            EXPECT_TRUE(
                StartsWith(rows[2],
                           "待更新文章数量为 0，请检查文章目录或文件过滤选项或是否已点击修改"
                           "按钮！将被忽略更新！当前站点的文件过滤为“*.txt”，文章目录为“"));
            EXPECT_TRUE(rows[2].ends_with("articles" + std::to_string(i + 1) + "”") ||
                        rows[2].ends_with("articles" + std::to_string(i + 1) + "/”"))
                << rows[2];
            EXPECT_EQ(rows[3], "已停止更新，本次成功更新 0 篇");
        }
        EXPECT_EQ(Server().Posts(3).size(), 2u);
        EXPECT_EQ(Server().Counters(0).requests, 0);
        TearDown();
    }
}

// A stop of one site during its pause: it posts nothing more, at once, and the other
// site goes on to its end.
TEST_F(SiteJob, StopOfOneSiteWhileItWaits) {
    MakeSites({{.articles = 5, .pause = 30.0f}, {.articles = 5, .pause = 0.05f}});
    host->onRow = [this](const LogRow& row) {
        if (row.site == SiteText(0) && StartsWith(row.message, "已成功更新 1 篇"))
            controller->RequestSiteStop(1);
    };
    const auto start = clock_::TickMs();
    RunOnce(false);
    EXPECT_LT(clock_::TickMs() - start, 10000);
    EXPECT_EQ(Server().Posts(0).size(), 1u);
    EXPECT_EQ(Server().Posts(1).size(), 5u);
    const auto rows = host->MessagesOf(SiteText(0));
    EXPECT_EQ(Prefixes(rows, 0).size(), 6u);
    EXPECT_EQ(rows[4], "已停止更新，本次成功更新 1 篇");
    EXPECT_EQ(host->MessagesOf(SiteText(1))[8], "已停止更新，本次成功更新 5 篇");
}

// A site whose articles give no text: each is logged and skipped, nothing is posted.
TEST_F(SiteJob, EmptyArticleIsSkipped) {
    MakeSites({{.articles = 1}});
    std::ofstream(m_folder / "articles1" / "空白.txt", std::ios::binary) << "";
    RunOnce(true);
    EXPECT_EQ(Server().Posts(0).size(), 1u);
    const auto rows = host->MessagesOf(SiteText(0));
    int missing = 0;
    for (const auto& row : rows)
        missing += StartsWith(row, "文章不存在：") && row.ends_with("空白.txt");
    EXPECT_EQ(missing, 1);
}

}  // namespace
