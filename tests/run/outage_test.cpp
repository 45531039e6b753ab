#include <gtest/gtest.h>

#include "core/clock.h"
#include "run_test_support.h"

// A site whose web server goes away for a while: the job waits it out with growing pauses
// instead of spending its tries within a second, and still gives up on a site that stays
// away.
namespace {

class Outage : public RunFixture {
protected:
    // Logging in takes 2 requests (the form, its redirect), each publish 2 more, so the
    // outage begins with the save request of article `article`: nothing half-posted.
    void DownFromArticle(int article, std::int32_t ms) {
        Server().SetOutage(0, 2 + 2 * (article - 1) + 1, ms);
    }

    void UsePauses(std::int64_t firstMs, std::int64_t maxMs) {
        SiteOps ops = DefaultSiteOps();
        ops.outagePauses = {firstMs, maxMs};
        controller->SetSiteOps(ops);
    }

    int RowsStartingWith(const std::string& prefix) const {
        int n = 0;
        for (const auto& row : host->MessagesOf(SiteText(0)))
            n += row.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

// The user's night: 30 articles, the server restarts for 3 s after the eighth. Every
// article that was confirmed is posted once and deleted; the rest stay for the next run.
TEST_F(Outage, ShortOutageIsRiddenOutInBothModes) {
    for (const bool sync : {false, true}) {
        MakeSites({{.articles = 30, .pause = 0.05f, .deletePosted = true}});
        host->settings.选择框失败时重复尝试 = true;
        host->settings.循环间隔秒 = "0";
        DownFromArticle(9, 3000);
        RunOnce(sync);
        const auto posts = Server().Posts(0);
        EXPECT_GE(posts.size(), 28u) << (sync ? "SyncCycle" : "Independent");
        for (const auto& post : posts) EXPECT_EQ(post.submissions, 1) << post.title;
        auto titles = PostedTitles(0);
        EXPECT_EQ(std::unique(titles.begin(), titles.end()), titles.end());
        EXPECT_EQ(static_cast<std::size_t>(sites[0].run.posted), posts.size());
        EXPECT_EQ(FilesLeft(0), 30u - posts.size());
        EXPECT_EQ(RowsStartingWith("经过多次重试依然登录失败"), 0);
        EXPECT_GT(Server().Counters(0).faultsApplied, 0);
        TearDown();
    }
}

// A site that stays down longer than the pauses cover: five failed articles, a new login
// that fails three times, and the site is given up, as without the pauses.
TEST_F(Outage, LongOutageStillGivesUp) {
    MakeSites({{.articles = 30, .deletePosted = true}});
    UsePauses(10, 40);
    host->settings.选择框失败时重复尝试 = true;
    DownFromArticle(9, 600000);
    RunOnce(false);
    EXPECT_EQ(Server().Posts(0).size(), 8u);
    EXPECT_EQ(FilesLeft(0), 22u);
    EXPECT_EQ(RowsStartingWith("更新失败："), 5);
    EXPECT_EQ(RowsStartingWith("开始登录(第 2 次尝试)"), 1);
    EXPECT_EQ(RowsStartingWith("登录失败，正在重试.."), 3);
    EXPECT_EQ(RowsStartingWith("经过多次重试依然登录失败！将被忽略更新！"), 1);
    // 5 articles × 3 attempts, then 3 login tries, each one exchange that went unanswered;
    // libcurl sends the first once more on a fresh connection when the reused one dies.
    EXPECT_GE(Server().Counters(0).faultsApplied, 18);
    EXPECT_LE(Server().Counters(0).faultsApplied, 19);
}

// Answers without the marker are no outage: a wrong password fails its three tries and an
// error page instead of the save's redirect its three attempts, without any of the long
// pauses.
TEST_F(Outage, AnswersWithoutTheMarkerAreNotWaitedFor) {
    MakeSites({{.articles = 1, .password = "wrong"}, {.articles = 1}});
    UsePauses(60000, 60000);
    host->settings.选择框失败时重复尝试 = true;
    sandbox::Faults faults;
    faults.page = "save_log.php";
    faults.httpStatus = 500;
    Server().SetFaults(1, faults);
    const auto start = clock_::TickMs();
    RunOnce(false);
    EXPECT_LT(clock_::TickMs() - start, 30000);
    EXPECT_EQ(Server().Counters(0).failedLogins, 3);
    EXPECT_EQ(Server().Counters(1).faultsApplied, 3);
    EXPECT_EQ(sites[0].run.silentFailures, 0);
    EXPECT_EQ(sites[1].run.silentFailures, 0);
}

// A stop while the site waits for its server ends the wait and the run at once; the
// article that was not confirmed stays on disk.
TEST_F(Outage, StopDuringALongPauseEndsTheRun) {
    for (const bool sync : {false, true}) {
        MakeSites({{.articles = 3, .deletePosted = true}});
        UsePauses(30000, 30000);
        DownFromArticle(2, 600000);
        std::int64_t stopAt = 0;
        SetPumpEventsHook([&] {
            if (stopAt == 0 && Server().Counters(0).faultsApplied > 0)
                stopAt = clock_::TickMs() + 300;
            if (stopAt != 0 && clock_::TickMs() >= stopAt && controller->IsRunning()) {
                stopAt = -1;
                controller->StartOrStop(RunOrigin::Button);
            }
        });
        const auto start = clock_::TickMs();
        RunOnce(sync);
        EXPECT_LT(clock_::TickMs() - start, 10000) << (sync ? "SyncCycle" : "Independent");
        EXPECT_EQ(stopAt, -1);
        EXPECT_EQ(Server().Posts(0).size(), 1u);
        EXPECT_EQ(FilesLeft(0), 2u);
        EXPECT_LE(Server().Counters(0).faultsApplied, 2);  // one attempt, see above
        TearDown();
    }
}

}  // namespace
