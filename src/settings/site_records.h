#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "settings/config_store.h"
#include "settings/site_config.h"

// A damaged or hand-edited 站点数 must not make the load build records without end: at
// most this many records are loaded, and at most kMaxMissingTailSites of them for
// sections missing after the last one present (such records only repeat the previous
// site with defaults).
inline constexpr std::int32_t kMaxSiteRecords = 100000;
inline constexpr std::int32_t kMaxMissingTailSites = 100;

// "站点序号_" + n
std::string SiteSectionName(std::size_t n);
// The site list's row text: 域名 + "(" + 用户 + ")"
std::string SiteRowText(const SiteConfig& site);

// Appends the site records of the store to `sites` and returns the saved 现行项.
std::int32_t LoadSiteRecords(ConfigStore& store, SiteList& sites);

// Writes section 站点配置 and one section per site; publishes once. selectedRow: the
// selected row of the site list, -1 for none.
bool SaveSiteRecords(ConfigStore& store, const SiteList& sites, std::int32_t selectedRow);

// One site's 启用 from its row's check box, into the file and the record.
bool SaveSiteEnabled(ConfigStore& store, SiteList& sites, std::size_t row, bool enabled);

// Removes site sections count + 1, count + 2, … up to the first one that is missing.
bool PruneSiteSections(ConfigStore& store, std::size_t count);

// A record's persisted keys in the order they are written, each value as it is written
// to the file; 分类数据 (a side file) as lowercase hex of its bytes.
std::vector<std::pair<std::string, std::string>> SiteKeyValues(const SiteConfig& site);
