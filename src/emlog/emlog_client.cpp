#include "emlog/emlog_client.h"

#include "emlog/site_http.h"

SiteCharset EmlogClient::Charset() const {
    return m_site.编码 == 0 ? SiteCharset::Utf8 : SiteCharset::Gbk;
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
    return "http://" + site.域名 + "/" + folder;
}
