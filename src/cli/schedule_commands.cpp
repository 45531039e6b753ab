// schedule …: the scheduler's time points beside the settings file, and the scheduled
// start itself in the foreground (for a service).
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "cli/terminal_run.h"
#include "core/charset.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/format_now.h"
#include "core/platform/files.h"
#include "run/run_controller.h"
#include "scheduler/memory_scheduler_view.h"
#include "scheduler/scheduled_start.h"
#include "scheduler/time_points.h"

namespace {

std::string Utf8(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

const std::string& Yes() {
    static const std::string text = charset::Utf8ToGbk("真");
    return text;
}
const std::string& No() {
    static const std::string text = charset::Utf8ToGbk("假");
    return text;
}

bool SaveList(const TimePointList& entries, int& exitCode) {
    std::string error;
    if (WriteTimePointFile(TimePointFilePath(), entries, &error)) return true;
    exitCode = CliFail("cannot write " + Utf8(TimePointFilePath()) + ": " + error);
    return false;
}

// Entry `number` (from 1) of the list; false after the error line.
bool EntryNumber(const std::string& words, const std::string& number, const TimePointList& entries,
                 std::size_t& n, int& exitCode) {
    if (!ParseSiteNumber(number, n) || n > entries.size()) {
        exitCode = CliFail(words + " takes an entry number from 1 to " +
                           std::to_string(entries.size()) + ", not \"" + number + "\"");
        return false;
    }
    return true;
}

int ScheduleList(CliContext&) {
    const TimePointList entries = ReadTimePointFile(TimePointFilePath());
    for (std::size_t i = 0; i < entries.size(); ++i)
        PrintGbkLine(std::to_string(i + 1) + " " + (entries[i].ticked ? Yes() : No()) + " " +
                     entries[i].text);
    return 0;
}

int ScheduleAdd(CliContext&, const std::string& text) {
    const auto gbk = charset::Utf8ToGbkStrict(text);
    const auto second = gbk ? SecondOfDay(*gbk) : std::nullopt;
    if (!second) return CliFail("schedule add takes a time of day HH:MM:SS, not \"" + text + "\"");
    TimePointList entries = ReadTimePointFile(TimePointFilePath());
    char normal[16];
    std::snprintf(normal, sizeof normal, "%02d:%02d:%02d", *second / 3600, *second / 60 % 60,
                  *second % 60);
    entries.push_back({normal, 0, true});
    int exitCode = 0;
    if (!SaveList(entries, exitCode)) return exitCode;
    std::printf("%zu %s\n", entries.size(), normal);
    return 0;
}

int ScheduleRemove(CliContext&, const std::string& number) {
    TimePointList entries = ReadTimePointFile(TimePointFilePath());
    std::size_t n = 0;
    int exitCode = 0;
    if (!EntryNumber("schedule remove", number, entries, n, exitCode)) return exitCode;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(n - 1));
    return SaveList(entries, exitCode) ? 0 : exitCode;
}

int ScheduleTick(CliContext&, const std::string& number, const std::string& state) {
    if (state != "on" && state != "off")
        return CliFail("schedule tick takes on or off, not \"" + state + "\"");
    TimePointList entries = ReadTimePointFile(TimePointFilePath());
    std::size_t n = 0;
    int exitCode = 0;
    if (!EntryNumber("schedule tick", number, entries, n, exitCode)) return exitCode;
    entries[n - 1].ticked = state == "on";
    return SaveList(entries, exitCode) ? 0 : exitCode;
}

// The window of the task on the terminal: its messages and the caption that names a
// time point that fired become lines.
class TerminalSchedulerView : public MemorySchedulerView {
public:
    void SetUsageCaption(const std::string& caption) override {
        MemorySchedulerView::SetUsageCaption(caption);
        if (caption != SchedulerText().usage) PrintLineNow(caption);
    }
    void ShowMessage(const std::string& text) override {
        MemorySchedulerView::ShowMessage(text);
        PrintLineNow(text);
    }
};

// One update as 按钮开始更新 would start it for the scheduler, with the settings file as
// it is now. A stop signal is the stop button, also one that came after `seen` but before
// the run began.
void RunScheduledUpdate(const CliContext& context, bool noShutdown, std::sig_atomic_t seen) {
    RunInputs inputs;
    int exitCode = 0;
    if (!LoadRunInputs(context, inputs, exitCode)) return;
    const BasicSettings savedSettings = inputs.settings;
    if (noShutdown) inputs.settings.选择框完成关机 = false;
    std::vector<bool> savedEnabled;
    for (const auto& site : inputs.sites) savedEnabled.push_back(site.启用);
    TerminalHost host(inputs.settings, savedSettings, context, inputs.sites, savedEnabled,
                      inputs.selectedRow);
    RunController controller(inputs.sites, host);
    std::sig_atomic_t handled = seen;
    SetPumpEventsHook([&] {
        if (StopSignalCount() == handled) return;
        handled = StopSignalCount();
        if (controller.IsRunning()) controller.StartOrStop(RunOrigin::Button);
    });
    controller.StartOrStop(RunOrigin::Scheduler);
    SetPumpEventsHook({});
}

void PrintNext(const ScheduledStart& start) {
    const auto next = start.NextTimePoint(clock_::Now());
    if (!next) {
        std::printf("no ticked time point; waiting\n");
    } else {
        PrintGbkLine("next time point: " + FormatNow(TimeFormat::DateTime, next->when) +
                     " (entry " + std::to_string(next->row + 1) + ": " + next->text + ")");
    }
    std::fflush(stdout);
}

// Until a stop signal or the next second of the wall clock.
bool WaitForNextSecond(std::sig_atomic_t seen) {
    using std::chrono::floor;
    using std::chrono::seconds;
    const auto second = floor<seconds>(clock_::Now());
    while (StopSignalCount() == seen) {
        if (floor<seconds>(clock_::Now()) != second) return true;
        WaitMs(10);
    }
    return false;
}

int ScheduleRun(CliContext& context, bool noShutdown) {
    // The settings must be there now, not only when the first point comes.
    RunInputs check;
    int exitCode = 0;
    if (!LoadRunInputs(context, check, exitCode)) return exitCode;
    InstallStopSignals();
    const std::sig_atomic_t seen = StopSignalCount();

    TerminalSchedulerView view;
    bool running = false;
    int runs = 0;
    SchedulerRun run{[&running] { return running; },
                     [&] {
                         running = true;
                         ++runs;
                         RunScheduledUpdate(context, noShutdown, seen);
                         running = false;
                     }};
    const std::string path = TimePointFilePath();
    ScheduledStart start(view, path, run);
    start.Created();
    start.StartTask();
    std::string fileBytes = platform::ReadWholeFile(path).value_or(std::string());
    PrintNext(start);
    while (WaitForNextSecond(seen)) {
        // `schedule add` and the window may change the list while the task runs.
        std::string now = platform::ReadWholeFile(path).value_or(std::string());
        if (now != fileBytes) {
            fileBytes = std::move(now);
            start.ReloadFromFile();
            PrintNext(start);
        }
        const int before = runs;
        start.Tick();
        if (StopSignalCount() != seen) break;
        if (runs != before) PrintNext(start);
    }
    std::printf("schedule stopped\n");
    return 0;
}

const CliCommandGroup kSchedule(
    "schedule", "the time points of the scheduled start (时间点.计划任务 beside the settings)");

const CliCommand kScheduleList("schedule list", "the time points: number, 真/假 (ticked), time",
                               [](CLI::App&) -> CliHandler { return ScheduleList; });

const CliCommand kScheduleAdd(
    "schedule add", "append a ticked time point", [](CLI::App& app) -> CliHandler {
        auto time = std::make_shared<std::string>();
        app.add_option("time", *time, "time of day")->required()->type_name("HH:MM:SS");
        return [time](CliContext& context) { return ScheduleAdd(context, *time); };
    });

const CliCommand kScheduleRemove(
    "schedule remove", "remove time point N", [](CLI::App& app) -> CliHandler {
        auto number = std::make_shared<std::string>();
        app.add_option("N", *number, "entry number, from 1")->required();
        return [number](CliContext& context) { return ScheduleRemove(context, *number); };
    });

const CliCommand kScheduleTick(
    "schedule tick", "tick (on) or untick (off) time point N", [](CLI::App& app) -> CliHandler {
        auto number = std::make_shared<std::string>();
        auto state = std::make_shared<std::string>();
        app.add_option("N", *number, "entry number, from 1")->required();
        app.add_option("state", *state, "on or off")->required()->type_name("on|off");
        return
            [number, state](CliContext& context) { return ScheduleTick(context, *number, *state); };
    });

const CliCommand kScheduleRun(
    "schedule run",
    "run the scheduled start in the foreground: an update as 开始更新 at each ticked time "
    "point, the log rows on the terminal; SIGINT or SIGTERM stops it",
    [](CLI::App& app) -> CliHandler {
        auto noShutdown = std::make_shared<bool>(false);
        app.add_flag("--no-shutdown", *noShutdown,
                     "no 选择框完成关机 for the runs: no save, no countdown");
        return [noShutdown](CliContext& context) { return ScheduleRun(context, *noShutdown); };
    });

}  // namespace
