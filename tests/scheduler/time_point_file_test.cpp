// The time-point file: its bytes, what it reads from lines written by others, and when
// the task writes it.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/files.h"
#include "scheduler/memory_scheduler_view.h"
#include "scheduler/scheduled_start.h"
#include "scheduler_test_support.h"

namespace {

TEST(TimePointFile, WritesTheLinesByteForByte) {
    TestFolder folder;
    const std::string path = folder.File("时间点.计划任务");
    const TimePointList entries = {{"08:30:00", 0, true}, {"9:00:00", -3, false}, {"", 7, true}};
    ASSERT_TRUE(WriteTimePointFile(path, entries));
    EXPECT_EQ(platform::ReadWholeFile(path),
              Gbk("08:30:00||0||真\r\n9:00:00||-3||假\r\n||7||真\r\n"));
    EXPECT_EQ(ReadTimePointFile(path), entries);
    ASSERT_TRUE(WriteTimePointFile(path, {}));
    EXPECT_EQ(platform::ReadWholeFile(path), "");
    EXPECT_FALSE(std::filesystem::exists(Utf8(path) + ".tmp"));
}

TEST(TimePointFile, ReadsShortAndOddLines) {
    const struct {
        const char* bytes;  // UTF-8, converted to GBK
        TimePointList entries;
    } cases[] = {
        {"08:30:00\r\n", {{"08:30:00", 0, true}}},
        {"08:30:00||12\r\n", {{"08:30:00", 12, true}}},
        {"08:30:00||x||假\r\n", {{"08:30:00", 0, false}}},
        {"08:30:00||1||否\r\n", {{"08:30:00", 1, true}}},  // only 假 unticks
        {"08:30:00||1||假||more\r\n", {{"08:30:00", 1, true}}},
        {"\r\n\r\n08:30:00||0||真", {{"08:30:00", 0, true}}},  // blank lines, no last CR LF
        {"08:30:00||0||假\n09:00:00||0||真\n", {{"08:30:00", 0, false}, {"09:00:00", 0, true}}},
        {"||||假\r\n", {{"", 0, false}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        TimePointList expected = c.entries;
        for (auto& entry : expected) entry.text = Gbk(entry.text);
        EXPECT_EQ(ParseTimePoints(Gbk(c.bytes)), expected) << c.bytes;
    }
}

TEST(TimePointFile, MissingFileGivesAnEmptyListAndStartingTheTaskWritesIt) {
    TestFolder folder;
    const std::string path = folder.File("时间点.计划任务");
    MemorySchedulerView view;
    view.entries = {{"stale", 0, true}};
    ScheduledStart start(view, path, {[] { return false; }, [] {}});
    start.Created();
    EXPECT_TRUE(view.entries.empty());
    EXPECT_FALSE(platform::FileExists(path));
    EXPECT_TRUE(start.SaveIfChanged());  // nothing changed: still no file
    EXPECT_FALSE(platform::FileExists(path));

    view.timeText = "8:30:00";
    start.AddClicked();
    start.StartTask();
    EXPECT_EQ(platform::ReadWholeFile(path), Gbk("8:30:00||0||真\r\n"));
    view.entries[0].ticked = false;
    EXPECT_TRUE(start.SaveIfChanged());
    EXPECT_EQ(platform::ReadWholeFile(path), Gbk("8:30:00||0||假\r\n"));
}

TEST(TimePointFile, AFailedWriteIsShownAndNotTakenAsSaved) {
    TestFolder folder;
    MemorySchedulerView view;
    view.entries = {{"08:30:00", 0, true}};
    ScheduledStart start(view, folder.File("missing/时间点.计划任务"),
                         {[] { return false; }, [] {}});
    EXPECT_FALSE(start.SaveTimePoints());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(Utf8(view.messages[0]).rfind("时间点文件保存失败：", 0), 0u);
    // Not taken as saved: the exit save tries again.
    EXPECT_FALSE(start.SaveIfChanged());
}

TEST(SchedulerButtons, EditTheListAsTheWindowDoes) {
    TestFolder folder;
    MemorySchedulerView view;
    ScheduledStart start(view, folder.File("时间点.计划任务"), {[] { return false; }, [] {}});
    for (const char* text : {"01:00:00", "02:00:00", "03:00:00"}) {
        view.timeText = text;
        start.AddClicked();
    }
    view.selected = 1;
    start.SelectionChanged();
    EXPECT_EQ(view.timeText, "02:00:00");
    view.timeText = "2:30:00";
    start.ModifyClicked();
    EXPECT_EQ(view.entries[1], (TimePoint{"2:30:00", 0, true}));

    // Deleting keeps the position, or the last row when the last one went.
    start.DeleteClicked();
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(view.timeText, "03:00:00");
    start.DeleteClicked();
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.timeText, "01:00:00");
    start.DeleteClicked();
    EXPECT_EQ(view.selected, -1);
    EXPECT_TRUE(view.entries.empty());
    start.DeleteClicked();  // nothing selected: nothing happens
    start.ModifyClicked();

    view.entries = {{"01:00:00", 0, true}};
    view.answers = {false, true};
    start.ClearClicked();
    EXPECT_EQ(view.entries.size(), 1u);
    start.ClearClicked();
    EXPECT_TRUE(view.entries.empty());
    EXPECT_EQ(Utf8(view.messages.at(0)), "确定要全部删除时间点吗？");

    FakeClock clock;
    clock.Set("2026-06-01 07:05:09");
    start.ReadNowClicked();
    EXPECT_EQ(view.timeText, "07:05:09");
    start.UsageClicked();
    EXPECT_EQ(Utf8(view.messages.back()).find("计划任务：添加时间点并打勾"), 0u);
}

}  // namespace
