#include "emlog_pages.h"

#include <algorithm>

namespace sandbox {
namespace {

std::string Head(const PageContext& page, std::string_view title) {
    std::string charset = page.charset == SiteCharset::Utf8 ? "UTF-8" : "gbk";
    std::string html =
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
        charset + "\" />\n<title>";
    html += title;
    html +=
        "</title>\n<link href=\"./views/css/css-main.css\" type=text/css rel=stylesheet>\n"
        "<script type=\"text/javascript\" src=\"../include/lib/js/jquery/jquery-1.7.1.js\">"
        "</script>\n</head>\n";
    return html;
}

std::string TokenInput(const PageContext& page) {
    if (page.token.empty()) return {};
    return "<input name=\"token\" id=\"token\" value=\"" + HtmlEscape(page.token) +
           "\" type=\"hidden\" />\n";
}

// The frame every admin page shares once logged in.
std::string AdminFrame(const PageContext& page, std::string_view content) {
    std::string html = Head(page, "管理中心 - " + HtmlEscape(page.blogName));
    html +=
        "<body>\n<div id=\"mainpage\">\n<div id=\"header\">\n<div id=\"user\">"
        "<a href=\"./\">管理首页</a> | <a href=\"./?action=logout\">退出</a></div>\n"
        "<div class=\"logo\"><a href=\"../\" target=\"_blank\">";
    html += HtmlEscape(page.blogName);
    html +=
        "</a></div>\n</div>\n<div id=\"side\">\n<div class=\"sidebar\">"
        "<a href=\"write_log.php\">写文章</a> <a href=\"admin_log.php\">文章</a> "
        "<a href=\"sort.php\">分类</a></div>\n</div>\n<div id=\"container\">\n";
    html += content;
    html += "</div>\n</div>\n</body>\n</html>\n";
    return html;
}

}  // namespace

std::vector<CategoryRow> OrderedCategories(const std::vector<SandboxCategory>& categories) {
    std::vector<const SandboxCategory*> sorted;
    for (const auto& c : categories) sorted.push_back(&c);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return a->id < b->id; });
    auto isTop = [&](const SandboxCategory* c) {
        return c->parent == 0 || std::none_of(sorted.begin(), sorted.end(), [&](const auto* p) {
                   return p->id == c->parent && p->parent == 0;
               });
    };
    std::vector<CategoryRow> rows;
    for (const auto* top : sorted) {
        if (!isTop(top)) continue;
        rows.push_back({top, false});
        for (const auto* child : sorted) {
            if (child->parent == top->id && child != top && !isTop(child))
                rows.push_back({child, true});
        }
    }
    return rows;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string ActivedSpan(std::string_view text) {
    return "<span class=\"actived\">" + std::string(text) + "</span>";
}

std::string ErrorSpan(std::string_view text) {
    return "<span class=\"error\">" + std::string(text) + "</span>";
}

std::string LoginPage(const PageContext& page, std::string_view message) {
    std::string html = Head(page, "登录");
    html +=
        "<body class=\"login\">\n<form name=\"f\" method=\"post\" "
        "action=\"./index.php?action=login\">\n<div class=\"login-main\">\n"
        "<div class=\"login-logo\">";
    html += HtmlEscape(page.blogName);
    html += "</div>\n";
    if (!message.empty()) {
        html += "<div class=\"login-error\">" + std::string(message) + "</div>\n";
    }
    html +=
        "<div class=\"login-input\">用户名：<br /><input type=\"text\" name=\"user\" "
        "id=\"user\" /></div>\n<div class=\"login-input\">密码：<br />"
        "<input type=\"password\" name=\"pw\" id=\"pw\" /></div>\n"
        "<div class=\"login-button\"><input type=\"checkbox\" value=\"1\" name=\"ispersis\" "
        "id=\"ispersis\" />记住我 <input type=\"submit\" value=\" 登 录\" "
        "class=\"button\" /></div>\n</div>\n</form>\n</body>\n</html>\n";
    return html;
}

std::string AdminCenterPage(const PageContext& page) {
    std::string content = "<div class=\"containertitle\"><b>欢迎使用 emlog</b></div>\n";
    content += TokenInput(page);
    content += "<div id=\"admindex\">站点信息</div>\n";
    return AdminFrame(page, content);
}

