#include "emlog/publish.h"

#include "article/post_metadata.h"
#include "core/charset.h"
#include "core/format_now.h"
#include "emlog/admin_redirect.h"
#include "emlog/emlog_client.h"
#include "emlog/form_url_encode.h"

namespace {

const std::string& PublishedMarker(AdminKind kind) {
    static const std::string classic = charset::Utf8ToGbk(">发布成功</span>");
    static const std::string pro = charset::Utf8ToGbk(">发布成功</div>");
    return kind == AdminKind::Pro ? pro : classic;
}

// Where emlog sends the browser after storing a published article.
std::string_view ArticleListAfterPublish(AdminKind kind) {
    return kind == AdminKind::Pro ? pro_page::kArticles : "/admin_log.php?active_post=1";
}

std::string YesNo(bool value) {
    return value ? "y" : "n";
}

}  // namespace

PostFields BuildPostFields(SiteConfig& site, std::string_view title, std::string_view body) {
    const EmlogClient client(site);
    const bool utf8 = client.IsUtf8();
    const PostMetadata metadata = BuildPostMetadata(site, title, body);
    PostFields fields;
    fields.title = FormUrlEncode(title, utf8);
    fields.content = FormUrlEncode(body, utf8);
    // Tags and alias are user text too: unencoded, a "&" or "=" in them would split the
    // form, and Chinese would arrive in the wrong charset on one kind of site.
    fields.tag = FormUrlEncode(metadata.tags, utf8);
    fields.sort = std::to_string(site.prep.chosenCategory);
    fields.postdate = FormUrlEncode(FormatNow(TimeFormat::DateTime), false);
    fields.excerpt = FormUrlEncode(metadata.excerpt, utf8);
    fields.alias = FormUrlEncode(metadata.alias, utf8);
    fields.top = YesNo(site.首页置顶);
    fields.sortop = YesNo(site.分类置顶);
    fields.allowRemark = YesNo(site.允许评论);
    // emlog's token is hex, which encoding leaves as it is; any other token still arrives
    // whole.
    fields.token = FormUrlEncode(site.token, utf8);
    return fields;
}

std::vector<FormField> PublishForm(const PostFields& fields, AdminKind kind) {
    if (kind == AdminKind::Pro) {
        return {
            {"title", fields.title},
            {"logcontent", fields.content},
            {"logexcerpt", fields.excerpt},
            {"ishide", "n"},
            {"as_logid", fields.asLogId},
            {"gid", "-1"},
            {"author", fields.author},
            {"pubPost", "1"},
            {"cover", ""},
            {"upload_img", ""},
            {"sort", fields.sort},
            {"tag", fields.tag},
            {"allow_remark", fields.allowRemark},
            {"top", fields.top},
            {"sortop", fields.sortop},
            {"postdate", fields.postdate},
            {"alias", fields.alias},
            {"link", ""},
            {"password", ""},
            {"token", fields.token},
        };
    }
    return {
        {"title", fields.title},
        {"as_logid", fields.asLogId},
        {"content", fields.content},
        {"tag", fields.tag},
        {"sort", fields.sort},
        {"postdate", fields.postdate},
        {"excerpt", fields.excerpt},
        {"alias", fields.alias},
        {"top", fields.top},
        {"sortop", fields.sortop},
        {"allow_remark", fields.allowRemark},
        {"token", fields.token},
        {"author", fields.author},
    };
}

std::string PostFieldsBody(const PostFields& fields, AdminKind kind) {
    const std::vector<FormField> form = PublishForm(fields, kind);
    std::size_t size = 0;
    for (const FormField& field : form) size += field.name.size() + field.value.size() + 2;
    std::string body;
    body.reserve(size);
    for (const FormField& field : form) {
        if (!body.empty()) body += '&';
        body += field.name;
        body += '=';
        body += field.value;
    }
    return body;
}

std::string_view PublishPage(const SiteConfig& site) {
    return site.adminKind == AdminKind::Pro ? pro_page::kSaveArticle : admin_page::kSaveLog;
}

bool SendPost(SiteConfig& site, const PostFields& fields) {
    const EmlogClient client(site);
    const AdminKind kind = site.adminKind;
    const HttpResult answer = client.Http().Fetch(client.AdminUrl(PublishPage(site)),
                                                  PostFieldsBody(fields, kind), FileEncoding::Auto);
    // The redirect counts even when the list page after it did not arrive: the article
    // is stored by then, and a second attempt would post it twice.
    return answer.text.find(PublishedMarker(kind)) != std::string::npos ||
           EndedAtAdminPage(client, answer.finalUrl, ArticleListAfterPublish(kind));
}

bool Publish(SiteConfig& site, std::string_view title, std::string_view body) {
    return SendPost(site, BuildPostFields(site, title, body));
}
