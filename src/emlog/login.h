#pragma once

#include <string>
#include <string_view>

#include "settings/site_config.h"

enum class LoginResult {
    Ok,
    Failed,
    // An emlog pro sign-in page asking for its picture code: no program can log in
    // until the site's owner switches the login captcha off.
    CaptchaRequired,
};

// Logs into the site's emlog admin through its own HTTP session and sets site.token from
// the page after login, or from the write page when that lacks it. An emlog pro site is
// recognised by the old login page sending the browser to its sign-in page; it is then
// signed in there, site.adminKind becomes Pro, and the token comes from its article list
// or its category page. Ok when the admin welcomed the user (also with no token found); a
// failure leaves the token as it was and, unless quiet, saves the answer as the failure
// page.
LoginResult TryLogin(SiteConfig& site, bool quiet);

// TryLogin, with true for Ok.
bool Login(SiteConfig& site, bool quiet);

// The value of the first input named "token" in a page, "" when there is none.
std::string FindFormToken(std::string_view page);

// Where a failed login's answer is kept: "登录失败.htm" in the data folder.
std::string LoginFailurePagePath();

// Saves a failed login's answer for the user to look at in a browser: declared UTF-8
// charsets become gbk, since the text is saved as GBK. Writers from several sites take
// turns, so each file is whole; the last one stays.
void WriteLoginFailurePage(std::string_view page);
