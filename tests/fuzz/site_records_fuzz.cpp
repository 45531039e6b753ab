// The site records of a settings file loaded read-only, as the import of another file
// does: counts, missing sections and damaged values of every kind.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::ScratchFolder() + "/sites.ini";
    fuzz::WriteWholeFile(path, fuzz::AsView(data, size));

    ConfigStore store;
    store.Bind(path, ConfigStore::BindMode::ReadOnly);
    SiteList sites;
    LoadSiteRecords(store, sites);
    fuzz::Check(sites.size() <= static_cast<std::size_t>(kMaxSiteRecords),
                "no more records than the cap");
    for (const SiteConfig& site : sites) {
        fuzz::Check(!site.后台.empty(), "a loaded site always has an admin folder");
        (void)SiteRowText(site);
        (void)SiteKeyValues(site);
    }
    return 0;
}
