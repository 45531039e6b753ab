#pragma once

#include <deque>
#include <string>
#include <vector>

#include "scheduler/scheduler_texts.h"
#include "scheduler/scheduler_view.h"

// A SchedulerView without a window: the list and the controls in memory, as laid out;
// messages collected, questions answered from a queue (OK when it is empty). The command
// line runs the task through it; the tests read what the window would show.
class MemorySchedulerView : public SchedulerView {
public:
    TimePointList entries;
    std::int32_t selected = -1;
    std::string timeText = SchedulerText().defaultTime;
    std::string taskCaption = SchedulerText().startTask;
    std::string usageCaption = SchedulerText().usage;
    bool autoStart = false;
    std::int32_t timerPeriod = 0;
    int beeps = 0;
    std::vector<std::string> messages;  // messages and questions, in order
    std::deque<bool> answers;

    TimePointList Entries() const override { return entries; }
    void AppendEntry(const TimePoint& entry) override { entries.push_back(entry); }
    void SetEntryText(std::int32_t row, const std::string& text) override;
    void RemoveEntry(std::int32_t row) override;
    void ClearEntries() override;
    std::int32_t SelectedRow() const override { return selected; }
    void SelectRow(std::int32_t row) override { selected = row; }
    std::string TimeText() const override { return timeText; }
    void SetTimeText(const std::string& text) override { timeText = text; }
    std::string TaskCaption() const override { return taskCaption; }
    void SetTaskCaption(const std::string& caption) override { taskCaption = caption; }
    void SetUsageCaption(const std::string& caption) override { usageCaption = caption; }
    bool AutoStartChecked() const override { return autoStart; }
    void SetAutoStartChecked(bool checked) override { autoStart = checked; }
    std::int32_t TimerPeriod() const override { return timerPeriod; }
    void SetTimerPeriod(std::int32_t ms) override { timerPeriod = ms; }
    void Beep() override { ++beeps; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskOkCancel(const std::string& text) override;
};
