#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/clock.h"
#include "scheduler/scheduler_view.h"
#include "scheduler/time_points.h"

class ConfigStore;
class RunController;

// How the scheduled start reaches the update run: whether one is going on, and the start
// as the start button would do it. `start` may return at once (a window that lets the
// run begin after the tick) or when the run has ended.
struct SchedulerRun {
    std::function<bool()> isRunning;
    std::function<void()> start;
};
// StartOrStop with origin Scheduler on the controller, inside the call.
SchedulerRun RunThrough(RunController& controller);

// BasicSettings 自动开启计划任务 (section 基本配置): whether the task starts with the program.
bool ReadAutoStart(ConfigStore& store, bool fallback = false);
bool SaveAutoStart(ConfigStore& store, bool on);

// The scheduled start behind the scheduler window: the list of time points and its file,
// the task (started, stopping, stopped: the caption of 按钮开始任务) and its once-a-second
// tick, which starts an update run when a ticked time point has come. One instance per
// window, used on the user-interface thread.
//
// A time point fires on the first tick at or after its second, provided the previous
// tick (or the task's start) came before that second: a tick that arrives late (the event loop was
// blocked) still fires a point it stepped over, once. Each time of day fires at most once per
// calendar day, so a clock set back does not repeat a run. A point that comes while a run
// is going on is passed over until the next day.
class ScheduledStart {
public:
    // `store` (may be null: no settings, as on the command line) holds 自动开启计划任务.
    ScheduledStart(SchedulerView& view, std::string timePointPath, SchedulerRun run,
                   ConfigStore* store = nullptr);

    // The window was created: the list from the file, 选择框开始任务 from the settings.
    void Created();

    // Writes the list; a failure is shown as a message unless `report` is false (a window
    // being destroyed can show none). SaveIfChanged writes only when the list differs from
    // what was last read or written.
    bool SaveTimePoints(bool report = true);
    bool SaveIfChanged(bool report = true);

    // The buttons and the list.
    void ReadNowClicked();
    void AddClicked();
    void ModifyClicked();
    void DeleteClicked();
    void ClearClicked();
    void TaskButtonClicked();
    void AutoStartClicked();
    void UsageClicked();
    void SelectionChanged();

    void StartTask();
    // Asks the task to stop; the next tick ends it.
    void StopTask();
    // At start-up: starts the task when 选择框开始任务 is checked and it is not running.
    bool AutoStart();
    // The tick is running: started or stopping.
    bool TaskActive() const { return m_view.TimerPeriod() != 0; }

    // The timer's event.
    void Tick();

    // The window's close was asked: writes the list; true when the task is active, so the
    // window only hides.
    bool CloseAsked();

    // The next ticked time point strictly after `now`'s second: the entry's row and when
    // it comes. Nothing when no ticked entry names a time of day.
    struct Next {
        std::int32_t row = -1;
        std::string text;
        clock_::WallTime when;
    };
    std::optional<Next> NextTimePoint(clock_::WallTime now) const;

    // The list from the file again (another program changed it).
    void ReloadFromFile();

    SchedulerView& View() { return m_view; }

private:
    // The entry whose second lies in (after, now], ticked, not fired that day; -1 for none.
    std::int32_t DueEntry(const TimePointList& entries, std::int64_t after, std::int64_t now);
    void Fire(const TimePoint& entry);
    void ShowEntries(const TimePointList& entries);

    SchedulerView& m_view;
    std::string m_path;
    SchedulerRun m_run;
    ConfigStore* m_store;
    std::string m_savedBytes;
    // Local seconds (days × 86400 + second of day) of the previous tick, or of the task's
    // start before its first tick.
    std::optional<std::int64_t> m_lastTick;
    // Second of day → the day it last fired on.
    std::map<std::int32_t, std::int64_t> m_firedDay;
};
