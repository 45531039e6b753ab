#pragma once

#include <string>
#include <string_view>

#include "settings/site_config.h"

// UTF-8 text as a JSON string, quotes included.
std::string JsonString(std::string_view utf8);

// One site record as a JSON object (UTF-8, one line): every saved key in the order it is
// saved, logical values as true/false, numbers as numbers as they are saved, texts as
// they are in memory (CR LF between lines), 分类数据 as lowercase hex of its bytes.
std::string SiteJson(const SiteConfig& site);
