#include <gtest/gtest.h>

#include "core/clock.h"
#include "emlog/site_http.h"
#include "run_test_support.h"

// SyncCycle works on the window's thread: a stop click only arrives when the run looks
// at its events. These cases click at the awkward moments and check that nothing more is
// sent and every started site is closed.
namespace {

class RunSyncStop : public RunFixture {
protected:
    int ClosingRows(std::size_t site) const {
        int n = 0;
        for (const auto& row : host->MessagesOf(SiteText(site)))
            n += row.rfind("已停止更新，本次成功更新", 0) == 0;
        return n;
    }
};

// A click during a login is seen right after it: no article goes out.
TEST_F(RunSyncStop, StopDuringLoginPostsNothing) {
    MakeSites({{.articles = 3}});
    SetPumpEventsHook([&] {
        if (Server().Counters(0).logins > 0 && !controller->State().stopRequested)
            controller->StartOrStop(RunOrigin::Button);
    });
    RunOnce(true);
    EXPECT_TRUE(Server().Posts(0).empty());
    EXPECT_EQ(ClosingRows(0), 1);
    EXPECT_EQ(controller->State().runningJobs.load(), 0);
}

// A stop while later sites are still being prepared: the sites prepared before it get
// their closing rows too, and the run ends with no job counted as running.
TEST_F(RunSyncStop, StopDuringPreparationClosesEveryPreparedSite) {
    MakeSites({{.articles = 2}, {.articles = 2}, {.articles = 2}});
    SetPumpEventsHook([&] {
        if (Server().Counters(1).logins > 0 && !controller->State().stopRequested)
            controller->StartOrStop(RunOrigin::Button);
    });
    RunOnce(true);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(Server().Posts(i).empty()) << i;
    EXPECT_EQ(ClosingRows(0), 1);
    EXPECT_EQ(ClosingRows(1), 1);
    EXPECT_EQ(ClosingRows(2), 0);  // never started
    EXPECT_EQ(Server().Counters(2).requests, 0);
    EXPECT_EQ(controller->State().runningJobs.load(), 0);
}

// A publish that hangs until its time-out, with a stop clicked meanwhile: the attempt that
// failed is the last one sent.
TEST_F(RunSyncStop, StopDuringAHangingPublishSendsNoFurtherAttempt) {
    MakeSites({{.articles = 2}});
    host->settings.选择框失败时重复尝试 = true;
    HttpLimits limits;
    limits.receiveMs = 400;
    SiteHttp(sites[0]).SetLimits(limits);
    sandbox::Faults faults;
    faults.page = "save_log.php";
    faults.stallMs = sandbox::kStallForever;
    Server().SetFaults(0, faults);
    SetPumpEventsHook([&] {
        if (Server().Counters(0).faultsApplied > 0 && !controller->State().stopRequested)
            controller->StartOrStop(RunOrigin::Button);
    });
    RunOnce(true);
    EXPECT_EQ(Server().Counters(0).faultsApplied, 1);
    EXPECT_TRUE(Server().Posts(0).empty());
    EXPECT_EQ(FilesLeft(0), 2u);
    EXPECT_EQ(ClosingRows(0), 1);
}

}  // namespace
