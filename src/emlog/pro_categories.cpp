#include "emlog/pro_categories.h"

#include "article/html_entities.h"
#include "article/html_tag_finder.h"
#include "article/text_markers.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "emlog/emlog_client.h"
#include "emlog/form_url_encode.h"
#include "emlog/login.h"

namespace {

// Pro's alerts: <div class="alert alert-success">保存成功</div>.
bool ShowsNotice(std::string_view page, const char* utf8Text) {
    const std::string marker = charset::Utf8ToGbk(std::string(">") + utf8Text + "</div>");
    return gbk::FindNoCase(page, marker) != std::string_view::npos;
}

std::string TrimSpaces(std::string text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view StartTag(std::string_view element) {
    const std::size_t end = element.find('>');
    return end == std::string_view::npos ? element : element.substr(0, end + 1);
}

std::string LinkText(std::string_view link) {
    std::int64_t position = 0;
    return TextBetween(link, ">", "<", position);
}

}  // namespace

CategoryTree CategoriesFromProSortPage(std::string_view page, bool* found) {
    HtmlTagFinder finder;
    if (found) *found = !FindFormToken(page).empty();
    CategoryTree tree;
    for (std::int32_t n = 1;; ++n) {
        const std::string cell =
            finder.FindElement(page, "td", {"class"}, {"tree-name"}, true, false, n);
        if (cell.empty()) break;
        const std::string link = finder.FindElement(cell, "a", {"data-sid"}, {""});
        if (link.empty()) continue;
        const std::string_view tag = StartTag(link);
        const std::int32_t id = TextToInt(finder.AttributeValue(tag, "data-sid"));
        const bool child = TextToInt(finder.AttributeValue(tag, "data-pid")) != 0;
        CategoryItem item;
        // Unlike 5.x's link text, shown as it is, the name is decoded: pro escapes every
        // name, so "&amp;" there always stands for "&".
        item.text = TrimSpaces(DecodeHtmlEntities(LinkText(link))) + "[" + std::to_string(id) + "]";
        item.value = std::to_string(id);
        item.level = child && !tree.items.empty() ? 1 : 0;
        tree.items.push_back(std::move(item));
    }
    tree.FixParents();
    return tree;
}

CategoryRead ReadProCategories(SiteConfig& site, const CategoryTree& before) {
    const EmlogClient client(site);
    CategoryRead read;
    read.tree = CategoriesFromProSortPage(
        client.Http().Request(client.AdminUrl(pro_page::kSort), "", FileEncoding::Utf8),
        &read.answered);
    read.tree.CheckValues(before.CheckedValueList());
    return read;
}

std::string ProCategoryFormBody(const CategoryFields& fields, std::string_view token) {
    std::string body = "sortname=" + FormUrlEncode(fields.name, true);
    body += "&alias=" + FormUrlEncode(fields.alias, true);
    body += "&pid=" + fields.pid;
    body += "&sortimg=&title=&description=" + FormUrlEncode(fields.description, true);
    body += "&kw=&page_count=&template=" + FormUrlEncode(fields.templateName, true);
    body += "&sid=&token=";
    body += token;
    return body;
}

bool CreateProCategory(SiteConfig& site, const CategoryFields& fields) {
    const EmlogClient client(site);
    const std::string answer =
        client.Http().Request(client.AdminUrl(pro_page::kSortSave),
                              ProCategoryFormBody(fields, site.token), FileEncoding::Utf8);
    return ShowsNotice(answer, "保存成功");
}

bool DeleteProCategory(SiteConfig& site, std::int64_t id) {
    const EmlogClient client(site);
    std::string url = client.AdminUrl(pro_page::kSortDelete) + std::to_string(id);
    url += "&token=";
    url += site.token;
    return ShowsNotice(client.Http().Request(url, "", FileEncoding::Utf8), "删除成功");
}
