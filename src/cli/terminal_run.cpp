#include "cli/terminal_run.h"

#include <cstdio>

#include "core/charset.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/platform/files.h"
#include "run/shutdown_countdown.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

volatile std::sig_atomic_t g_signals = 0;

extern "C" void OnStopSignal(int) {
    g_signals = g_signals + 1;
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::sig_atomic_t StopSignalCount() {
    return g_signals;
}

void PrintLineNow(const std::string& gbk) {
    PrintGbkLine(gbk);
    std::fflush(stdout);
}

bool LoadRunInputs(const CliContext& context, RunInputs& inputs, int& exitCode) {
    if (!platform::FileExists(context.settingsPath)) {
        exitCode = CliFail("settings file not found: " + charset::GbkToUtf8(context.settingsPath));
        return false;
    }
    ConfigStore store;
    store.Bind(context.settingsPath, ConfigStore::BindMode::ReadOnly);
    if (!platform::ReadWholeFile(context.settingsPath) || !store.IsBound()) {
        exitCode =
            CliFail("cannot read the settings file: " + charset::GbkToUtf8(context.settingsPath));
        return false;
    }
    LoadBasicSettings(store, inputs.settings);
    inputs.sites.clear();
    // As at start-up: the stored row is selected when it lies inside the list.
    const std::int32_t row = LoadSiteRecords(store, inputs.sites);
    inputs.selectedRow = row >= 0 && static_cast<std::size_t>(row) < inputs.sites.size() ? row : -1;
    return true;
}

TerminalHost::TerminalHost(BasicSettings settings, BasicSettings savedSettings,
                           const CliContext& context, const SiteList& sites,
                           std::vector<bool> savedEnabled, std::int32_t selectedRow)
    : HeadlessRunHost(std::move(settings), sites),
      m_context(context),
      m_savedSettings(std::move(savedSettings)),
      m_savedEnabled(std::move(savedEnabled)),
      m_selectedRow(selectedRow) {}

void TerminalHost::AppendLogRow(const std::string& time, const std::string& site,
                                const std::string& message) {
    PrintLineNow(time + "\t" + site + "\t" + message);
}

void TerminalHost::ShowCompletionMessage(const std::string& message) {
    PrintLineNow(message);
}

// A run's own mode and site choice stay its own: the saved mode and 启用 stay as they
// were, and so does 现行项, the row the window would show selected.
void TerminalHost::SaveAllSettings() {
    ConfigStore store;
    if (!store.Bind(m_context.settingsPath)) return;
    SiteList sites = m_sites;
    for (std::size_t i = 0; i < sites.size() && i < m_savedEnabled.size(); ++i)
        sites[i].启用 = m_savedEnabled[i];
    ::SaveAllSettings(store, m_savedSettings, sites, m_selectedRow);
}

void TerminalHost::RunShutdownCountdown(ShutdownCountdown& countdown) {
    const std::sig_atomic_t seen = g_signals;
    PrintLineNow(ShutdownCountdown::Title());
    PrintLineNow(countdown.LabelText());
    while (countdown.TimerRunning()) {
        while (g_signals == seen && clock_::TickMs() < countdown.NextTickDueMs()) WaitMs(10);
        if (g_signals != seen) {
            PrintLineNow(countdown.StopClicked());
            return;
        }
        countdown.Tick([&] { PrintLineNow(countdown.LabelText()); });
    }
}
