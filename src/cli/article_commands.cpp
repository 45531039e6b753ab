// qingluan-cli scan --site N [--variant pattern|findfile]: the article list of a site.
// qingluan-cli preview FILE --site N: one article as it would be posted to site N.

#include <cstdio>
#include <string>

#include "article/article_source.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

// Site N (1-based) of the settings file, read-only; false after the error line.
bool LoadSite(const CliContext& context, const std::string& number, SiteConfig& site,
              int& exitCode) {
    std::size_t n = 0;
    const bool digits = !number.empty() && number.size() <= 9 &&
                        number.find_first_not_of("0123456789") == std::string::npos;
    if (digits) n = std::stoul(number);
    if (n < 1) {
        exitCode = CliFail("--site takes a site number from 1, not \"" + number + "\"");
        return false;
    }
    if (!platform::FileExists(context.settingsPath)) {
        exitCode = CliFail("settings file not found: " + charset::GbkToUtf8(context.settingsPath));
        return false;
    }
    ConfigStore store;
    store.Bind(context.settingsPath, ConfigStore::BindMode::ReadOnly);
    SiteList sites;
    LoadSiteRecords(store, sites);
    if (n > sites.size()) {
        exitCode = CliFail("no site " + number + " (the file has " + std::to_string(sites.size()) +
                           " sites)");
        return false;
    }
    site = sites[n - 1];
    return true;
}

int RunScan(CliContext& context) {
    auto& args = context.args;
    std::string number;
    std::string variantText = "findfile";
    const bool hasSite = TakeOption(args, "--site", number);
    TakeOption(args, "--variant", variantText);
    if (!hasSite || !args.empty())
        return CliFail("usage: scan --site N [--variant pattern|findfile]");
    ScanVariant variant;
    if (variantText == "pattern") {
        variant = ScanVariant::PatternScan;
    } else if (variantText == "findfile") {
        variant = ScanVariant::FindFileScan;
    } else {
        return CliFail("--variant takes pattern or findfile, not \"" + variantText + "\"");
    }
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSite(context, number, site, exitCode)) return exitCode;
    for (const auto& path : ScanArticles(site, variant)) PrintGbkLine(path);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kScan("scan", "--site N [--variant pattern|findfile]  the site's article paths",
                       RunScan);

}  // namespace
