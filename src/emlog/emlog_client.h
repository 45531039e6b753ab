#pragma once

#include <string>
#include <string_view>

#include "article/text_decoding.h"
#include "emlog/http_client.h"
#include "settings/site_config.h"

enum class SiteCharset { Utf8, Gbk };

// Pages of the emlog admin, appended to AdminBase.
namespace admin_page {
inline constexpr std::string_view kLogin = "/index.php?action=login";
inline constexpr std::string_view kWriteLog = "/write_log.php";
inline constexpr std::string_view kSaveLog = "/save_log.php?action=add";
inline constexpr std::string_view kSort = "/sort.php";
inline constexpr std::string_view kSortAdd = "/sort.php?action=add";
inline constexpr std::string_view kSortDelete = "/sort.php?action=del&sid=";
inline constexpr std::string_view kOperateLog = "/admin_log.php?action=operate_log";
}  // namespace admin_page

// Pages of the emlog pro admin, appended to AdminBase.
namespace pro_page {
inline constexpr std::string_view kSignIn = "/account.php?action=signin";
inline constexpr std::string_view kDoSignIn = "/account.php?action=dosignin&s=";
inline constexpr std::string_view kArticles = "/article.php";
inline constexpr std::string_view kSaveArticle = "/article_save.php";
inline constexpr std::string_view kSort = "/sort.php";
inline constexpr std::string_view kSortSave = "/sort.php?action=save";
inline constexpr std::string_view kSortDelete = "/sort.php?action=del&sid=";
inline constexpr std::string_view kOperateArticles = "/article.php?action=operate_log";
}  // namespace pro_page

// The admin connection of one site, as a view over its record: address and credentials
// come from the settings fields, the form token and the HTTP session from its run state.
class EmlogClient {
public:
    explicit EmlogClient(SiteConfig& site) : m_site(site) {}

    SiteConfig& Site() const { return m_site; }
    bool IsPro() const { return m_site.adminKind == AdminKind::Pro; }
    // 编码 0 (the first choice, "UTF-8") is UTF-8; every other value is GBK. emlog pro
    // exists in UTF-8 only, so a pro site is UTF-8 whatever 编码 says.
    SiteCharset Charset() const;
    bool IsUtf8() const { return Charset() == SiteCharset::Utf8; }
    // How login and category pages are decoded: as the site's charset, whatever the
    // headers say.
    FileEncoding PageEncoding() const;

    // "http://" + 域名 + "/" + 后台 ("admin" when empty).
    std::string AdminBase() const;
    std::string AdminUrl(std::string_view page) const { return AdminBase() + std::string(page); }

    HttpClient& Http() const;
    std::string& Token() const { return m_site.token; }

private:
    SiteConfig& m_site;
};

std::string AdminBase(const SiteConfig& site);
