#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "article/article_source.h"
#include "article/compose_article.h"
#include "settings/site_config.h"

// What a site job asks of the article and emlog layers. The defaults are the real
// operations; tests wrap them to count or to break one step.
struct SiteOps {
    std::function<void(SiteConfig&)> resetSession;
    std::function<bool(SiteConfig&)> login;
    std::function<std::vector<std::string>(SiteConfig&, ScanVariant)> listArticles;
    // Tag lines, category list and running alias number, from the site's settings.
    std::function<void(SiteConfig&)> resetPreparation;
    std::function<std::optional<ArticleText>(std::string_view path, SiteConfig&)> compose;
    std::function<bool(SiteConfig&, const std::string& title, const std::string& body)> publish;
    std::function<bool(std::string_view path)> deleteFile;
};

SiteOps DefaultSiteOps();
