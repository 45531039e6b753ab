#include "run/site_ops.h"

#include "article/alias.h"
#include "article/post_metadata.h"
#include "core/platform/files.h"
#include "emlog/login.h"
#include "emlog/publish.h"
#include "emlog/site_http.h"

SiteOps DefaultSiteOps() {
    SiteOps ops;
    ops.resetSession = [](SiteConfig& site) { SiteHttp(site).Reset(); };
    ops.login = [](SiteConfig& site) { return TryLogin(site, false); };
    ops.listArticles = [](SiteConfig& site, ScanVariant variant) {
        return ScanArticles(site, variant);
    };
    ops.resetPreparation = [](SiteConfig& site) {
        PrepareTagList(site);
        PrepareCategoryList(site);
        ResetAliasCounter(site);
    };
    ops.compose = [](std::string_view path, SiteConfig& site) {
        return ComposeArticle(path, site);
    };
    ops.publish = [](SiteConfig& site, const std::string& title, const std::string& body) {
        return Publish(site, title, body);
    };
    ops.deleteFile = [](std::string_view path) { return platform::DeleteFileAt(path); };
    ops.endSession = [](SiteConfig& site) { site.http.client.reset(); };
    ops.answered = [](SiteConfig& site) { return !SiteHttp(site).LastExchangeFailed(); };
    return ops;
}
