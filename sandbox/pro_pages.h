#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sandbox_server.h"

// The HTML of the emlog pro 2.6 admin pages, UTF-8 only, with the markup clients parse:
// the titles, the token input, the category tree rows and the alert notices that pro
// carries in the session and shows on the next page.
namespace sandbox {

// A notice waiting in a session for the page after the redirect.
struct ProNotice {
    bool success = true;  // alert-success, else alert-danger
    std::string text;
};

struct ProPageContext {
    std::string blogName;
    std::string token;  // empty: no token input on the page
    ProNotice notice;   // text empty: none
};

std::string ProSignInPage(const ProPageContext& page, bool captcha);
std::string ProDashboardPage(const ProPageContext& page);
std::string ProArticlePage(const ProPageContext& page, const std::vector<SandboxPost>& posts,
                           bool drafts);
// The write page: the editor form, without a token input.
std::string ProWritePage(const ProPageContext& page,
                         const std::vector<SandboxCategory>& categories);
std::string ProSortPage(const ProPageContext& page, const std::vector<SandboxCategory>& categories);
// emMsg(): the bare page titled 提示信息.
std::string ProMessagePage(std::string_view message);

}  // namespace sandbox
