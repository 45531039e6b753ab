#include "emlog/publish.h"

#include "article/post_metadata.h"
#include "core/charset.h"
#include "core/format_now.h"
#include "emlog/emlog_client.h"
#include "emlog/form_url_encode.h"

namespace {

const std::string& PublishedMarker() {
    static const std::string marker = charset::Utf8ToGbk(">发布成功</span>");
    return marker;
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

std::string PostFieldsBody(const PostFields& fields) {
    std::string body;
    body.reserve(fields.title.size() + fields.content.size() + fields.tag.size() +
                 fields.excerpt.size() + fields.alias.size() + fields.token.size() + 160);
    body += "title=" + fields.title;
    body += "&as_logid=" + fields.asLogId;
    body += "&content=" + fields.content;
    body += "&tag=" + fields.tag;
    body += "&sort=" + fields.sort;
    body += "&postdate=" + fields.postdate;
    body += "&excerpt=" + fields.excerpt;
    body += "&alias=" + fields.alias;
    body += "&top=" + fields.top;
    body += "&sortop=" + fields.sortop;
    body += "&allow_remark=" + fields.allowRemark;
    body += "&token=" + fields.token;
    body += "&author=" + fields.author;
    return body;
}

bool SendPost(SiteConfig& site, const PostFields& fields) {
    const EmlogClient client(site);
    const std::string answer = client.Http().Request(client.AdminUrl(admin_page::kSaveLog),
                                                     PostFieldsBody(fields), FileEncoding::Auto);
    return answer.find(PublishedMarker()) != std::string::npos;
}

bool Publish(SiteConfig& site, std::string_view title, std::string_view body) {
    return SendPost(site, BuildPostFields(site, title, body));
}
