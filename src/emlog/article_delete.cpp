#include "emlog/article_delete.h"

#include "core/charset.h"
#include "core/gbk_text.h"
#include "emlog/emlog_client.h"

std::string DeleteArticleBody(std::int64_t id, std::string_view token) {
    std::string body = "pid=&blog%5B%5D=" + std::to_string(id);
    body += "&token=";
    body += token;
    body += "&operate=del&top=&sort=0";
    return body;
}

bool DeleteArticle(SiteConfig& site, std::int64_t id) {
    // No ">" in front: emlog versions differ in what precedes the notice.
    static const std::string marker = charset::Utf8ToGbk("删除成功</span>");
    const EmlogClient client(site);
    const std::string answer = client.Http().Request(client.AdminUrl(admin_page::kOperateLog),
                                                     DeleteArticleBody(id, site.token));
    return gbk::FindNoCase(answer, marker) != std::string::npos;
}
