#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "article/article_source.h"
#include "article/compose_article.h"
#include "emlog/login.h"
#include "settings/site_config.h"

// The waits before a site's next try after exchanges that got no answer (refused, reset,
// timed out): firstMs, doubling with each such failure in a row, at most maxMs. Tests
// shorten them.
struct OutagePauses {
    std::int64_t firstMs = 1000;
    std::int64_t maxMs = 30000;
};

// What a site job asks of the article and emlog layers. The defaults are the real
// operations; tests wrap them to count or to break one step.
struct SiteOps {
    std::function<void(SiteConfig&)> resetSession;
    std::function<LoginResult(SiteConfig&)> login;
    std::function<std::vector<std::string>(SiteConfig&, ScanVariant)> listArticles;
    // Tag lines, category list and running alias number, from the site's settings.
    std::function<void(SiteConfig&)> resetPreparation;
    std::function<std::optional<ArticleText>(std::string_view path, SiteConfig&)> compose;
    std::function<bool(SiteConfig&, const std::string& title, const std::string& body)> publish;
    std::function<bool(std::string_view path)> deleteFile;
    // Drops the site's HTTP session once its job is over: an idle keep-alive connection
    // per finished site would use up the descriptors of a large group.
    std::function<void(SiteConfig&)> endSession;
    // Whether the site's last login or publish exchange got an answer of any kind.
    std::function<bool(SiteConfig&)> answered;
    OutagePauses outagePauses;
};

SiteOps DefaultSiteOps();
