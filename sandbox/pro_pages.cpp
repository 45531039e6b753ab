#include "pro_pages.h"

#include "emlog_pages.h"

namespace sandbox {
namespace {

std::string Head(std::string_view title) {
    std::string html =
        "<!doctype html>\n<html lang=\"zh-cn\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    html += title;
    html +=
        "</title>\n<link rel=\"stylesheet\" href=\"./views/css/sb-admin-2.min.css\">\n"
        "<script src=\"./views/js/jquery.min.js\"></script>\n</head>\n";
    return html;
}

std::string Notice(const ProNotice& notice) {
    if (notice.text.empty()) return {};
    return std::string("<div class=\"alert ") +
           (notice.success ? "alert-success" : "alert-danger") + "\">" + notice.text + "</div>\n";
}

std::string TokenInput(const ProPageContext& page) {
    if (page.token.empty()) return {};
    return "<input name=\"token\" id=\"token\" value=\"" + HtmlEscape(page.token) +
           "\" type=\"hidden\" />\n";
}

std::string AdminFrame(const ProPageContext& page, std::string_view content) {
    std::string html = Head("管理中心 - " + HtmlEscape(page.blogName));
    html +=
        "<body id=\"page-top\">\n<div id=\"wrapper\">\n<ul class=\"navbar-nav sidebar\">\n"
        "<li><a href=\"./\">控制台</a></li>\n<li><a href=\"article.php?action=write\">写文章</a>"
        "</li>\n<li><a href=\"article.php\">文章</a></li>\n<li><a href=\"sort.php\">分类</a></li>\n"
        "</ul>\n<div id=\"content-wrapper\">\n<div class=\"container-fluid\">\n";
    html += Notice(page.notice);
    html += content;
    html += "</div>\n</div>\n</div>\n</body>\n</html>\n";
    return html;
}

}  // namespace

std::string ProSignInPage(const ProPageContext& page, bool captcha) {
    std::string html = Head("登录 - " + HtmlEscape(page.blogName));
    html +=
        "<body class=\"bg-gradient-primary\">\n<div class=\"container\">\n"
        "<form method=\"post\" class=\"user\" action=\"./account.php?action=dosignin&s=\">\n";
    html += Notice(page.notice);
    html +=
        "<div class=\"form-group\"><input type=\"text\" class=\"form-control\" id=\"user\" "
        "name=\"user\" placeholder=\"邮箱/用户名\" required autofocus></div>\n"
        "<div class=\"form-group\"><input type=\"password\" class=\"form-control\" id=\"pw\" "
        "name=\"pw\" placeholder=\"密码\" required></div>\n";
    if (captcha) {
        html +=
            "<div class=\"form-group\"><input type=\"text\" name=\"login_code\" "
            "class=\"form-control\" id=\"login_code\" placeholder=\"验证码\" required>"
            "<img src=\"../include/lib/checkcode.php\" id=\"checkcode\"></div>\n";
    }
    html +=
        "<div class=\"form-group\"><input type=\"checkbox\" name=\"persist\" value=\"1\" "
        "id=\"persist\"> 记住我</div>\n<button class=\"btn btn-primary\" type=\"submit\">登录"
        "</button>\n</form>\n</div>\n</body>\n</html>\n";
    return html;
}

std::string ProDashboardPage(const ProPageContext& page) {
    return AdminFrame(page, "<h1 class=\"h4\">控制台</h1>\n<div class=\"card\">站点信息</div>\n");
}

std::string ProArticlePage(const ProPageContext& page, const std::vector<SandboxPost>& posts,
                           bool drafts) {
    std::string content =
        drafts ? "<h1 class=\"h4\">草稿箱</h1>\n" : "<h1 class=\"h4\">文章</h1>\n";
    content +=
        "<form action=\"article.php?action=operate_log\" method=\"post\" name=\"form_log\" "
        "id=\"form_log\">\n<table class=\"table table-striped table-hover\">\n<tbody>\n";
    std::size_t shown = 0;  // newest first, one page
    for (auto it = posts.rbegin(); it != posts.rend() && shown < 15; ++it) {
        if (it->draft != drafts) continue;
        ++shown;
        const std::string gid = std::to_string(it->id);
        content += "<tr>\n<td><input type=\"checkbox\" name=\"blog[]\" value=\"" + gid +
                   "\" class=\"ids\" /></td>\n<td><a href=\"article.php?action=edit&gid=" + gid +
                   "\">" + HtmlEscape(it->title) + "</a></td>\n<td>" + HtmlEscape(it->postdate) +
                   "</td>\n</tr>\n";
    }
    content += "</tbody>\n</table>\n";
    content += "<input name=\"draft\" value=\"" + std::string(drafts ? "1" : "0") +
               "\" type=\"hidden\" />\n";
    content += TokenInput(page);
    content += "<input name=\"operate\" id=\"operate\" value=\"\" type=\"hidden\" />\n</form>\n";
    return AdminFrame(page, content);
}

std::string ProWritePage(const ProPageContext& page,
                         const std::vector<SandboxCategory>& categories) {
    std::string content =
        "<h1 class=\"h4\">写文章</h1>\n<form action=\"article_save.php?action=add\" "
        "method=\"post\" id=\"addlog\" name=\"addlog\">\n<input type=\"text\" name=\"title\" "
        "id=\"title\" />\n<textarea id=\"logcontent\" name=\"logcontent\"></textarea>\n"
        "<textarea id=\"logexcerpt\" name=\"logexcerpt\"></textarea>\n<select name=\"sort\" "
        "id=\"sort\">\n<option value=\"-1\">选择分类...</option>\n";
    for (const CategoryRow& row : OrderedCategories(categories)) {
        content += "<option value=\"" + std::to_string(row.category->id) + "\">" +
                   (row.child ? "&nbsp; &nbsp; &nbsp; " : "") + HtmlEscape(row.category->name) +
                   "</option>\n";
    }
    content +=
        "</select>\n<input name=\"tag\" id=\"tag\" />\n<input name=\"postdate\" id=\"postdate\" "
        "/>\n<input name=\"alias\" id=\"alias\" />\n<input type=\"hidden\" name=\"ishide\" "
        "id=\"ishide\" value=\"\" />\n<input type=\"hidden\" name=\"as_logid\" value=\"-1\" />\n"
        "<input type=\"hidden\" name=\"gid\" value=\"-1\" />\n<input type=\"submit\" "
        "name=\"pubPost\" value=\"立即发布\" class=\"btn btn-success\" />\n</form>\n";
    return AdminFrame(page, content);
}

std::string ProSortPage(const ProPageContext& page,
                        const std::vector<SandboxCategory>& categories) {
    std::string content =
        "<h1 class=\"h4\">分类</h1>\n<table class=\"table table-bordered\" id=\"adm_sort_list\">\n"
        "<thead><tr><th>名称</th><th>描述</th><th>别名</th><th>操作</th></tr></thead>\n<tbody>\n";
    for (const CategoryRow& row : OrderedCategories(categories)) {
        const SandboxCategory& c = *row.category;
        const std::string sid = std::to_string(c.id);
        const std::string pid = std::to_string(row.child ? c.parent : 0);
        content += row.child ? "<tr class=\"tree-child tree-child-of-" + pid + "\" data-pid=\"" +
                                   pid + "\">\n"
                             : "<tr class=\"tree-parent\" data-id=\"" + sid + "\">\n";
        content +=
            "<td class=\"tree-name\"><a href=\"#\" class=\"em-modal\" data-toggle=\"modal\" "
            "data-target=\"#sortModal\" data-sid=\"" +
            sid + "\" data-sortname=\"" + HtmlEscape(c.name) + "\" data-alias=\"" +
            HtmlEscape(c.alias) + "\" data-pid=\"" + pid + "\">" + HtmlEscape(c.name) +
            "</a></td>\n<td></td>\n<td>" + HtmlEscape(c.alias) +
            "</td>\n<td><a href=\"javascript: em_confirm(" + sid + ", 'sort', '" +
            HtmlEscape(page.token) +
            "');\" class=\"badge badge-danger\">删除</a></td>\n"
            "</tr>\n";
    }
    content +=
        "</tbody>\n</table>\n<form action=\"sort.php?action=save\" method=\"post\" "
        "id=\"sort_new\">\n<input name=\"sortname\" id=\"sortname\" />\n"
        "<input name=\"alias\" id=\"alias\" />\n<select name=\"pid\" id=\"pid\">"
        "<option value=\"0\">无</option>\n";
    for (const CategoryRow& row : OrderedCategories(categories)) {
        if (row.child) continue;
        content += "<option value=\"" + std::to_string(row.category->id) + "\">" +
                   HtmlEscape(row.category->name) + "</option>\n";
    }
    content +=
        "</select>\n<input name=\"template\" id=\"template\" value=\"\" />\n"
        "<textarea name=\"description\"></textarea>\n<input type=\"hidden\" name=\"sid\" "
        "value=\"\" />\n";
    content += TokenInput(page);
    content += "<button type=\"submit\" class=\"btn btn-success\">保存</button>\n</form>\n";
    return AdminFrame(page, content);
}

std::string ProMessagePage(std::string_view message) {
    std::string html = Head("提示信息");
    html += "<body>\n<div class=\"container\">\n<div class=\"card\">\n<p>";
    html += message;
    html +=
        "</p>\n<p><a href=\"javascript:history.back(-1);\">&larr;返回</a></p>\n"
        "</div>\n</div>\n</body>\n</html>\n";
    return html;
}

}  // namespace sandbox
