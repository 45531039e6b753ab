#pragma once

#include <string>
#include <string_view>

#include "settings/category_tree.h"
#include "settings/site_config.h"

// Category lists and changes on a logged-in emlog admin. Each operation is one function
// over the site's record, for either kind of admin the login found; the page layouts of
// emlog 5.x stay in categories.cpp, those of emlog pro in pro_categories.cpp.

// What a category read found. `answered` is false when neither the category table of
// sort.php nor the category select of the write page was in the answers (no answer, a
// login page, an error page): an empty tree then says nothing about the site's
// categories, whereas an answered empty tree means the site has none.
struct CategoryRead {
    CategoryTree tree;
    bool answered = false;
};

// The site's categories as the editor's tree: sort.php first, the write page's select
// when that gave no item. Item text is name + "[" + id + "]", value the id; a child goes
// under the last top-level item before it (to the top level when there is none). Items
// whose id is checked in `before` come back checked; items with children are kMixed.
CategoryRead ReadCategories(SiteConfig& site, const CategoryTree& before);

// The items of sort.php's table (class item_list, its tbody, td.sortname cells) and of the
// write page's select#sort; exposed for the pages a test or another admin kind brings.
CategoryTree CategoriesFromSortPage(std::string_view page, bool* found = nullptr);
CategoryTree CategoriesFromWritePage(std::string_view page, bool* found = nullptr);

// The fields of one new category as typed (GBK); pid is decimal text.
struct CategoryFields {
    std::string name;
    std::string alias;
    std::string pid = "0";
    std::string templateName;
    std::string description;
};

// "taxis=&sortname=…&alias=…&pid=…&template=…&description=…&token=…", the texts
// percent-encoded in the site's charset, pid as it is.
std::string CategoryFormBody(const CategoryFields& fields, std::string_view token, bool utf8);

// Creates one category; true when the answer confirms it (">添加分类成功</span>", or the
// redirect to sort.php?active_add=1 that emlog sends only after storing it).
bool CreateCategory(SiteConfig& site, const CategoryFields& fields);

// The template a new category gets when none is typed: the value of sort.php's input named
// "template", "log_list" when that is empty or missing. One request.
std::string DefaultCategoryTemplate(SiteConfig& site);

// Deletes category `id` (a GET with the token); true on ">删除分类成功</span>".
bool DeleteCategory(SiteConfig& site, std::int64_t id);
