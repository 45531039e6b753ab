#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sandbox_server.h"

// The HTML of the emlog 5.x admin pages, in UTF-8, with the markup clients parse: titles,
// the token input, the category table and select, the notice spans.
namespace sandbox {

struct PageContext {
    std::string blogName;
    SiteCharset charset = SiteCharset::Utf8;  // charset the page is sent in
    std::string token;                        // empty: no token input on the page
};

struct CategoryRow {
    const SandboxCategory* category;
    bool child;
};

// Top-level categories in sid order, each followed by its children.
std::vector<CategoryRow> OrderedCategories(const std::vector<SandboxCategory>& categories);

std::string HtmlEscape(std::string_view text);
std::string ActivedSpan(std::string_view text);  // <span class="actived">…</span>
std::string ErrorSpan(std::string_view text);    // <span class="error">…</span>

// message: "" or the error shown above the form.
std::string LoginPage(const PageContext& page, std::string_view message);
std::string AdminCenterPage(const PageContext& page);
std::string WriteLogPage(const PageContext& page, const std::vector<SandboxCategory>& categories);
std::string SortPage(const PageContext& page, const std::vector<SandboxCategory>& categories,
                     std::string_view notice, std::string_view templateName);
std::string AdminLogPage(const PageContext& page, const std::vector<SandboxPost>& posts,
                         std::string_view notice);
// emlog's emMsg(): a bare page titled 提示信息.
std::string MessagePage(const PageContext& page, std::string_view message);
std::string FrontPage(const PageContext& page);
std::string ErrorStatusPage(std::int32_t status);

}  // namespace sandbox
