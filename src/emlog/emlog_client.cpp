#include "emlog/emlog_client.h"

#include "core/gbk_text.h"
#include "emlog/site_http.h"

SiteCharset EmlogClient::Charset() const {
    return m_site.编码 == 0 || IsPro() ? SiteCharset::Utf8 : SiteCharset::Gbk;
}

FileEncoding EmlogClient::PageEncoding() const {
    return IsUtf8() ? FileEncoding::Utf8 : FileEncoding::Gbk;
}

std::string EmlogClient::AdminBase() const {
    return ::AdminBase(m_site);
}

HttpClient& EmlogClient::Http() const {
    return SiteHttp(m_site);
}

std::string AdminBase(const SiteConfig& site) {
    // The loader fills in "admin"; a record built elsewhere may not have.
    const std::string folder = site.后台.empty() ? std::string("admin") : site.后台;
    // A domain stored with "https://" (or as "https:host" by older copies, which kept
    // only the "https:" of it) is a TLS site; every other domain means http.
    const std::string lowered = gbk::AsciiLower(std::string_view(site.域名).substr(0, 8));
    if (lowered.starts_with("https://")) return "https://" + site.域名.substr(8) + "/" + folder;
    if (lowered.starts_with("https:")) return "https://" + site.域名.substr(6) + "/" + folder;
    return "http://" + site.域名 + "/" + folder;
}
