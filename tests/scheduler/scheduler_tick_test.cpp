// The task's tick against a clock the test sets: which ticks start a run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "scheduler/memory_scheduler_view.h"
#include "scheduler/scheduled_start.h"
#include "scheduler_test_support.h"

namespace {

struct Step {
    std::string at;           // the tick's local time
    bool running = false;     // an update (started elsewhere) is going on
    bool stopBefore = false;  // 按钮开始任务 pressed (StopTask) just before this tick
    std::string runEndsAt;    // a run this tick starts lasts until then, without ticks
};

struct Case {
    const char* name;
    std::string startAt;  // StartTask, local time
    std::vector<TimePoint> entries;
    std::vector<Step> ticks;
    std::vector<int> firedAt;  // indices of the ticks that started a run
    std::string caption;       // 按钮使用前必看 afterwards (UTF-8)
};

TimePoint On(const char* text) {
    return {Gbk(text), 0, true};
}
TimePoint Off(const char* text) {
    return {Gbk(text), 0, false};
}

class Task {
public:
    explicit Task(const std::vector<TimePoint>& entries,
                  const std::string& startAt = "2026-06-01 08:00:00")
        : m_start(m_view, m_folder.File("时间点.计划任务"),
                  {[this] { return m_running; }, [this] { Run(); }}) {
        m_view.entries = entries;
        m_clock.Set(startAt);
        m_start.StartTask();
    }

    // Runs the steps; returns the indices of the ticks that started a run.
    std::vector<int> Play(const std::vector<Step>& steps) {
        std::vector<int> fired;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            m_step = &steps[i];
            m_clock.Set(steps[i].at);
            m_running = steps[i].running;
            if (steps[i].stopBefore) m_start.TaskButtonClicked();
            const int before = m_runs;
            if (m_start.TaskActive()) m_start.Tick();
            if (m_runs != before) fired.push_back(static_cast<int>(i));
        }
        return fired;
    }

    MemorySchedulerView& View() { return m_view; }
    ScheduledStart& Start() { return m_start; }
    FakeClock& Clock() { return m_clock; }
    std::function<void()> duringRun;

private:
    void Run() {
        ++m_runs;
        m_running = true;
        if (duringRun) duringRun();
        if (m_step && !m_step->runEndsAt.empty()) m_clock.Set(m_step->runEndsAt);
        m_running = false;
    }

    TestFolder m_folder;
    FakeClock m_clock;
    MemorySchedulerView m_view;
    bool m_running = false;
    int m_runs = 0;
    const Step* m_step = nullptr;
    ScheduledStart m_start;
};

const char* const kFired = "时间点已到，开始更新：";

