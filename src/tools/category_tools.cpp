#include "tools/category_tools.h"

#include "core/charset.h"
#include "core/events.h"
#include "core/gbk_text.h"
#include "core/platform/browser.h"
#include "emlog/categories.h"
#include "emlog/login.h"
#include "emlog/site_http.h"
#include "tools/tool_texts.h"

namespace {

// The other form of a host: without "www." when it has it, with it in front otherwise.
// A kept "https://" stays in front of either form.
std::string AlternateHost(const std::string& domain) {
    const bool https = gbk::AsciiLower(std::string_view(domain).substr(0, 8)) == "https://";
    const std::string scheme = https ? domain.substr(0, 8) : std::string();
    const std::string host = https ? domain.substr(8) : domain;
    std::string alternate = scheme;
    if (host.starts_with("www.")) {
        alternate += gbk::ReplaceAll(host, "www.", "");
    } else {
        alternate += "www.";
        alternate += host;
    }
    return alternate;
}

}  // namespace

SiteConfig SessionFromControls(const SiteEditorView& view, bool alternateHost) {
    SiteConfig site;
    site.域名 = NormaliseDomain(view.Text(ToolText("编辑框域名")));
    if (alternateHost) site.域名 = AlternateHost(site.域名);
    site.用户 = view.Text(ToolText("编辑框用户"));
    site.密码 = view.Text(ToolText("编辑框密码"));
    site.编码 = view.Index(ToolText("组合框编码")) == 0 ? 0 : 1;
    site.后台 = view.Text(ToolText("编辑框后台"));
    if (site.后台.empty()) site.后台 = "admin";
    return site;
}

CategoryTools::CategoryTools(SiteEditorView& view, BatchState& state, PageOpener opener)
    : m_view(view), m_state(state), m_opener(std::move(opener)) {}

SiteConfig CategoryTools::Session(bool alternateHost) const {
    SiteConfig site = SessionFromControls(m_view, alternateHost);
    if (m_limits) SiteHttp(site).SetLimits(*m_limits);
    return site;
}

bool CategoryTools::ReadIntoTree(SiteConfig& site) {
    if (m_state.readStop) return false;
    const std::int32_t selected = m_view.TreeSelectedIndex();
    const CategoryRead read = ReadCategories(site, m_view.Tree());
    m_view.ShowTree(read.tree);
    m_view.SelectTreeItem(selected);
    return read.answered;
}

CategoryReadOutcome CategoryTools::ReadCategoriesForShownSite(bool quiet) {
    const std::string& button = ToolText("按钮读取分类列表");
    if (m_view.Caption(button) != ToolText("读取分类列表")) {
        m_view.SetCaption(button, ToolText("正在停止.."));
        m_state.readStop = true;
        return CategoryReadOutcome::Stopped;
    }
    m_state.readStop = false;
    m_view.SetCaption(button, ToolText("正在读取.."));
    SiteConfig site = Session(false);
    bool ok = Login(site, false);
    if (!ok) {
        // The failure page of the first form stays on disk: this try is quiet.
        site = Session(true);
        ok = Login(site, true);
        if (ok) m_view.SetText(ToolText("编辑框域名"), site.域名);
    }
    CategoryReadOutcome outcome = CategoryReadOutcome::LoginFailed;
    if (ok) {
        bool answered = false;
        for (int attempt = 1; attempt <= 3; ++attempt) {
            answered = ReadIntoTree(site) || answered;
            if (!m_view.Tree().items.empty()) break;
            std::string retry = ToolText("重试(");
            retry += std::to_string(attempt);
            retry += ToolText(")读取分类列表");
            m_view.SetCaption(button, retry);
        }
        outcome = m_state.readStop ? CategoryReadOutcome::Stopped
                  : answered       ? CategoryReadOutcome::Read
                                   : CategoryReadOutcome::NoList;
    } else {
        m_view.ShowTree(CategoryTree{});
        if (!quiet)
            m_view.ShowMessage(
                ToolText("登录失败，请检查是否正确填写了域名、用户名和密码\r\n\r\n失败记录已保存到"
                         "软件目录下的【登录失败.htm】中，请将它发送给岚舟分析"));
    }
    if (ok && !quiet) {
        m_view.SetCaption(button, ToolText("读取完成"));
        WaitMs(1000);
    }
    m_view.SetCaption(button, ToolText("读取分类列表"));
    return outcome;
}

void CategoryTools::SetAllCategoryChecks(std::int32_t mode) {
    CategoryTree tree = m_view.Tree();
    const std::int32_t selected = m_view.TreeSelectedIndex();
    tree.SetAllChecks(mode);
    m_view.ShowTree(tree);
    m_view.SelectTreeItem(selected);
}

std::string CategoryTools::OpenCategoryPage() {
    const CategoryTree tree = m_view.Tree();
    const std::int32_t selected = m_view.TreeSelectedIndex();
    if (selected < 0 || static_cast<std::size_t>(selected) >= tree.items.size()) return {};
    const std::string domain = NormaliseDomain(m_view.Text(ToolText("编辑框域名")));
    // A TLS site's domain keeps its scheme; any other is a plain host.
    const bool https = gbk::AsciiLower(std::string_view(domain).substr(0, 8)) == "https://";
    std::string url = https ? std::string() : std::string("http://");
    url += domain;
    url += "?sort=";
    url += tree.items[static_cast<std::size_t>(selected)].value;
    const std::string utf8 = charset::GbkToUtf8(url);
    if (m_opener)
        m_opener(utf8);
    else
        platform::OpenWebPage(utf8);
    return url;
}
