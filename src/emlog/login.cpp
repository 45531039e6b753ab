#include "emlog/login.h"

#include <filesystem>
#include <mutex>

#include "article/html_tag_finder.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "emlog/emlog_client.h"
#include "emlog/form_url_encode.h"

namespace {

const std::string& AdminTitleMarker() {
    static const std::string marker = charset::Utf8ToGbk("<title>管理中心");
    return marker;
}

// Every occurrence of `from`, compared without regard to ASCII case, replaced by `to`.
std::string ReplaceNoCase(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t hit = gbk::FindNoCase(text, from, start);
        if (hit == std::string_view::npos) break;
        result.append(text.substr(start, hit - start));
        result.append(to);
        start = hit + from.size();
    }
    result.append(text.substr(start));
    return result;
}

}  // namespace

std::string FindFormToken(std::string_view page) {
    HtmlTagFinder finder;
    const std::string input = finder.FindElement(page, "input", {"name"}, {"token"});
    return input.empty() ? std::string() : finder.AttributeValue(input, "value");
}

std::string LoginFailurePagePath() {
    static const std::string name = charset::Utf8ToGbk("登录失败.htm");
    return platform::JoinPath(platform::DataFolder(), name);
}

void WriteLoginFailurePage(std::string_view page) {
    const std::string quotedFixed = ReplaceNoCase(page, "charset=\"UTF-8\"", "charset=\"gbk\"");
    // Unquoted, since it usually sits inside a quoted content="text/html; charset=…".
    const std::string content = ReplaceNoCase(quotedFixed, "charset=UTF-8", "charset=gbk");
    static std::mutex writer;
    std::lock_guard lock(writer);
    // Written beside and renamed over, so a browser showing the page never sees half of it.
    const std::string path = LoginFailurePagePath();
    const std::string temporary = path + ".tmp";
    if (!platform::WriteWholeFile(temporary, content)) return;  // a failed write is ignored
    std::error_code ec;
    std::filesystem::rename(platform::NativePath(temporary), platform::NativePath(path), ec);
    if (ec) platform::DeleteFileAt(temporary);
}

bool Login(SiteConfig& site, bool quiet) {
    EmlogClient client(site);
    const bool utf8 = client.IsUtf8();
    const std::string body =
        "user=" + FormUrlEncode(site.用户, utf8) + "&pw=" + FormUrlEncode(site.密码, utf8);
    const std::string page =
        client.Http().Request(client.AdminUrl(admin_page::kLogin), body, client.PageEncoding());
    if (page.find(AdminTitleMarker()) == std::string::npos) {
        if (!quiet) WriteLoginFailurePage(page);
        return false;
    }
    std::string token = FindFormToken(page);
    if (token.empty()) {
        const std::string writePage =
            client.Http().Request(client.AdminUrl(admin_page::kWriteLog), "", FileEncoding::Auto);
        token = FindFormToken(writePage);
    }
    client.Token() = token;
    return true;
}
