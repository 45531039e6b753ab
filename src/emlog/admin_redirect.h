#pragma once

#include <string_view>

#include "emlog/emlog_client.h"

// Whether a request's redirects ended at `page` of the site's admin, for example
// "/admin_log.php?active_post=1": emlog sends the browser there only once a save has been
// stored, whatever the page then shows. Same path below the host (scheme and host may
// differ, as when a site moves to www. or to https), and every parameter of the page's
// query with its value in the final query; a page without a query matches only a final
// URL without one.
bool EndedAtAdminPage(const EmlogClient& client, std::string_view finalUrl, std::string_view page);