std::string WriteLogPage(const PageContext& page, const std::vector<SandboxCategory>& categories) {
    std::string content =
        "<form action=\"save_log.php?action=add\" method=\"post\" enctype=\"multipart/form-data\" "
        "id=\"addlog\" name=\"addlog\">\n<div class=\"containertitle\"><b>写文章</b></div>\n"
        "<div id=\"post\">\n<div><label for=\"title\">标题：</label><input type=\"text\" "
        "maxlength=\"200\" name=\"title\" id=\"title\" /></div>\n"
        "<div><textarea id=\"content\" name=\"content\" style=\"width:845px; height:460px;\">"
        "</textarea></div>\n<div><select name=\"sort\" id=\"sort\" style=\"width:130px;\">\n"
        "<option value=\"-1\">选择分类...</option>\n";
    for (const CategoryRow& row : OrderedCategories(categories)) {
        content += "<option value=\"" + std::to_string(row.category->id) + "\">";
        if (row.child) content += "&nbsp; &nbsp; &nbsp; ";
        content += HtmlEscape(row.category->name) + "</option>\n";
    }
    content +=
        "</select>\n<label for=\"tag\">标签：</label><input name=\"tag\" id=\"tag\" "
        "maxlength=\"200\" />\n<input maxlength=\"200\" name=\"postdate\" id=\"postdate\" "
        "value=\"\" />\n</div>\n<div><textarea id=\"excerpt\" name=\"excerpt\"></textarea></div>\n"
        "<div><input name=\"alias\" id=\"alias\" /> <input type=\"checkbox\" value=\"y\" "
        "name=\"top\" id=\"top\" /> <input type=\"checkbox\" value=\"y\" name=\"sortop\" "
        "id=\"sortop\" /> <input type=\"checkbox\" value=\"y\" name=\"allow_remark\" "
        "id=\"allow_remark\" checked=\"checked\" /></div>\n"
        "<input type=\"hidden\" name=\"ishide\" id=\"ishide\" value=\"\" />\n"
        "<input type=\"hidden\" name=\"as_logid\" id=\"as_logid\" value=\"-1\">\n";
    content += TokenInput(page);
    content += "<input type=\"submit\" value=\"发布文章\" class=\"button\" />\n</div>\n</form>\n";
    return AdminFrame(page, content);
}

std::string SortPage(const PageContext& page, const std::vector<SandboxCategory>& categories,
                     std::string_view notice, std::string_view templateName) {
    std::string content = "<div class=containertitle><b>分类管理</b>";
    if (!notice.empty()) content += notice;
    content +=
        "</div>\n<div class=line></div>\n<form  method=\"post\" action=\"sort.php?action=taxis\">\n"
        "<table width=\"100%\" id=\"adm_sort_list\" class=\"item_list\">\n<thead>\n<tr>\n"
        "<th width=\"55\"><b>序号</b></th>\n<th width=\"160\"><b>名称</b></th>\n"
        "<th width=\"180\"><b>描述</b></th>\n<th width=\"140\"><b>别名</b></th>\n"
        "<th width=\"140\"><b>模板</b></th>\n<th width=\"60\"></th>\n</tr>\n</thead>\n<tbody>\n";
    for (const CategoryRow& row : OrderedCategories(categories)) {
        const SandboxCategory& c = *row.category;
        std::string sid = std::to_string(c.id);
        std::string link =
            "<a href=\"sort.php?action=mod_sort&sid=" + sid + "\">" + HtmlEscape(c.name) + "</a>";
        content += "<tr>\n<td><input class=\"num_input\" name=\"sort[" + sid + "]\" value=\"" +
                   sid + "\" maxlength=\"4\" /></td>\n";
        if (row.child) {
            content += "<td class=\"sortname\">---- " + link + "</td>\n";
        } else {
            content += "<td class=\"sortname\">\n" + link + "\n</td>\n";
        }
        content += "<td></td>\n<td class=\"alias\">" + HtmlEscape(c.alias) +
                   "</td>\n<td>log_list</td>\n<td><a href=\"javascript: em_confirm(" + sid +
                   ", 'sort', '" + HtmlEscape(page.token) +
                   "');\" class=\"care\">删除</a></td>\n"
                   "</tr>\n";
    }
    content +=
        "</tbody>\n</table>\n</form>\n<form action=\"sort.php?action=add\" method=\"post\">\n"
        "<div id=\"sort_new\">\n<li><input maxlength=\"4\" style=\"width:30px;\" name=\"taxis\" "
        "/> 序号</li>\n<li><input maxlength=\"200\" style=\"width:200px;\" name=\"sortname\" "
        "id=\"sortname\" /> 名称</li>\n<li><input maxlength=\"200\" style=\"width:200px;\" "
        "name=\"alias\" id=\"alias\" /> 别名</li>\n<li><select name=\"pid\" id=\"pid\">"
        "<option value=\"0\">无</option>\n";
    for (const CategoryRow& row : OrderedCategories(categories)) {
        if (row.child) continue;
        content += "<option value=\"" + std::to_string(row.category->id) + "\">" +
                   HtmlEscape(row.category->name) + "</option>\n";
    }
    content +=
        "</select> 父分类</li>\n<li><input maxlength=\"200\" style=\"width:200px;\" "
        "name=\"template\" id=\"template\" value=\"" +
        HtmlEscape(templateName) +
        "\" /> 模板</li>\n<li><textarea name=\"description\" type=\"text\" "
        "style=\"width:230px;height:60px;overflow:auto;\"></textarea> 分类描述</li>\n";
    content += TokenInput(page);
    content +=
        "<li><input type=\"submit\" id=\"addsort\" value=\"添加新分类\" "
        "class=\"button\"/></li>\n</div>\n</form>\n";
    return AdminFrame(page, content);
}

