#pragma once

#include <cstdint>
#include <string>

#include "scheduler/time_points.h"

// What the scheduled start reads and writes of the scheduler window: the list
// 列表框计划列表 (rows from 0, with their check marks), 编辑框时间, the captions of
// 按钮开始任务 and 按钮使用前必看, 选择框开始任务, the timer 时钟计划任务 and the message
// boxes. The window maps it to its widgets; the command line and the tests keep it in
// memory. Texts are GBK.
class SchedulerView {
public:
    virtual ~SchedulerView() = default;

    virtual TimePointList Entries() const = 0;
    virtual void AppendEntry(const TimePoint& entry) = 0;
    virtual void SetEntryText(std::int32_t row, const std::string& text) = 0;
    virtual void RemoveEntry(std::int32_t row) = 0;
    virtual void ClearEntries() = 0;
    virtual std::int32_t SelectedRow() const = 0;  // -1: none
    // Selects without running the selection handler.
    virtual void SelectRow(std::int32_t row) = 0;

    virtual std::string TimeText() const = 0;
    virtual void SetTimeText(const std::string& text) = 0;

    // 按钮开始任务: its caption is the task's state.
    virtual std::string TaskCaption() const = 0;
    virtual void SetTaskCaption(const std::string& caption) = 0;
    virtual void SetUsageCaption(const std::string& caption) = 0;

    virtual bool AutoStartChecked() const = 0;
    virtual void SetAutoStartChecked(bool checked) = 0;

    // The tick's period in milliseconds; 0 stops it.
    virtual std::int32_t TimerPeriod() const = 0;
    virtual void SetTimerPeriod(std::int32_t ms) = 0;

    virtual void Beep() = 0;
    // A message box with OK and the program's default title.
    virtual void ShowMessage(const std::string& text) = 0;
    // A question with OK and Cancel: true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
};
