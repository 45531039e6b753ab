#pragma once

#include <string>
#include <string_view>

#include "settings/site_config.h"

// The fields of one publish attempt beside title, body and category. GBK.
struct PostMetadata {
    std::string tags;     // joined by ","
    std::string excerpt;  // the start of the body's plain text
    std::string alias;
};

// Draws tags, excerpt and alias afresh for one publish attempt: tags from the site's
// prepared tag lines (each used once before any repeats, across articles) or, with
// 文章中提取标签, the most frequent words of body and title; the excerpt is 内容摘要数1 …
// 内容摘要数2 characters of PlainText(body).
PostMetadata BuildPostMetadata(SiteConfig& site, std::string_view title, std::string_view body);

// Splits 标签数据 at every CR LF into site.prep.tagLines (an empty line between two breaks
// stays, a trailing break adds none) and empties the tag picker. Part of preparing a site.
void PrepareTagList(SiteConfig& site);

// At most this many tags are drawn from the tag lines in one attempt, whatever the bounds
// say: a mistyped bound of millions would otherwise stall the site job building a text of
// megabytes that no site accepts.
inline constexpr std::int32_t kMaxDrawnTags = 1000;
