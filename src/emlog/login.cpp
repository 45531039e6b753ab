#include "emlog/login.h"

#include <filesystem>
#include <mutex>

#include "article/html_tag_finder.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "emlog/admin_redirect.h"
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

const std::string& CaptchaRefusal() {
    static const std::string marker = charset::Utf8ToGbk("验证码错误");
    return marker;
}

bool HasAdminTitle(std::string_view page) {
    return page.find(AdminTitleMarker()) != std::string_view::npos;
}

// emlog pro shows the picture-code field only while its login captcha is switched on.
bool AsksForCaptcha(std::string_view signInPage) {
    HtmlTagFinder finder;
    return !finder.FindElement(signInPage, "input", {"name"}, {"login_code"}).empty();
}

LoginResult Refuse(std::string_view page, bool quiet, LoginResult result) {
    if (!quiet) WriteLoginFailurePage(page);
    return result;
}

// The pro dashboard carries no token; its article list and category page do.
std::string FetchProToken(const EmlogClient& client) {
    for (const std::string_view page : {pro_page::kArticles, pro_page::kSort}) {
        std::string token =
            FindFormToken(client.Http().Request(client.AdminUrl(page), "", FileEncoding::Utf8));
        if (!token.empty()) return token;
    }
    return {};
}

// Signs in on emlog pro's own page. signInPage: the sign-in page the old login URL led
// to, with its session cookie already in the jar (pro keeps its notices in the session).
LoginResult ProLogin(SiteConfig& site, bool quiet, std::string signInPage) {
    const EmlogClient client(site);
    if (AsksForCaptcha(signInPage)) return Refuse(signInPage, quiet, LoginResult::CaptchaRequired);
    const std::string body =
        "user=" + FormUrlEncode(site.用户, true) + "&pw=" + FormUrlEncode(site.密码, true);
    const std::string page =
        client.Http().Request(client.AdminUrl(pro_page::kDoSignIn), body, FileEncoding::Utf8);
    if (!HasAdminTitle(page)) {
        const bool captcha = page.find(CaptchaRefusal()) != std::string::npos;
        return Refuse(page, quiet, captcha ? LoginResult::CaptchaRequired : LoginResult::Failed);
    }
    client.Token() = FetchProToken(client);
    return LoginResult::Ok;
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

LoginResult TryLogin(SiteConfig& site, bool quiet) {
    // Learnt afresh: a site may have moved to emlog pro since the last login.
    site.adminKind = AdminKind::Classic;
    EmlogClient client(site);
    const bool utf8 = client.IsUtf8();
    const std::string body =
        "user=" + FormUrlEncode(site.用户, utf8) + "&pw=" + FormUrlEncode(site.密码, utf8);
    HttpResult answer =
        client.Http().Fetch(client.AdminUrl(admin_page::kLogin), body, client.PageEncoding());
    if (EndedAtAdminPage(client, answer.finalUrl, pro_page::kSignIn)) {
        site.adminKind = AdminKind::Pro;
        // Read as the site's charset said; pro pages are UTF-8.
        if (!utf8)
            answer.text =
                client.Http().Request(client.AdminUrl(pro_page::kSignIn), "", FileEncoding::Utf8);
        return ProLogin(site, quiet, std::move(answer.text));
    }
    const std::string& page = answer.text;
    if (!HasAdminTitle(page)) return Refuse(page, quiet, LoginResult::Failed);
    std::string token = FindFormToken(page);
    if (token.empty()) {
        const std::string writePage =
            client.Http().Request(client.AdminUrl(admin_page::kWriteLog), "", FileEncoding::Auto);
        token = FindFormToken(writePage);
    }
    client.Token() = token;
    return LoginResult::Ok;
}

bool Login(SiteConfig& site, bool quiet) {
    return TryLogin(site, quiet) == LoginResult::Ok;
}
