#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "emlog/categories.h"
#include "settings/category_tree.h"
#include "settings/site_config.h"

// The category pages of the emlog pro admin, behind ReadCategories, CreateCategory and
// DeleteCategory for a site that signed in as pro. Pro keeps its notices in the session
// and sends every save, failed or not, back to sort.php: only the notice tells them apart.

// The rows of pro's sort.php: td.tree-name cells, each a link carrying data-sid and
// data-pid (0 for a top-level category) around the name, HTML-escaped. found: the page is
// a logged-in admin page (it carries the form token).
CategoryTree CategoriesFromProSortPage(std::string_view page, bool* found = nullptr);

CategoryRead ReadProCategories(SiteConfig& site, const CategoryTree& before);

// "sortname=…&alias=…&pid=…&sortimg=&title=&description=…&kw=&page_count=&template=…"
// "&sid=&token=…", the texts percent-encoded as UTF-8, pid as it is.
std::string ProCategoryFormBody(const CategoryFields& fields, std::string_view token);

// True when the page after the save shows "保存成功".
bool CreateProCategory(SiteConfig& site, const CategoryFields& fields);

// True when the page after the deletion shows "删除成功" (pro says so for a missing id too).
bool DeleteProCategory(SiteConfig& site, std::int64_t id);