TEST(SchedulerTick, StartsARunAtTheTimePoints) {
    const std::string d1 = "2026-06-01 ", d2 = "2026-06-02 ";
    const std::vector<Case> cases = {
        {"exact second",
         d1 + "08:00:00",
         {On("08:30:00")},
         {{d1 + "08:29:59.500"}, {d1 + "08:30:00.500"}, {d1 + "08:30:01.500"}},
         {1},
         std::string(kFired) + "08:30:00"},
        {"two ticks in the point's second fire once",
         d1 + "08:00:00",
         {On("08:30:00")},
         {{d1 + "08:29:59.950"}, {d1 + "08:30:00.010"}, {d1 + "08:30:00.990"}},
         {1},
         std::string(kFired) + "08:30:00"},
        {"a late tick that skipped the second fires once",
         d1 + "08:00:00",
         {On("08:30:00")},
         {{d1 + "08:29:58.400"}, {d1 + "08:30:07.100"}, {d1 + "08:30:08.100"}},
         {1},
         std::string(kFired) + "08:30:00"},
        {"a block over two points starts one run, for the first in list order",
         d1 + "08:00:00",
         {On("08:40:00"), On("08:35:00")},
         {{d1 + "08:30:00"}, {d1 + "08:45:00"}, {d1 + "08:45:01"}},
         {1},
         std::string(kFired) + "08:40:00"},
        {"a point between the task's start and its first tick fires",
         d1 + "08:29:59.600",
         {On("08:30:00")},
         {{d1 + "08:30:00.600"}, {d1 + "08:30:01.600"}},
         {0},
         std::string(kFired) + "08:30:00"},
        {"a point in the second the task started, or before, does not",
         d1 + "08:30:00.100",
         {On("08:30:00"), On("08:29:00")},
         {{d1 + "08:30:01.100"}, {d1 + "08:30:02.100"}},
         {},
         "使用前必看"},
        {"two entries with the same time: the first fires and is named",
         d1 + "08:00:00",
         {On("9:00:00"), On("09:00:00")},
         {{d1 + "08:59:59.900"}, {d1 + "09:00:00.100"}, {d1 + "09:00:01.100"}},
         {1},
         std::string(kFired) + "9:00:00"},
        {"typed without the leading zero",
         d1 + "08:00:00",
         {On("8:30:00")},
         {{d1 + "08:29:59.700"}, {d1 + "08:30:00.700"}},
         {1},
         std::string(kFired) + "8:30:00"},
        {"unticked and unreadable entries never fire",
         d1 + "08:00:00",
         {Off("08:30:00"), On("8点30分"), On("25:00:00")},
         {{d1 + "08:29:59.700"}, {d1 + "08:30:00.700"}, {d1 + "08:30:01.700"}},
         {},
         "使用前必看"},
        {"a point passed during a run is skipped until the next day",
         d1 + "08:00:00",
         {On("08:30:00")},
         {{d1 + "08:29:59", true},
          {d1 + "08:30:00", true},
          {d1 + "08:30:01"},
          {d1 + "08:30:02"},
          {d2 + "08:29:59"},
          {d2 + "08:30:00"}},
         {5},
         std::string(kFired) + "08:30:00"},
        {"a point that came during a run without ticks is not fired after it",
         d1 + "08:00:00",
         {On("08:30:00"), On("08:35:00")},
         {{d1 + "08:29:59"}, {d1 + "08:30:00", false, false, d1 + "08:40:00"}, {d1 + "08:40:01"}},
         {1},
         std::string(kFired) + "08:30:00"},
        {"stopping in the second of a point: the stopping tick still fires it",
         d1 + "08:00:00",
         {On("08:30:00")},
         {{d1 + "08:29:59.200"}, {d1 + "08:30:00.200", false, true}, {d1 + "08:30:01.200"}},
         {1},
         std::string(kFired) + "08:30:00"},
        {"the clock set back does not fire a point twice on the same day",
         d1 + "08:00:00",
         {On("08:30:00")},
         {{d1 + "08:29:59"},
          {d1 + "08:30:00"},
          {d1 + "08:31:00"},
          {d1 + "08:29:58"},
          {d1 + "08:29:59"},
          {d1 + "08:30:00"},
          {d1 + "08:30:01"},
          {d2 + "08:29:59"},
          {d2 + "08:30:00"}},
         {1, 8},
         std::string(kFired) + "08:30:00"},
        {"midnight, on time",
         d1 + "08:00:00",
         {On("00:00:00")},
         {{d1 + "23:59:59.600"}, {d2 + "00:00:00.600"}, {d2 + "00:00:01.600"}},
         {1},
         std::string(kFired) + "00:00:00"},
        {"midnight, stepped over by a late tick",
         d1 + "08:00:00",
         {On("00:00:00"), On("23:59:59")},
         {{d1 + "23:59:57.500"}, {d2 + "00:00:03.500"}},
         {1},
         std::string(kFired) + "00:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Task task(c.entries, c.startAt);
        EXPECT_EQ(task.Play(c.ticks), c.firedAt);
        EXPECT_EQ(Utf8(task.View().usageCaption), c.caption);
        EXPECT_EQ(task.View().beeps, static_cast<int>(c.firedAt.size()));
    }
}

// Ticks that arrive while the run started by a tick goes on (it pumps events) show the
// time and start nothing, also when another point comes meanwhile.
TEST(SchedulerTick, TicksDuringTheRunShowTheTimeAndStartNothing) {
    Task task({On("08:30:00"), On("08:30:02")});
    std::vector<std::string> shown;
    int nested = 0;
    task.duringRun = [&] {
        for (const char* at : {"08:30:01", "08:30:02", "08:30:03"}) {
            task.Clock().Set(std::string("2026-06-01 ") + at);
            const int before = nested;
            task.Start().Tick();
            shown.push_back(task.View().timeText);
            EXPECT_EQ(nested, before);
        }
    };
    EXPECT_EQ(
        task.Play({{"2026-06-01 08:29:59"}, {"2026-06-01 08:30:00"}, {"2026-06-01 08:30:04"}}),
        std::vector<int>{1});
    EXPECT_EQ(shown, (std::vector<std::string>{"08:30:01", "08:30:02", "08:30:03"}));
    EXPECT_EQ(task.View().timeText, "08:30:04");
}

TEST(SchedulerTick, TaskCaptionsAndTimerFollowTheStates) {
    Task task({On("08:30:00")});
    MemorySchedulerView& view = task.View();
    EXPECT_EQ(Utf8(view.taskCaption), "停止任务");
    EXPECT_EQ(view.timerPeriod, 1000);
    task.Start().TaskButtonClicked();
    EXPECT_EQ(Utf8(view.taskCaption), "停止中..");
    EXPECT_EQ(view.timerPeriod, 1000);       // until the next tick
    EXPECT_TRUE(task.Start().CloseAsked());  // stopping still only hides the window
    task.Play({{"2026-06-01 10:00:00"}});
    EXPECT_EQ(Utf8(view.taskCaption), "开始任务");
    EXPECT_EQ(view.timerPeriod, 0);
    EXPECT_FALSE(task.Start().CloseAsked());
    task.Start().TaskButtonClicked();
    EXPECT_EQ(Utf8(view.taskCaption), "停止任务");
}

// What the command line prints as the next time point.
TEST(SchedulerTick, NextTimePointIsTheEarliestTickedOneAfterNow) {
    Task task({Off("07:00:00"), On("18:00:00"), On("8:00:00"), On("x")});
    task.Clock().Set("2026-06-01 09:00:00.400");
    auto next = task.Start().NextTimePoint(task.Clock().now());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->row, 1);
    EXPECT_EQ(next->when, LocalAt("2026-06-01 18:00:00"));
    task.Clock().Set("2026-06-01 18:00:00.400");
    next = task.Start().NextTimePoint(task.Clock().now());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->row, 2);
    EXPECT_EQ(next->when, LocalAt("2026-06-02 08:00:00"));
    task.View().entries = {Off("07:00:00")};
    EXPECT_FALSE(task.Start().NextTimePoint(task.Clock().now()));
}

TEST(SchedulerTick, SecondOfDayReadsTimesAsTheClockDoes) {
    const struct {
        const char* text;
        std::optional<std::int32_t> second;
    } cases[] = {
        {"08:30:00", 30600}, {"8:30:00", 30600}, {" 8:30:0 ", 30600}, {"8:30", 30600},
        {"23:59:59", 86399}, {"0:0:0", 0},       {"24:00:00", {}},    {"08:60:00", {}},
        {"08:30:60", {}},    {"", {}},           {"8", {}},           {"8:30:", {}},
        {"8:30:00:00", {}},  {"108:30:00", {}},  {"8：30：00", {}},   {"-1:30:00", {}},
        {"08:30:00x", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SecondOfDay(Gbk(c.text)), c.second) << c.text;
}

}  // namespace
