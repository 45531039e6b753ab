#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/site_config.h"

// One article as it will be posted: title and body are GBK; category 0 means none.
struct ArticleText {
    std::string title;
    std::string body;
    std::int32_t category = 0;
};

// Reads the file at the GBK path and derives title, body and category under the site's
// options (文件编码, 首行标题, 段落标签, 分类ID). Nothing when the file gives no text. The
// chosen category is also kept as site.prep.chosenCategory.
std::optional<ArticleText> ComposeArticle(std::string_view path, SiteConfig& site);

// Parses 分类ID (items split at ",", each read by its leading number, 0 when none) into
// site.prep.categoryIds and empties the category picker. Part of preparing a site.
void PrepareCategoryList(SiteConfig& site);

// The next category of the prepared list, each once before any repeats; 0 when the
// list is empty.
std::int32_t ChooseCategory(SiteConfig& site);

// The file name of a path without its last extension ("" for a name that is only an
// extension).
std::string TitleFromFileName(std::string_view path);

// Takes the first line with visible text (tags stripped, blanks trimmed) as the title and
// keeps what follows it as the body; with no such line the title stays and the body
// becomes empty.
void TakeFirstLineTitle(std::string& title, std::string& body);

// Wraps every non-empty line in "<p>" … "</p>" followed by CR LF; empty lines go.
void WrapParagraphs(std::string& body);

// Removes every "<" … ">" span that holds no other angle bracket, in one pass.
std::string StripTags(std::string_view text);
