#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sandbox_server.h"

// The site list of the qingluan-sandbox program: one site per line,
//   prefix|user|password|charset|blog name[|admin folder[|categories[|options]]]
// charset "utf-8" or "gbk"; an empty prefix (or "/") serves the site at the root;
// categories "sid:name:parent sid" separated by ",", parent 0 for a top-level one;
// options separated by ",": "pro" (emlog pro, UTF-8 only), "captcha" (pro with its login
// captcha on), "silent" (a 5.x site whose pages after a save show no notice).
// Blank lines and lines starting with "#" are skipped. The file is UTF-8.
namespace sandbox {

// false with `error` naming the line when a line does not parse.
bool ParseSiteLine(std::string_view line, SiteOptions& site, std::string& error);
bool LoadSiteConfig(const std::string& path, std::vector<SiteOptions>& sites, std::string& error);

// "1:技术:0,2:PHP笔记:1" into categories; false when an entry is malformed.
bool ParseCategoryList(std::string_view text, std::vector<SandboxCategory>& categories);

}  // namespace sandbox
