// sites list, sites show N (as text or JSON), settings resave: the settings file as the
// program sees it.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "cli/site_json.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

std::string Utf8(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

void PrintUtf8(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

int SitesList(CliContext& context, const std::string& format) {
    SiteList sites;
    int exitCode = 0;
    if (!LoadSiteList(context, sites, exitCode)) return exitCode;
    if (format == "json") {
        PrintUtf8("[");
        for (std::size_t i = 0; i < sites.size(); ++i)
            PrintUtf8((i ? ",\n" : "\n") + SiteJson(sites[i]));
        PrintUtf8(sites.empty() ? "]\n" : "\n]\n");
        return 0;
    }
    static const std::string yes = charset::Utf8ToGbk("真");
    static const std::string no = charset::Utf8ToGbk("假");
    for (std::size_t i = 0; i < sites.size(); ++i)
        PrintGbkLine(std::to_string(i + 1) + " " + (sites[i].启用 ? yes : no) + " " +
                     SiteRowText(sites[i]));
    return 0;
}

int SitesShow(CliContext& context, const std::string& number, const std::string& format) {
    std::size_t n = 0;
    if (!ParseSiteNumber(number, n))
        return CliFail("sites show takes a site number from 1, not \"" + number + "\"");
    SiteList sites;
    int exitCode = 0;
    if (!LoadSiteList(context, sites, exitCode)) return exitCode;
    if (n > sites.size())
        return CliFail("no site " + number + " (the file has " + std::to_string(sites.size()) +
                       " sites)");
    if (format == "json") {
        PrintUtf8(SiteJson(sites[n - 1]) + "\n");
        return 0;
    }
    for (const auto& [key, value] : SiteKeyValues(sites[n - 1])) PrintGbkLine(key + "=" + value);
    return 0;
}

int SettingsResave(CliContext& context) {
    if (!platform::FileExists(context.settingsPath))
        return CliFail("settings file not found: " + Utf8(context.settingsPath));
    ConfigStore store;
    std::string firstWarning;
    store.SetWarningHandler([&](const std::string& message, const std::string& detail) {
        if (firstWarning.empty())
            firstWarning = Utf8(message) + (detail.empty() ? "" : " (" + Utf8(detail) + ")");
    });
    if (!store.Bind(context.settingsPath))
        return CliFail("cannot open the settings file for writing: " + Utf8(context.settingsPath));
    // As at start-up: the design values are the defaults; the returned row is selected
    // when it lies inside the list.
    BasicSettings settings;
    LoadBasicSettings(store, settings);
    SiteList sites;
    const std::int32_t row = LoadSiteRecords(store, sites);
    const std::int32_t selected =
        row >= 0 && static_cast<std::size_t>(row) < sites.size() ? row : -1;
    // One publish for both, so the file is either all old or all new.
    ConfigStore::Batch batch(store);
    bool saved = SaveAllSettings(store, settings, sites, selected);
    saved = PruneSiteSections(store, sites.size()) && saved;
    saved = batch.End() && saved;
    if (!saved) return CliFail(firstWarning.empty() ? "the settings were not saved" : firstWarning);
    std::printf("saved %zu sites\n", sites.size());
    return 0;
}

// No options: the handler as it is.
CliSetup Plain(CliHandler handler) {
    return [handler = std::move(handler)](CLI::App&) { return handler; };
}

// --format text (the default) or json.
void AddFormat(CLI::App& app, std::string& format) {
    format = "text";
    app.add_option("--format", format,
                   "text, or json: an object of every saved key a site (UTF-8; logical values "
                   "true/false, numbers as saved, texts with their line breaks, 分类数据 as hex)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"text", "json"}));
}

const CliCommandGroup kSites("sites", "the site records of the settings file");
const CliCommand kSitesList(
    "sites list", "list the site records: number, 启用, 域名(用户); as JSON an array of sites",
    [](CLI::App& app) -> CliHandler {
        auto format = std::make_shared<std::string>();
        AddFormat(app, *format);
        return [format](CliContext& context) { return SitesList(context, *format); };
    });
const CliCommand kSitesShow(
    "sites show", "every saved key of site N (分类数据 as hex); as JSON one object",
    [](CLI::App& app) -> CliHandler {
        auto number = std::make_shared<std::string>();
        auto format = std::make_shared<std::string>();
        app.add_option("N", *number, "the site, by its number from 1")->type_name("")->required();
        AddFormat(app, *format);
        return
            [number, format](CliContext& context) { return SitesShow(context, *number, *format); };
    });
const CliCommandGroup kSettings("settings", "the settings file as a whole");
const CliCommand kResave("settings resave",
                         "load the settings file as start-up does and save it as exit does",
                         Plain(SettingsResave));

}  // namespace