std::string AdminLogPage(const PageContext& page, const std::vector<SandboxPost>& posts,
                         std::string_view notice) {
    std::string content = "<div class=containertitle><b>文章管理</b>";
    if (!notice.empty()) content += notice;
    content +=
        "</div>\n<form action=\"admin_log.php?action=operate_log\" method=\"post\" "
        "name=\"form_log\" id=\"form_log\">\n<input type=\"hidden\" name=\"pid\" "
        "value=\"\">\n<table width=\"100%\" id=\"adm_log_list\" class=\"item_list\">\n"
        "<tbody>\n";
    // emlog shows fifteen entries per page, newest first.
    std::size_t shown = 0;
    for (auto it = posts.rbegin(); it != posts.rend() && shown < 15; ++it, ++shown) {
        std::string gid = std::to_string(it->id);
        content += "<tr>\n<td width=\"21\"><input type=\"checkbox\" name=\"blog[]\" value=\"" +
                   gid +
                   "\" class=\"ids\" /></td>\n<td width=\"490\"><a href=\"write_log.php?"
                   "action=edit&gid=" +
                   gid + "\">" + HtmlEscape(it->title) +
                   "</a></td>\n"
                   "<td>" +
                   HtmlEscape(it->postdate) + "</td>\n</tr>\n";
    }
    content += "</tbody>\n</table>\n";
    content += TokenInput(page);
    content += "<input name=\"operate\" id=\"operate\" value=\"\" type=\"hidden\" />\n</form>\n";
    return AdminFrame(page, content);
}

std::string MessagePage(const PageContext& page, std::string_view message) {
    std::string html = Head(page, "提示信息");
    html += "<body>\n<div class=\"main\">\n<p>";
    html += message;
    html +=
        "</p>\n<p><a href=\"javascript:history.back(-1);\">&laquo;点击返回</a></p>\n"
        "</div>\n</body>\n</html>\n";
    return html;
}

std::string FrontPage(const PageContext& page) {
    std::string html = Head(page, HtmlEscape(page.blogName));
    html += "<body>\n<div id=\"wrap\"><h1>" + HtmlEscape(page.blogName) +
            "</h1></div>\n</body>\n</html>\n";
    return html;
}

std::string ErrorStatusPage(std::int32_t status) {
    std::string code = std::to_string(status);
    return "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\n<html><head>\n<title>" + code +
           " Error</title>\n</head><body>\n<h1>" + code +
           " Error</h1>\n<p>The server encountered an error.</p>\n</body></html>\n";
}

}  // namespace sandbox
