#pragma once

#include "emlog/http_client.h"
#include "settings/site_config.h"

// The site's own HTTP session, created on first use. A copied record starts without one,
// so two records never share cookies.
HttpClient& SiteHttp(SiteConfig& site);
