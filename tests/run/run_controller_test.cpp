#include "run/run_controller.h"

#include <gtest/gtest.h>

#include <set>

#include "core/clock.h"
#include "run_test_support.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::size_t IndexOf(const std::vector<LogRow>& rows, const std::string& site,
                    const std::string& messagePrefix) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].site == site && StartsWith(rows[i].message, messagePrefix)) return i;
    return std::string::npos;
}

class RunFlow : public RunFixture {};

struct QuotaCase {
    const char* name;
    bool syncCycle;
    std::vector<SiteSetup> sites;
    bool globalQuota;
    const char* globalCount;
    std::vector<int> posted;
};

class RunScenarios : public RunFixture, public ::testing::WithParamInterface<QuotaCase> {};

// Both modes, per-site and global quotas, UTF-8 and GBK sites: what arrives, what the
// log says per site and in the summary, and how the controls go and come back.
TEST_P(RunScenarios, PostsQuotaLogAndSummary) {
    const QuotaCase& c = GetParam();
    MakeSites(c.sites);
    host->settings.启用全局更新数量 = c.globalQuota;
    host->settings.全局更新数量 = c.globalCount;
    RunOnce(c.syncCycle);

    int total = 0;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const SiteSetup& setup = c.sites[i];
        const int expected = c.posted[i];
        total += expected;
        // Every article arrives at most once, and exactly the expected number of them.
        const auto titles = PostedTitles(i);
        EXPECT_EQ(static_cast<int>(titles.size()), expected) << i;
        EXPECT_EQ(std::set<std::string>(titles.begin(), titles.end()).size(), titles.size());
        for (const auto& title : titles)
            EXPECT_TRUE(StartsWith(title, "站点" + std::to_string(i + 1) + "第")) << title;

        const std::int32_t quota = c.globalQuota ? std::atoi(c.globalCount) : setup.quota;
        std::vector<std::string> want = {
            "开始登录", "登录成功！",
            "读取待更新文章列表成功，总共 " + std::to_string(setup.articles) +
                " 篇文章！当前设置本站点更新" +
                (quota > 0 ? " " + std::to_string(quota) + " 篇" : "本次读取到的所有文章")};
        for (int k = 1; k <= expected; ++k) want.push_back("已成功更新 " + std::to_string(k));
        want.push_back("已停止更新，本次成功更新 " + std::to_string(expected) + " 篇");
        const std::string shown = std::to_string(quota > 0 ? quota : setup.articles);
        want.push_back("实际更新 " + std::to_string(expected) + " 篇（设置更新 " + shown +
                       " 篇，读取文章数 " + std::to_string(setup.articles) + " 篇）");
        const auto got = host->MessagesOf(SiteText(i));
        ASSERT_EQ(got.size(), want.size()) << i;
        for (std::size_t k = 0; k < want.size(); ++k)
            EXPECT_TRUE(StartsWith(got[k], want[k])) << got[k];
        for (int k = 1; k <= expected; ++k) {
            const std::string& row = got[2 + static_cast<std::size_t>(k)];
            EXPECT_TRUE(row.ends_with("篇文章[分类:1]") || row.ends_with("篇文章[分类:2]")) << row;
        }
    }
    const auto global = host->MessagesOf("全局");
    std::vector<std::string> wantGlobal = {"站群更新开始，当前时间点是："};
    if (c.syncCycle) {
        wantGlobal.push_back("正在进行更新前的准备工作(如登录站点、读取待更新文章列表等等)...");
        wantGlobal.push_back("更新前的准备工作已就绪");
    }
    wantGlobal.push_back("站群更新结束，当前时间点是：");
    wantGlobal.push_back("下面是本次更新的站点情况一览表");
    wantGlobal.push_back("总更新了 " + std::to_string(total) + " 篇文章，更新耗费 ");
    ASSERT_EQ(global.size(), wantGlobal.size());
    for (std::size_t k = 0; k < global.size(); ++k)
        EXPECT_TRUE(StartsWith(global[k], wantGlobal[k]));
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_TRUE(StartsWith(host->messages[0],
                           "更新完成！总更新了 " + std::to_string(total) + " 篇文章，更新耗费 "));
    EXPECT_EQ(controller->State().totalPosted.load(), total);
    EXPECT_EQ(host->offThreadCalls, 0);
    EXPECT_FALSE(controller->IsRunning());
    EXPECT_EQ(host->startCaption, "开始站群更新");
    EXPECT_EQ(host->events.front(), "caption:停止站群更新");
    EXPECT_EQ(host->events.back(), "caption:开始站群更新");
    for (bool enabled : host->rowEnabled) EXPECT_TRUE(enabled);
    EXPECT_TRUE(host->logVisible);
    EXPECT_EQ(shutdownRequests, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Run, RunScenarios,
    ::testing::Values(QuotaCase{"IndependentSiteQuota",
                                false,
                                {{.articles = 12, .quota = 3}, {.articles = 3}},
                                false,
                                "0",
                                {3, 3}},
                      QuotaCase{"SyncSiteQuota",
                                true,
                                {{.articles = 12, .quota = 3}, {.articles = 3}},
                                false,
                                "0",
                                {3, 3}},
                      QuotaCase{"IndependentGlobalQuota",
                                false,
                                {{.articles = 10, .quota = 2},
                                 {.articles = 10},
                                 {.articles = 2, .gbkSite = true}},
                                true,
                                "4",
                                {4, 4, 2}},
                      QuotaCase{"SyncGlobalZeroIsNoQuota",
                                true,
                                {{.articles = 5, .quota = 2}, {.articles = 4, .gbkSite = true}},
                                true,
                                "0",
                                {5, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFlow, NoSiteCheckedGoesStraightToTheSummary) {
    MakeSites({{.articles = 2}, {.articles = 2}});
    for (auto& site : sites) site.启用 = false;
    RunOnce(true);
    std::vector<std::string> global;
    for (const auto& row : host->rows) {
        EXPECT_EQ(row.site, "全局");
        global.push_back(row.message);
    }
    ASSERT_EQ(global.size(), 6u);
    EXPECT_TRUE(StartsWith(global[2], "更新前的准备工作已就绪"));
    EXPECT_TRUE(StartsWith(global[5], "总更新了 0 篇文章"));
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_TRUE(StartsWith(host->messages[0], "更新完成！总更新了 0 篇文章，更新耗费 "));
    EXPECT_EQ(Server().TotalRequests(), 0);
}

// A stop while sites wait for a slot: they never start; a second press changes nothing.
TEST_F(RunFlow, StopWhileSitesWaitForASlot) {
    MakeSites({{.articles = 5, .pause = 0.2f}, {.articles = 5}, {.articles = 5}});
    host->settings.同时站点数 = "1";
    host->onRow = [this](const LogRow& row) {
        if (StartsWith(row.message, "已成功更新 1 篇")) {
            controller->StartOrStop(RunOrigin::Button);
            controller->StartOrStop(RunOrigin::Button);
        }
    };
    RunOnce(false);
    int stopping = 0;
    for (const auto& event : host->events) stopping += event == "caption:正在停止中..";
    EXPECT_EQ(stopping, 2);
    EXPECT_EQ(host->events.back(), "caption:开始站群更新");
    const auto forced = IndexOf(host->rows, SiteText(1), "已强制全部停止更新");
    ASSERT_NE(forced, std::string::npos);
    EXPECT_LT(forced, IndexOf(host->rows, "全局", "站群更新结束"));
    for (std::size_t i : {std::size_t(1), std::size_t(2)}) {
        EXPECT_TRUE(Server().Posts(i).empty());
        const auto rows = host->MessagesOf(SiteText(i));
        EXPECT_EQ(rows.back(), "实际更新 0 篇（设置更新 0 篇，读取文章数 0 篇）");
    }
    EXPECT_EQ(sites[0].run.posted, 1);
    EXPECT_EQ(host->MessagesOf(SiteText(0)).size(), 6u);  // login, ok, list, 1 post, end, table
    EXPECT_TRUE(StartsWith(host->messages.at(0), "更新完成！总更新了 1 篇文章"));
}

// 同时站点数 0: the first site runs, the others wait until the user stops the run.
TEST_F(RunFlow, ConcurrencyZeroStartsOneSiteOnly) {
    MakeSites({{.articles = 2}, {.articles = 2}});
    host->settings.同时站点数 = "0";
    std::int64_t firstDone = 0;
    host->onRow = [&](const LogRow& row) {
        if (StartsWith(row.message, "已停止更新")) firstDone = clock_::TickMs();
    };
    SetPumpEventsHook([&] {
        if (firstDone && clock_::TickMs() - firstDone > 400 && controller->IsRunning())
            controller->StartOrStop(RunOrigin::Button);
    });
    RunOnce(false);
    EXPECT_EQ(Server().Posts(0).size(), 2u);
    EXPECT_TRUE(Server().Posts(1).empty());
    EXPECT_EQ(Server().Counters(1).requests, 0);
    EXPECT_NE(IndexOf(host->rows, SiteText(1), "已强制全部停止更新"), std::string::npos);
}

// Raising 同时站点数 during a run lets the waiting sites start at once.
TEST_F(RunFlow, ConcurrencyRaisedDuringTheRun) {
    MakeSites({{.articles = 3, .pause = 0.7f}, {.articles = 1}, {.articles = 1}});
    host->settings.同时站点数 = "1";
    host->onRow = [this](const LogRow& row) {
        if (StartsWith(row.message, "已成功更新 1 篇") && row.site == SiteText(0))
            host->settings.同时站点数 = "3";
    };
    RunOnce(false);
    const auto firstEnds = IndexOf(host->rows, SiteText(0), "已停止更新");
    ASSERT_NE(firstEnds, std::string::npos);
    EXPECT_LT(IndexOf(host->rows, SiteText(1), "开始登录"), firstEnds);
    EXPECT_LT(IndexOf(host->rows, SiteText(2), "开始登录"), firstEnds);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Server().Posts(i).size(), static_cast<std::size_t>(i == 0 ? 3 : 1));
}

// The post that reaches the quota finishes the site; the run ends without sitting out
// that site's pause.
TEST_F(RunFlow, QuotaReachedEndsTheRunWithoutThePause) {
    MakeSites({{.articles = 3, .quota = 1, .pause = 5.0f}});
    const std::int64_t start = clock_::TickMs();
    RunOnce(false);
    EXPECT_LT(clock_::TickMs() - start, 3000);
    EXPECT_EQ(Server().Posts(0).size(), 1u);
    EXPECT_TRUE(StartsWith(host->messages.at(0), "更新完成！总更新了 1 篇文章"));
}

TEST_F(RunFlow, ByTheSchedulerShowsNoMessageAndHidesTheLog) {
    MakeSites({{.articles = 1}});
    controller->StartButtonRightPressed();  // the last manual start picks the scan
    EXPECT_EQ(controller->State().scanVariant.load(), ScanVariant::FindFileScan);
    host->messages.clear();
    controller->StartOrStop(RunOrigin::Scheduler);
    EXPECT_TRUE(host->messages.empty());
    EXPECT_FALSE(host->logVisible);
    EXPECT_EQ(host->viewLogCaption, "查看日志");
    EXPECT_EQ(controller->State().scanVariant.load(), ScanVariant::FindFileScan);
}

TEST_F(RunFlow, EndsWithTheShutdownCountdown) {
    for (const bool stopIt : {false, true}) {
        MakeSites({{.articles = 1}});
        host->settings.选择框完成关机 = true;
        host->stopCountdown = stopIt;
        RunOnce(false);
        EXPECT_EQ(host->saves, 1);
        EXPECT_EQ(host->countdowns, 1);
        EXPECT_EQ(shutdownRequests, stopIt ? 0 : 1);
        if (stopIt) {
            EXPECT_EQ(host->messages, std::vector<std::string>{"已停止关机倒计时！"});
        } else {
            EXPECT_TRUE(host->messages.empty());
            EXPECT_EQ(host->countdownLabels.back(), "距离关机还有 0 秒");
        }
        TearDown();
        shutdownRequests = 0;
    }
}

// A finished site lets go of its HTTP session, so a large group does not keep one idle
// connection per finished site open until the end of the run; the next run starts fresh.
TEST_F(RunFlow, FinishedSitesReleaseTheirConnections) {
    for (const bool sync : {false, true}) {
        MakeSites({{.articles = 2}, {.articles = 1, .password = "wrong"}, {.articles = 2}});
        RunOnce(sync);
        for (std::size_t i = 0; i < sites.size(); ++i)
            EXPECT_EQ(sites[i].http.client, nullptr) << i << (sync ? " sync" : "");
        EXPECT_EQ(Server().Posts(0).size(), 2u);
        RunOnce(sync);  // a second run logs in again on a new session
        EXPECT_EQ(Server().Counters(0).logins, 2);
        TearDown();
    }
}

}  // namespace
