#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/command.h"
#include "run/headless_run_host.h"
#include "settings/basic_settings.h"
#include "settings/site_config.h"

class ShutdownCountdown;

// SIGINT and SIGTERM, counted by a handler for the main thread to act on while it pumps
// events: the stop button of a run, of the countdown and of the scheduled task.
void InstallStopSignals();
std::sig_atomic_t StopSignalCount();

// A run's inputs as the settings file holds them, with the row the window would show
// selected (-1 for none).
struct RunInputs {
    BasicSettings settings;
    SiteList sites;
    std::int32_t selectedRow = -1;
};
// False, with the error line printed and exitCode set, when the file is missing or
// unreadable.
bool LoadRunInputs(const CliContext& context, RunInputs& inputs, int& exitCode);

// The terminal as the run's window: rows on stdout as they are written, the completion
// line, the countdown; there are no controls to grey.
class TerminalHost : public HeadlessRunHost {
public:
    // `settings` and `sites` are this run's; the save writes `savedSettings` and each
    // site's `savedEnabled` instead, with the selected row.
    TerminalHost(BasicSettings settings, BasicSettings savedSettings, const CliContext& context,
                 const SiteList& sites, std::vector<bool> savedEnabled, std::int32_t selectedRow);

    void AppendLogRow(const std::string& time, const std::string& site,
                      const std::string& message) override;
    void ShowCompletionMessage(const std::string& message) override;
    void SaveAllSettings() override;
    // One label a second, on the clock from the opening; a signal presses 停止关机！.
    void RunShutdownCountdown(ShutdownCountdown& countdown) override;

private:
    const CliContext& m_context;
    BasicSettings m_savedSettings;
    std::vector<bool> m_savedEnabled;
    std::int32_t m_selectedRow;
};

// A GBK line on stdout as UTF-8, flushed at once (a service's journal reads it live).
void PrintLineNow(const std::string& gbk);
