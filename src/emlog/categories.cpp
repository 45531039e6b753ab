#include "emlog/categories.h"

#include "article/html_entities.h"
#include "article/html_tag_finder.h"
#include "article/text_markers.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "emlog/admin_redirect.h"
#include "emlog/emlog_client.h"
#include "emlog/form_url_encode.h"
#include "emlog/pro_categories.h"

namespace {

// Success notices, searched without regard to ASCII case.
const std::string& AddedMarker() {
    static const std::string marker = charset::Utf8ToGbk(">添加分类成功</span>");
    return marker;
}

const std::string& DeletedMarker() {
    static const std::string marker = charset::Utf8ToGbk(">删除分类成功</span>");
    return marker;
}

bool HasMarker(std::string_view answer, const std::string& marker) {
    return gbk::FindNoCase(answer, marker) != std::string_view::npos;
}

std::string Between(std::string_view text, std::string_view left, std::string_view right) {
    std::int64_t position = 0;
    return TextBetween(text, left, right, position);
}

std::string TrimSpaces(std::string text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Appends one category the way both pages list them: a child belongs to the last
// top-level item above it.
void AddItem(CategoryTree& tree, std::string name, std::int32_t id, bool child) {
    CategoryItem item;
    item.text = std::move(name) + "[" + std::to_string(id) + "]";
    item.value = std::to_string(id);
    item.level = child && !tree.items.empty() ? 1 : 0;
    tree.items.push_back(std::move(item));
}

// The start tag of an element: up to its first ">".
std::string_view StartTag(std::string_view element) {
    const std::size_t end = element.find('>');
    return end == std::string_view::npos ? element : element.substr(0, end + 1);
}

}  // namespace

CategoryTree CategoriesFromSortPage(std::string_view page, bool* found) {
    HtmlTagFinder finder;
    const std::string table = finder.FindElement(page, "table", {"class"}, {"item_list"});
    const std::string body = table.empty() ? std::string() : finder.FindElement(table, "tbody");
    if (found) *found = !body.empty();
    CategoryTree tree;
    for (std::int32_t n = 1;; ++n) {
        const std::string cell =
            finder.FindElement(body, "td", {"class"}, {"sortname"}, false, false, n);
        if (cell.empty()) break;
        const std::int32_t id = TextToInt(Between(cell, "sid=", "\""));
        const bool child = cell.find("----") != std::string::npos;
        // The link text as the page has it: emlog escapes "&" there, and the tree shows it so.
        std::string name = Between(Between(cell, "<a", "/a>"), ">", "<");
        AddItem(tree, std::move(name), id, child);
    }
    tree.FixParents();
    return tree;
}

CategoryTree CategoriesFromWritePage(std::string_view page, bool* found) {
    HtmlTagFinder finder;
    const std::string select = finder.FindElement(page, "select", {"id"}, {"sort"});
    if (found) *found = !select.empty();
    CategoryTree tree;
    for (std::int32_t n = 1; !select.empty(); ++n) {
        const std::string option = finder.FindElement(select, "option", {}, {}, false, false, n);
        if (option.empty()) break;
        const std::int32_t id = TextToInt(finder.AttributeValue(StartTag(option), "value"));
        if (id == -1) continue;  // emlog's "选择分类..." entry
        const bool child = option.find("&nbsp; &nbsp; &nbsp; ") != std::string::npos;
        std::string name = TrimSpaces(DecodeHtmlEntities(Between(option, ">", "<")));
        AddItem(tree, std::move(name), id, child);
    }
    tree.FixParents();
    return tree;
}

CategoryRead ReadCategories(SiteConfig& site, const CategoryTree& before) {
    if (site.adminKind == AdminKind::Pro) return ReadProCategories(site, before);
    const EmlogClient client(site);
    CategoryRead read;
    const std::string sortPage =
        client.Http().Request(client.AdminUrl(admin_page::kSort), "", client.PageEncoding());
    read.tree = CategoriesFromSortPage(sortPage, &read.answered);
    if (read.tree.items.empty()) {
        bool found = false;
        const std::string writePage = client.Http().Request(client.AdminUrl(admin_page::kWriteLog),
                                                            "", client.PageEncoding());
        read.tree = CategoriesFromWritePage(writePage, &found);
        read.answered = read.answered || found;
    }
    read.tree.CheckValues(before.CheckedValueList());
    return read;
}

std::string CategoryFormBody(const CategoryFields& fields, std::string_view token, bool utf8) {
    std::string body = "taxis=&sortname=" + FormUrlEncode(fields.name, utf8);
    body += "&alias=" + FormUrlEncode(fields.alias, utf8);
    body += "&pid=" + fields.pid;
    body += "&template=" + FormUrlEncode(fields.templateName, utf8);
    body += "&description=" + FormUrlEncode(fields.description, utf8);
    body += "&token=";
    body += token;
    return body;
}

bool CreateCategory(SiteConfig& site, const CategoryFields& fields) {
    if (site.adminKind == AdminKind::Pro) return CreateProCategory(site, fields);
    const EmlogClient client(site);
    const HttpResult answer =
        client.Http().Fetch(client.AdminUrl(admin_page::kSortAdd),
                            CategoryFormBody(fields, site.token, client.IsUtf8()));
    // emlog sends the browser to the list with active_add only once the category is
    // stored; the notice there may be missing (emlog 6.1, some themes).
    return HasMarker(answer.text, AddedMarker()) ||
           EndedAtAdminPage(client, answer.finalUrl, "/sort.php?active_add=1");
}

std::string DefaultCategoryTemplate(SiteConfig& site) {
    const EmlogClient client(site);
    const std::string page = client.Http().Request(client.AdminUrl(admin_page::kSort), "");
    HtmlTagFinder finder;
    const std::string input = finder.FindElement(page, "input", {"name"}, {"template"});
    std::string value = input.empty() ? std::string() : finder.AttributeValue(input, "value");
    return value.empty() ? std::string("log_list") : value;
}

bool DeleteCategory(SiteConfig& site, std::int64_t id) {
    if (site.adminKind == AdminKind::Pro) return DeleteProCategory(site, id);
    const EmlogClient client(site);
    std::string url = client.AdminUrl(admin_page::kSortDelete) + std::to_string(id);
    url += "&token=";
    url += site.token;
    return HasMarker(client.Http().Request(url, ""), DeletedMarker());
}
