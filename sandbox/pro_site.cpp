#include "pro_site.h"

#include <algorithm>
#include <ctime>
#include <random>

#include "emlog_pages.h"
#include "form_data.h"

namespace sandbox {
namespace {

std::string RandomHex(std::size_t digits) {
    thread_local std::mt19937_64 engine{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(digits, '0');
    for (char& c : out) c = kHex[engine() % 16];
    return out;
}

std::int32_t IntVal(std::string_view text) {  // PHP intval(): leading sign and digits
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
    return static_cast<std::int32_t>(negative ? -value : value);
}

constexpr const char* kSignInLocation = "./account.php?action=signin";
constexpr std::size_t kFreeEditionPosts = 50;

}  // namespace

struct ProSite::Call {
    const HttpRequest& http;
    std::string page;
    NameValues query;
    NameValues form;
    std::string session;  // PHPSESSID, made for this request when the browser had none
    bool newSession = false;
    std::string auth;   // auth cookie value when it names a live login
    std::string token;  // that login's token
    bool loggedIn = false;

    std::string Text(std::string_view name) const { return PhpTrim(FindValue(form, name)); }
};

ProSite::ProSite(SiteOptions options, std::size_t index)
    : m_options(std::move(options)), m_cookieSuffix(RandomHex(32) + std::to_string(index)) {
    for (SandboxCategory c : m_options.categories) {
        if (c.id <= 0) c.id = m_nextSortId;
        m_nextSortId = std::max(m_nextSortId, c.id + 1);
        m_categories.push_back(std::move(c));
    }
}

SiteAnswer ProSite::HandleFront(SiteCharset) {
    std::lock_guard lock(m_mutex);
    SiteAnswer answer;
    answer.response.body = FrontPage({m_options.blogName, SiteCharset::Utf8, ""});
    return answer;
}

SiteAnswer ProSite::HandleAdmin(const HttpRequest& request, std::string_view page, TokenFault,
                                SiteCharset) {
    Call call{request, std::string(page), ParseForm(request.query), {}};
    if (request.method == "POST") call.form = ParseForm(request.body);
    std::lock_guard lock(m_mutex);
    for (const auto& [name, value] : ParseCookies(request.Header("cookie"))) {
        if (name == "PHPSESSID") call.session = value;
        if (name != "EM_AUTHCOOKIE_" + m_cookieSuffix) continue;
        if (auto it = m_logins.find(value); it != m_logins.end()) {
            call.loggedIn = true;
            call.auth = value;
            call.token = it->second;
        }
    }
    if (call.session.empty()) {  // session_start() on every admin page
        call.session = RandomHex(26);
        call.newSession = true;
    }
    if (call.page.empty() || call.page == "index.php") return Index(call);
    if (call.page == "account.php") return Account(call);
    if (call.page != "article.php" && call.page != "article_save.php" && call.page != "sort.php") {
        SiteAnswer answer;
        answer.response.status = 404;
        answer.response.body = ErrorStatusPage(404);
        return answer;
    }
    if (!call.loggedIn) {
        if (call.page == "article_save.php") ++m_counters.rejectedPublishes;
        return RedirectWith(call, kSignInLocation, {});
    }
    if (call.page == "article_save.php") return SaveArticle(call);
    if (call.page == "sort.php") return Sort(call);
    return Articles(call);
}

SiteAnswer ProSite::Page(const Call& call, std::string html) {
    SiteAnswer answer;
    answer.response.body = std::move(html);
    if (call.newSession)
        answer.response.AddHeader("Set-Cookie", "PHPSESSID=" + call.session + "; path=/");
    return answer;
}

SiteAnswer ProSite::RedirectWith(Call& call, std::string location, ProNotice notice) {
    if (!notice.text.empty()) m_notices[call.session] = std::move(notice);
    SiteAnswer answer = Page(call, "");
    answer.response.status = 302;
    answer.response.AddHeader("Location", std::move(location));
    return answer;
}

ProPageContext ProSite::Context(Call& call, bool withToken) {
    ProPageContext context{m_options.blogName, withToken ? call.token : "", {}};
    if (auto it = m_notices.find(call.session); it != m_notices.end()) {
        context.notice = std::move(it->second);  // shown once
        m_notices.erase(it);
    }
    return context;
}

SiteAnswer ProSite::TokenError() const {
    SiteAnswer answer;
    answer.response.body = ProMessagePage("Token校验失败");
    return answer;
}

SiteAnswer ProSite::Index(Call& call) {
    // The 5.x login address survives as a way to the sign-in page, whatever is sent to it.
    if (FindValue(call.query, "action") == "login" || !call.loggedIn)
        return RedirectWith(call, kSignInLocation, {});
    return Page(call, ProDashboardPage(Context(call, false)));
}

SiteAnswer ProSite::Account(Call& call) {
    const std::string_view action = FindValue(call.query, "action");
    if (action == "dosignin" && call.http.method == "POST") return SignIn(call);
    if (action == "logout") {
        if (call.loggedIn) m_logins.erase(call.auth);
        return RedirectWith(call, kSignInLocation, {});
    }
    if (call.loggedIn) return RedirectWith(call, "./", {});
    return Page(call, ProSignInPage(Context(call, false), m_options.loginCaptcha));
}

SiteAnswer ProSite::SignIn(Call& call) {
    const bool json =
        FindValue(call.query, "resp") == "json" || FindValue(call.form, "resp") == "json";
    // The picture's code lives in the session of whoever fetched the picture; a program
    // that never looked at it cannot know it.
    const char* error = nullptr;
    if (m_options.loginCaptcha) {
        error = "验证码错误";
    } else if (call.Text("user") != m_options.user || call.Text("pw") != m_options.password) {
        error = "用户或密码错误";
    }
    if (error != nullptr) {
        ++m_counters.failedLogins;
        if (!json) return RedirectWith(call, kSignInLocation, {false, error});
        SiteAnswer answer =
            Page(call, std::string("{\"code\":1,\"msg\":\"") + error + "\",\"data\":\"\"}");
        answer.response.status = 400;
        return answer;
    }
    ++m_counters.logins;
    const std::string auth =
        m_options.user + "%7C" + std::to_string(std::time(nullptr) + 86400) + "%7C" + RandomHex(32);
    const std::string token = RandomHex(40);
    m_logins[auth] = token;
    m_lastToken = token;
    SiteAnswer answer = json ? Page(call, "{\"code\":0,\"msg\":\"ok\",\"data\":\"\"}")
                             : RedirectWith(call, "./", {});
    answer.response.AddHeader(
        "Set-Cookie", "EM_AUTHCOOKIE_" + m_cookieSuffix + "=" + auth + "; path=/; HttpOnly");
    return answer;
}

SiteAnswer ProSite::Articles(Call& call) {
    const std::string_view action = FindValue(call.query, "action");
    if (action == "operate_log" && call.http.method == "POST") return OperateArticles(call);
    if (action == "write") {
        // The free edition sends its writers to the licence page after 50 articles; the
        // save page goes on storing them.
        if (m_posts.size() >= kFreeEditionPosts) return RedirectWith(call, "./auth.php", {});
        return Page(call, ProWritePage(Context(call, false), m_categories));
    }
    const bool drafts = IntVal(FindValue(call.query, "draft")) == 1;
    return Page(call, ProArticlePage(Context(call, true), m_posts, drafts));
}

SiteAnswer ProSite::SaveArticle(Call& call) {
    if (call.http.method != "POST") return Page(call, "");
    if (FindValue(call.form, "token") != call.token) {
        ++m_counters.rejectedPublishes;
        return TokenError();
    }
    SandboxPost post;
    for (const auto& [name, value] : call.form) post.fields.emplace_back(name, value);
    auto field = [&](std::string_view name) { return std::string(FindValue(call.form, name)); };
    post.title = field("title");
    post.content = field("logcontent");
    post.excerpt = field("logexcerpt");
    post.tag = field("tag");
    post.sort = field("sort");
    post.postdate = field("postdate");
    post.alias = field("alias");
    post.top = field("top");
    post.sortop = field("sortop");
    post.allowRemark = field("allow_remark");
    post.token = field("token");
    post.author = field("author");
    post.asLogid = field("as_logid");
    post.rawBody = call.http.body;
    for (std::string_view rest = post.tag; !rest.empty();) {
        const std::size_t comma = rest.find(',');
        std::string tag = PhpTrim(rest.substr(0, comma));
        if (!tag.empty()) post.tags.push_back(std::move(tag));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    post.draft = field("pubPost").empty() || field("ishide").empty() || field("ishide") == "y";
    ++m_counters.publishes;
    const std::string location = post.draft ? "./article.php?draft=1" : "./article.php";
    const ProNotice notice{true, post.draft ? "草稿保存成功" : "发布成功"};
    const std::string date = NormalisePostTime(post.postdate);
    auto same = std::find_if(m_posts.begin(), m_posts.end(), [&](const SandboxPost& p) {
        return PhpTrim(p.title) == PhpTrim(post.title) && NormalisePostTime(p.postdate) == date;
    });
    if (same != m_posts.end()) {  // isRepeatPost(): same title and date
        ++same->submissions;
        return RedirectWith(call, location, notice);
    }
    post.id = m_nextPostId++;
    post.storedAlias = PhpTrim(post.alias);
    m_posts.push_back(post);
    SiteAnswer answer = RedirectWith(call, location, notice);
    answer.newPost = std::move(post);
    return answer;
}

SiteAnswer ProSite::OperateArticles(Call& call) {
    if (FindValue(call.form, "token") != call.token) return TokenError();
    const std::string location =
        "./article.php?draft=" + std::to_string(IntVal(FindValue(call.form, "draft")));
    if (FindValue(call.form, "operate") != "del") return RedirectWith(call, location, {});
    std::vector<std::int32_t> ids;
    for (const auto& [name, value] : call.form)
        if (name == "blog[]") ids.push_back(IntVal(value));
    for (const std::int32_t id : ids) {
        auto it = std::find_if(m_posts.begin(), m_posts.end(),
                               [&](const SandboxPost& p) { return p.id == id; });
        if (it == m_posts.end()) return Page(call, ProMessagePage("权限不足！"));
        m_posts.erase(it);
    }
    return RedirectWith(call, location, {true, "删除成功"});
}

SiteAnswer ProSite::Sort(Call& call) {
    const std::string_view action = FindValue(call.query, "action");
    if (action == "save" && call.http.method == "POST") return SaveSort(call);
    if (action == "del") return DeleteSort(call);
    return Page(call, ProSortPage(Context(call, true), m_categories));
}

SiteAnswer ProSite::SaveSort(Call& call) {
    if (FindValue(call.form, "token") != call.token) return TokenError();
    SandboxCategory category;
    category.name = call.Text("sortname");
    category.alias = call.Text("alias");
    category.templateName = call.Text("template");
    category.description = call.Text("description");
    const std::int32_t sid = IntVal(FindValue(call.form, "sid"));
    const std::int32_t pid = IntVal(FindValue(call.form, "pid"));
    if (category.name.empty()) return RedirectWith(call, "./sort.php", {false, "分类名称不能为空"});
    if (!category.alias.empty() &&
        std::any_of(m_categories.begin(), m_categories.end(), [&](const SandboxCategory& c) {
            return c.alias == category.alias && c.id != sid;
        }))
        return RedirectWith(call, "./sort.php", {false, "别名不能重复"});
    const bool parentOk =
        std::any_of(m_categories.begin(), m_categories.end(),
                    [&](const SandboxCategory& c) { return c.id == pid && c.parent == 0; });
    category.parent = parentOk && pid != sid ? pid : 0;
    auto existing = std::find_if(m_categories.begin(), m_categories.end(),
                                 [&](const SandboxCategory& c) { return sid > 0 && c.id == sid; });
    if (existing != m_categories.end()) {
        category.id = sid;
        *existing = std::move(category);
    } else {
        category.id = m_nextSortId++;
        m_categories.push_back(std::move(category));
    }
    return RedirectWith(call, "./sort.php", {true, "保存成功"});
}

SiteAnswer ProSite::DeleteSort(Call& call) {
    if (FindValue(call.query, "token") != call.token) return TokenError();
    const std::int32_t sid = IntVal(FindValue(call.query, "sid"));
    std::erase_if(m_categories, [&](const SandboxCategory& c) { return c.id == sid; });
    for (SandboxCategory& c : m_categories)
        if (c.parent == sid) c.parent = 0;
    for (SandboxPost& p : m_posts)
        if (IntVal(p.sort) == sid) p.sort = "-1";
    return RedirectWith(call, "./sort.php", {true, "删除成功"});
}

void ProSite::CountRequest(bool faulted) {
    std::lock_guard lock(m_mutex);
    ++m_counters.requests;
    if (faulted) ++m_counters.faultsApplied;
}

void ProSite::SetPassword(std::string password) {
    std::lock_guard lock(m_mutex);
    m_options.password = std::move(password);
}

void ProSite::SetLatencyMs(std::int32_t ms) {
    std::lock_guard lock(m_mutex);
    m_options.latencyMs = ms;
}

std::int32_t ProSite::LatencyMs() const {
    std::lock_guard lock(m_mutex);
    return m_options.latencyMs;
}

void ProSite::ExpireSessions() {
    std::lock_guard lock(m_mutex);
    m_logins.clear();
}

std::vector<SandboxPost> ProSite::Posts() const {
    std::lock_guard lock(m_mutex);
    return m_posts;
}

std::vector<SandboxCategory> ProSite::Categories() const {
    std::lock_guard lock(m_mutex);
    return m_categories;
}

SiteCounters ProSite::Counters() const {
    std::lock_guard lock(m_mutex);
    return m_counters;
}

std::string ProSite::LastToken() const {
    std::lock_guard lock(m_mutex);
    return m_lastToken;
}

}  // namespace sandbox
