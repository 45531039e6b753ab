// run: the whole site-group update from the settings file, on the terminal.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/platform/files.h"
#include "run/headless_run_host.h"
#include "run/run_controller.h"
#include "run/shutdown_countdown.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

// Signals counted by the handler, acted on by the main thread while it pumps events.
volatile std::sig_atomic_t g_signals = 0;

extern "C" void OnStopSignal(int) {
    g_signals = g_signals + 1;
}

void PrintUtf8Line(const std::string& gbk) {
    PrintGbkLine(gbk);
    std::fflush(stdout);
}

// The terminal as the run's window: rows on stdout as they are written, the completion
// line, the countdown; there are no controls to grey.
class TerminalHost : public HeadlessRunHost {
public:
    TerminalHost(BasicSettings settings, BasicSettings savedSettings, const CliContext& context,
                 const SiteList& sites, std::vector<bool> savedEnabled, std::int32_t selectedRow)
        : HeadlessRunHost(std::move(settings), sites),
          m_context(context),
          m_savedSettings(std::move(savedSettings)),
          m_savedEnabled(std::move(savedEnabled)),
          m_selectedRow(selectedRow) {}

    void AppendLogRow(const std::string& time, const std::string& site,
                      const std::string& message) override {
        PrintUtf8Line(time + "\t" + site + "\t" + message);
    }
    void ShowCompletionMessage(const std::string& message) override { PrintUtf8Line(message); }

    // --mode and the sites picked with --sites are this run's only: the saved mode and
    // 启用 stay as they were, and so does 现行项, the row the window would show selected.
    void SaveAllSettings() override {
        ConfigStore store;
        if (!store.Bind(m_context.settingsPath)) return;
        SiteList sites = m_sites;
        for (std::size_t i = 0; i < sites.size() && i < m_savedEnabled.size(); ++i)
            sites[i].启用 = m_savedEnabled[i];
        ::SaveAllSettings(store, m_savedSettings, sites, m_selectedRow);
    }

    // One label a second, on the clock from the opening; a signal presses 停止关机！.
    void RunShutdownCountdown(ShutdownCountdown& countdown) override {
        const std::sig_atomic_t seen = g_signals;
        PrintUtf8Line(ShutdownCountdown::Title());
        PrintUtf8Line(countdown.LabelText());
        while (countdown.TimerRunning()) {
            while (g_signals == seen && clock_::TickMs() < countdown.NextTickDueMs()) WaitMs(10);
            if (g_signals != seen) {
                PrintUtf8Line(countdown.StopClicked());
                return;
            }
            countdown.Tick([&] { PrintUtf8Line(countdown.LabelText()); });
        }
    }

private:
    const CliContext& m_context;
    BasicSettings m_savedSettings;
    std::vector<bool> m_savedEnabled;
    std::int32_t m_selectedRow;
};

// "1,3,…" into site numbers; false on anything else or a number past the list.
bool ParseSites(const std::string& text, std::size_t count, std::set<std::size_t>& picked) {
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        std::size_t n = 0;
        if (!ParseSiteNumber(text.substr(start, comma - start), n) || n > count) return false;
        picked.insert(n);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

struct RunOptions {
    std::string mode, scan, sites;
    CLI::Option* modeGiven = nullptr;
    CLI::Option* scanGiven = nullptr;
    CLI::Option* sitesGiven = nullptr;
    bool noShutdown = false;
};

int RunCommand(CliContext& context, const RunOptions& options) {
    const bool hasMode = options.modeGiven->count() > 0;
    const bool hasScan = options.scanGiven->count() > 0;
    const bool hasSites = options.sitesGiven->count() > 0;
    const std::string& mode = options.mode;
    const std::string& scan = options.scan;
    if (hasMode && mode != "sync" && mode != "independent")
        return CliFail("run: --mode takes sync or independent");
    if (hasScan && scan != "pattern" && scan != "findfile")
        return CliFail("run: --scan takes pattern or findfile");

    if (!platform::FileExists(context.settingsPath))
        return CliFail("settings file not found: " + charset::GbkToUtf8(context.settingsPath));
    ConfigStore store;
    store.Bind(context.settingsPath, ConfigStore::BindMode::ReadOnly);
    if (!platform::ReadWholeFile(context.settingsPath) || !store.IsBound())
        return CliFail("cannot read the settings file: " +
                       charset::GbkToUtf8(context.settingsPath));
    BasicSettings settings;
    LoadBasicSettings(store, settings);
    SiteList sites;
    // As at start-up: the stored row is selected when it lies inside the list.
    const std::int32_t row = LoadSiteRecords(store, sites);
    const std::int32_t selectedRow =
        row >= 0 && static_cast<std::size_t>(row) < sites.size() ? row : -1;

    const BasicSettings savedSettings = settings;
    if (hasMode) {
        settings.同步循环 = mode == "sync";
        settings.先后独立 = !settings.同步循环;
    }
    std::vector<bool> savedEnabled;
    for (const auto& site : sites) savedEnabled.push_back(site.启用);
    if (hasSites) {
        std::set<std::size_t> picked;
        if (!ParseSites(options.sites, sites.size(), picked))
            return CliFail("run: --sites takes site numbers from 1 to " +
                           std::to_string(sites.size()) + ", separated by commas");
        for (std::size_t i = 0; i < sites.size(); ++i) sites[i].启用 = picked.count(i + 1) > 0;
    }
    if (options.noShutdown) settings.选择框完成关机 = false;

    TerminalHost host(settings, savedSettings, context, sites, savedEnabled, selectedRow);
    RunController controller(sites, host);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A signal is the stop button: the run stops and still writes its summary; more
    // signals while it stops change nothing.
    std::sig_atomic_t handled = 0;
    SetPumpEventsHook([&] {
        if (g_signals == handled) return;
        handled = g_signals;
        if (controller.IsRunning()) controller.StartOrStop(RunOrigin::Button);
    });
    if (hasScan && scan == "findfile")
        controller.StartButtonRightPressed();
    else
        controller.StartButtonClicked();
    SetPumpEventsHook({});
    return 0;
}

const CliCommand kRun(
    "run", "post to every enabled site as 开始更新 does, the log rows on the terminal",
    [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<RunOptions>();
        options->modeGiven = app.add_option("--mode", options->mode,
                                            "sync or independent: this run's 同步循环 or "
                                            "先后独立, in place of the saved one")
                                 ->type_name("MODE");
        options->scanGiven = app.add_option("--scan", options->scan,
                                            "pattern (as 开始更新 clicked, the default) or "
                                            "findfile (as it right-clicked)")
                                 ->type_name("VARIANT");
        options->sitesGiven =
            app.add_option("--sites", options->sites,
                           "only these sites, by number, for this run (the saved 启用 stay)")
                ->type_name("1,3,...");
        app.add_flag("--no-shutdown", options->noShutdown,
                     "no 选择框完成关机 for this run: no save, no countdown");
        return [options](CliContext& context) { return RunCommand(context, *options); };
    });

}  // namespace
