#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/site_config.h"

// "pid=&blog%5B%5D=<id>&token=<token>&operate=del&top=&sort=0": the article list's form
// with one box ticked and the delete operation chosen. Nothing in it is encoded further.
std::string DeleteArticleBody(std::int64_t id, std::string_view token);

// emlog pro's list form: "draft=0&blog%5B%5D=<id>&token=<token>&operate=del&author=&sort=".
std::string ProDeleteArticleBody(std::int64_t id, std::string_view token);

// Deletes article `id` from a logged-in site; true when the answer holds "删除成功</span>"
// or the deletion's redirect ended at the article list (admin_log.php?active_del=1, on
// pro article.php?draft=0), which emlog sends only after deleting. An id that does not
// exist is a failure (emlog answers with a message page).
bool DeleteArticle(SiteConfig& site, std::int64_t id);
