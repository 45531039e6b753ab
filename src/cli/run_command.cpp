// run: the whole site-group update from the settings file, on the terminal.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "cli/terminal_run.h"
#include "core/events.h"
#include "run/run_controller.h"

namespace {

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

    RunInputs inputs;
    int exitCode = 0;
    if (!LoadRunInputs(context, inputs, exitCode)) return exitCode;
    BasicSettings& settings = inputs.settings;
    SiteList& sites = inputs.sites;
    const std::int32_t selectedRow = inputs.selectedRow;
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
    InstallStopSignals();
    // A signal is the stop button: the run stops and still writes its summary; more
    // signals while it stops change nothing.
    std::sig_atomic_t handled = StopSignalCount();
    SetPumpEventsHook([&] {
        if (StopSignalCount() == handled) return;
        handled = StopSignalCount();
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
