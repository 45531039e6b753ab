#include "emlog/site_http.h"

#include <memory>

HttpClient& SiteHttp(SiteConfig& site) {
    if (!site.http.client) site.http.client = std::make_shared<HttpClient>();
    return *site.http.client;
}
