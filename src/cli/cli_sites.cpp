#include "cli/cli_sites.h"

#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

bool LoadSiteList(const CliContext& context, SiteList& sites, int& exitCode) {
    if (!platform::FileExists(context.settingsPath)) {
        exitCode = CliFail("settings file not found: " + charset::GbkToUtf8(context.settingsPath));
        return false;
    }
    ConfigStore store;
    store.Bind(context.settingsPath, ConfigStore::BindMode::ReadOnly);
    LoadSiteRecords(store, sites);
    return true;
}

bool ParseSiteNumber(const std::string& text, std::size_t& n) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    n = std::stoul(text);
    return n >= 1;
}

bool LoadSiteNumber(const CliContext& context, const std::string& number, SiteConfig& site,
                    int& exitCode) {
    std::size_t n = 0;
    if (!ParseSiteNumber(number, n)) {
        exitCode = CliFail("--site takes a site number from 1, not \"" + number + "\"");
        return false;
    }
    SiteList sites;
    if (!LoadSiteList(context, sites, exitCode)) return false;
    if (n > sites.size()) {
        exitCode = CliFail("no site " + number + " (the file has " + std::to_string(sites.size()) +
                           " sites)");
        return false;
    }
    site = std::move(sites[n - 1]);
    return true;
}
