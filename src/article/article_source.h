#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/site_config.h"

// The two ways of listing a site's article folder (文章目录) under its file filter
// (文件过滤). Both list only files directly inside the folder, each as the folder with one
// trailing separator followed by the file name (GBK), in the order the file system
// enumerates them; a name that GBK cannot represent is skipped.
enum class ScanVariant { PatternScan, FindFileScan };

// One pass over the folder; the filter is "*"/"*.*" (every file), "*.ext" (by extension,
// ignoring ASCII case) or a wildcard pattern with "|" alternatives ("?" matches zero or
// one character). An empty filter becomes "*" and is stored back into the site.
std::vector<std::string> PatternScan(SiteConfig& site);

// One pass per "|"-separated filter item, so a file matching two items is listed twice;
// "*" matches any run of characters and "?" exactly one, ignoring ASCII case. The
// completed folder and the defaulted filter ("*.*") are stored back into the site.
std::vector<std::string> FindFileScan(SiteConfig& site);

// The scan of the given variant.
std::vector<std::string> ScanArticles(SiteConfig& site, ScanVariant variant);

// Whole-name wildcard match ("*" any run, "?" exactly one character, ASCII case ignored;
// "*.*" is every name, as the system's own file search has it).
bool WildcardMatches(std::string_view pattern, std::string_view name);
