#include "emlog/article_delete.h"

#include "core/charset.h"
#include "core/gbk_text.h"
#include "emlog/admin_redirect.h"
#include "emlog/emlog_client.h"

std::string DeleteArticleBody(std::int64_t id, std::string_view token) {
    std::string body = "pid=&blog%5B%5D=" + std::to_string(id);
    body += "&token=";
    body += token;
    body += "&operate=del&top=&sort=0";
    return body;
}

std::string ProDeleteArticleBody(std::int64_t id, std::string_view token) {
    std::string body = "draft=0&blog%5B%5D=" + std::to_string(id);
    body += "&token=";
    body += token;
    body += "&operate=del&author=&sort=";
    return body;
}

bool DeleteArticle(SiteConfig& site, std::int64_t id) {
    // No ">" in front: emlog versions differ in what precedes the notice.
    static const std::string marker = charset::Utf8ToGbk("删除成功</span>");
    const EmlogClient client(site);
    if (client.IsPro()) {
        const HttpResult answer =
            client.Http().Fetch(client.AdminUrl(pro_page::kOperateArticles),
                                ProDeleteArticleBody(id, site.token), FileEncoding::Utf8);
        return EndedAtAdminPage(client, answer.finalUrl, "/article.php?draft=0");
    }
    const HttpResult answer = client.Http().Fetch(client.AdminUrl(admin_page::kOperateLog),
                                                  DeleteArticleBody(id, site.token));
    return gbk::FindNoCase(answer.text, marker) != std::string::npos ||
           EndedAtAdminPage(client, answer.finalUrl, "/admin_log.php?active_del=1");
}
