#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct SiteConfig;

// The post alias (URL slug) of one publish attempt, by SiteConfig 别名类型: 0 none,
// 1 pinyin initials, 2 full pinyin, 3 random digits, 4 random letters, 5 random digits
// and letters, 6 running number (advances site.prep.AliasCounter on every call).
// Types 1 … 6 are wrapped in 别名左边 and 别名右边. GBK in and out.
std::string BuildAlias(SiteConfig& site, std::string_view title);

// Sets the running number back to 别名起始值; called whenever the site is prepared.
void ResetAliasCounter(SiteConfig& site);

// The separator of 拼音间隔符: 0 "", 1 "-", 2 "_", 3 ","; other values give "".
std::string_view PinyinSeparator(std::int32_t index);
