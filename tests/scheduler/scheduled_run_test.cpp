// A time point starts a real update run through the run controller, as origin Scheduler:
// the run happens inside the tick and ends without the completion message; the setting
// 自动开启计划任务 starts the task at start-up.
#include <gtest/gtest.h>

#include "fake_clock.h"
#include "run/run_test_support.h"
#include "scheduler/memory_scheduler_view.h"
#include "scheduler/scheduled_start.h"
#include "settings/config_store.h"

namespace {

class ScheduledRunTest : public RunFixture {};

TEST_F(ScheduledRunTest, ATimePointRunsTheUpdateWithoutTheCompletionMessage) {
    MakeSites({{.articles = 2}});
    RecordingHost host(sites);
    host.viewLogCaption = "关闭日志";
    RunController controller(sites, host);
    MemorySchedulerView view;
    view.entries = {{"08:30:00", 0, true}};
    ScheduledStart start(view, TimePointFilePath(), RunThrough(controller));
    start.StartTask();
    FakeClock clock;
    clock.Set("2026-06-01 08:29:59.900");
    start.Tick();
    EXPECT_TRUE(host.rows.empty());
    clock.Set("2026-06-01 08:30:00.100");
    start.Tick();
    EXPECT_FALSE(controller.IsRunning());
    EXPECT_EQ(Server().Posts(0).size(), 2u);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(host.logVisible);
    EXPECT_EQ(host.viewLogCaption, "查看日志");  // the shown log window was hidden
    EXPECT_EQ(Utf8(view.usageCaption), "时间点已到，开始更新：08:30:00");
}

TEST(SchedulerAutoStart, TheSettingStartsTheTaskAndTheBoxWritesIt) {
    TestFolder folder;
    ConfigStore store;
    ASSERT_TRUE(store.Bind(folder.File("settings.ini")));
    EXPECT_FALSE(ReadAutoStart(store));

    MemorySchedulerView view;
    ScheduledStart start(view, folder.File("时间点.计划任务"), {[] { return false; }, [] {}},
                         &store);
    start.Created();
    EXPECT_FALSE(start.AutoStart());
    view.autoStart = true;
    start.AutoStartClicked();
    EXPECT_TRUE(ReadAutoStart(store));

    MemorySchedulerView later;
    ScheduledStart again(later, folder.File("时间点.计划任务"), {[] { return false; }, [] {}},
                         &store);
    again.Created();
    EXPECT_TRUE(later.autoStart);
    EXPECT_TRUE(again.AutoStart());
    EXPECT_EQ(Utf8(later.taskCaption), "停止任务");
    EXPECT_FALSE(again.AutoStart());  // already running
}

}  // namespace
