#include "emlog_site.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>

#include "emlog_pages.h"

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
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

HttpResponse Redirect(std::string location) {
    HttpResponse response;
    response.status = 302;
    response.AddHeader("Location", std::move(location));
    return response;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AliasCharsOk(std::string_view text) {  // |^[\w-]+$|
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '_' || c == '-';
    });
}

std::vector<std::string> SplitTags(std::string_view text) {
    // Built anew rather than replaced in place: GCC 12 at -O3 takes the shrinking
    // replace for an overlapping copy (-Wrestrict).
    std::string normalised;
    normalised.reserve(text.size());
    for (std::size_t start = 0;;) {
        const std::size_t at = text.find("，", start);
        normalised.append(text.substr(start, at - start));
        if (at == std::string_view::npos) break;
        normalised += ',';
        start = at + 3;
    }
    std::vector<std::string> tags;
    std::string_view rest = normalised;
    while (!rest.empty()) {
        std::size_t comma = rest.find(',');
        std::string tag = PhpTrim(rest.substr(0, comma));
        if (!tag.empty()) tags.push_back(std::move(tag));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return tags;
}

}  // namespace

std::string NormalisePostTime(std::string_view text) {
    std::string value = PhpTrim(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    int fields =
        std::sscanf(value.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail);
    bool ok = (fields == 6 || fields == 3 || fields == 5) && y >= 1970 && mo >= 1 && mo <= 12 &&
              d >= 1 && d <= 31 && h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s < 60;
    if (fields == 3 && value.size() > 10) ok = false;
    if (!ok) {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        y = local.tm_year + 1900, mo = local.tm_mon + 1, d = local.tm_mday;
        h = local.tm_hour, mi = local.tm_min, s = local.tm_sec;
    }
    char buffer[80];  // room for any int values: no truncation warning
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return buffer;
}

struct EmlogSite::Call {
    const HttpRequest& http;
    std::string page;
    NameValues query;
    NameValues form;
    TokenFault tokenFault;
    SiteCharset answerCharset;
    std::string auth;   // auth cookie value when it names a live session
    std::string token;  // that session's token
    bool loggedIn = false;
    bool hasSessionCookie = false;

    // $_REQUEST: POST wins over GET.
    std::string_view Request(std::string_view name) const {
        return HasValue(form, name) ? FindValue(form, name) : FindValue(query, name);
    }
};

EmlogSite::EmlogSite(SiteOptions options, std::size_t index)
    : m_options(std::move(options)), m_cookieSuffix(RandomHex(24) + std::to_string(index)) {
    for (SandboxCategory c : m_options.categories) {
        if (c.id <= 0) c.id = m_nextSortId;
        m_nextSortId = std::max(m_nextSortId, c.id + 1);
        m_categories.push_back(std::move(c));
    }
}

void EmlogSite::CountRequest(bool faulted) {
    std::lock_guard lock(m_mutex);
    ++m_counters.requests;
    if (faulted) ++m_counters.faultsApplied;
}

SiteAnswer EmlogSite::HandleFront(SiteCharset answerCharset) {
    std::lock_guard lock(m_mutex);
    SiteAnswer answer;
    answer.response.body = FrontPage({m_options.blogName, answerCharset, ""});
    return answer;
}

SiteAnswer EmlogSite::HandleAdmin(const HttpRequest& request, std::string_view page,
                                  TokenFault tokenFault, SiteCharset answerCharset) {
    Call call{request, std::string(page), ParseForm(request.query), {}, tokenFault, answerCharset};
    if (request.method == "POST") call.form = ParseForm(request.body);
    std::lock_guard lock(m_mutex);
    for (const auto& [name, value] : ParseCookies(request.Header("cookie"))) {
        if (name == "PHPSESSID") call.hasSessionCookie = true;
        if (name != "EM_AUTHCOOKIE_" + m_cookieSuffix) continue;
        auto it = m_sessions.find(value);
        if (it != m_sessions.end()) {
            call.loggedIn = true;
            call.auth = value;
            call.token = it->second;
        }
    }
    if (call.page.empty() || call.page == "index.php") return Index(call);
    if (call.page != "write_log.php" && call.page != "save_log.php" && call.page != "sort.php" &&
        call.page != "admin_log.php") {
        SiteAnswer answer;
        answer.response.status = 404;
        answer.response.body = ErrorStatusPage(404);
        return answer;
    }
    if (!call.loggedIn) {
        if (call.page == "save_log.php" && request.method == "POST") ++m_counters.rejectedPublishes;
        return LoginPageAnswer(call, "");
    }
    if (call.page == "write_log.php") {
        SiteAnswer answer;
        std::string token = tokenFault == TokenFault::Nowhere ? "" : call.token;
        answer.response.body =
            WriteLogPage({m_options.blogName, answerCharset, token}, m_categories);
        return answer;
    }
    if (call.page == "save_log.php") return SaveLog(call);
    if (call.page == "sort.php") return Sort(call);
    return AdminLog(call);
}

SiteAnswer EmlogSite::LoginPageAnswer(const Call& call, std::string_view message) const {
    SiteAnswer answer;
    answer.response.body = LoginPage({m_options.blogName, call.answerCharset, ""}, message);
    if (!call.hasSessionCookie) {  // session_start() for the captcha
        answer.response.AddHeader("Set-Cookie", "PHPSESSID=" + RandomHex(26) + "; path=/");
    }
    return answer;
}

SiteAnswer EmlogSite::Index(Call& call) {
    std::string_view action = FindValue(call.query, "action");
    if (action == "login") return Login(call);
    if (action == "logout") {
        if (call.loggedIn) m_sessions.erase(call.auth);
        SiteAnswer answer;
        answer.response = Redirect("../");
        return answer;
    }
    if (!call.loggedIn) return LoginPageAnswer(call, "");
    SiteAnswer answer;
    std::string token = call.tokenFault == TokenFault::None ? call.token : "";
    answer.response.body = AdminCenterPage({m_options.blogName, call.answerCharset, token});
    answer.response.AddHeader("Set-Cookie",
                              "EM_TOKENCOOKIE_" + m_cookieSuffix + "=" + call.token + "; path=/");
    return answer;
}

SiteAnswer EmlogSite::Login(Call& call) {
    if (call.http.method != "POST") return LoginPageAnswer(call, "");
    std::string user = PhpTrim(SiteTextToUtf8(FindValue(call.form, "user"), m_options.charset));
    std::string password = PhpTrim(SiteTextToUtf8(FindValue(call.form, "pw"), m_options.charset));
    if (user != m_options.user) {
        ++m_counters.failedLogins;
        return LoginPageAnswer(call, "用户名错误，请重新输入");
    }
    if (password != m_options.password) {
        ++m_counters.failedLogins;
        return LoginPageAnswer(call, "密码错误，请重新输入");
    }
    ++m_counters.logins;
    std::string auth =
        m_options.user + "%7C" + std::to_string(std::time(nullptr) + 86400) + "%7C" + RandomHex(32);
    std::string token = RandomHex(32);
    m_sessions[auth] = token;
    m_lastToken = token;
    SiteAnswer answer;
    answer.response = Redirect("./");
    if (!call.hasSessionCookie) {
        answer.response.AddHeader("Set-Cookie", "PHPSESSID=" + RandomHex(26) + "; path=/");
    }
    answer.response.AddHeader(
        "Set-Cookie", "EM_AUTHCOOKIE_" + m_cookieSuffix + "=" + auth + "; path=/; HttpOnly");
    return answer;
}

bool EmlogSite::TokenOk(const Call& call) const {
    // A site that shows no token (an older emlog) does not check it either.
    return call.tokenFault == TokenFault::Nowhere || call.Request("token") == call.token;
}

SiteAnswer EmlogSite::TokenError(const Call& call) const {
    SiteAnswer answer;
    answer.response.body =
        MessagePage({m_options.blogName, call.answerCharset, ""}, "权限不足，token error");
    return answer;
}

std::string EmlogSite::UniqueAlias(std::string alias) const {
    if (alias.empty()) return alias;
    auto taken = [&](const std::string& candidate) {
        return std::any_of(m_posts.begin(), m_posts.end(),
                           [&](const SandboxPost& p) { return p.storedAlias == candidate; });
    };
    std::string candidate = alias;
    for (int i = 2; taken(candidate); ++i) candidate = alias + "-" + std::to_string(i);
    return candidate;
}

SiteAnswer EmlogSite::SaveLog(Call& call) {
    if (!TokenOk(call)) {
        ++m_counters.rejectedPublishes;
        return TokenError(call);
    }
    std::string_view action = FindValue(call.query, "action");
    if (action != "add" && action != "edit" && action != "autosave") {
        SiteAnswer answer;
        answer.response = Redirect("./admin_log.php");
        return answer;
    }
    SandboxPost post;
    for (const auto& [name, value] : call.form) {
        post.fields.emplace_back(SiteTextToUtf8(name, m_options.charset),
                                 SiteTextToUtf8(value, m_options.charset));
    }
    auto field = [&](std::string_view name) {
        for (const auto& [key, value] : post.fields) {
            if (key == name) return value;
        }
        return std::string();
    };
    post.title = field("title");
    post.asLogid = field("as_logid");
    post.content = field("content");
    post.tag = field("tag");
    post.sort = field("sort");
    post.postdate = field("postdate");
    post.excerpt = field("excerpt");
    post.alias = field("alias");
    post.top = field("top");
    post.sortop = field("sortop");
    post.allowRemark = field("allow_remark");
    post.token = field("token");
    post.author = field("author");
    post.tags = SplitTags(post.tag);
    post.rawBody = call.http.body;

    ++m_counters.publishes;
    SiteAnswer answer;
    answer.response = Redirect("./admin_log.php?active_post=1");
    std::int32_t asLogid = IntVal(post.asLogid);
    auto existing = std::find_if(m_posts.begin(), m_posts.end(), [&](const SandboxPost& p) {
        return asLogid > 0 && p.id == asLogid;
    });
    std::string key = PhpTrim(post.title) + '\0' + NormalisePostTime(post.postdate);
    if (existing == m_posts.end()) {
        auto same = m_postByTitleDate.find(key);
        if (same != m_postByTitleDate.end()) {  // emlog's isRepeatPost(): same title and date
            ++m_posts[same->second].submissions;
            return answer;
        }
        post.id = m_nextPostId++;
        post.storedAlias = UniqueAlias(PhpTrim(post.alias));
        m_postByTitleDate.emplace(key, m_posts.size());
        m_postKeys.push_back(key);
        m_posts.push_back(post);
        answer.newPost = std::move(post);
        return answer;
    }
    // An article saved as a draft before: the add updates it.
    std::size_t index = static_cast<std::size_t>(existing - m_posts.begin());
    m_postByTitleDate.erase(m_postKeys[index]);
    post.id = existing->id;
    post.submissions = existing->submissions + 1;
    existing->storedAlias.clear();  // its own alias is no clash
    post.storedAlias = UniqueAlias(PhpTrim(post.alias));
    *existing = post;
    m_postKeys[index] = key;
    m_postByTitleDate[key] = index;
    return answer;
}

SiteAnswer EmlogSite::AdminLog(Call& call) {
    std::string_view action = FindValue(call.query, "action");
    if (action == "operate_log") return DeleteArticles(call);
    std::string notice;
    if (m_options.silentNotices) call.query.clear();
    if (HasValue(call.query, "active_post")) notice = ActivedSpan("发布成功");
    if (HasValue(call.query, "active_savelog")) notice = ActivedSpan("保存成功");
    if (HasValue(call.query, "active_del")) notice = ActivedSpan("删除成功");
    if (HasValue(call.query, "error_a")) notice = ErrorSpan("请选择要处理的文章");
    if (HasValue(call.query, "error_b")) notice = ErrorSpan("请选择要执行的操作");
    SiteAnswer answer;
    answer.response.body =
        AdminLogPage({m_options.blogName, call.answerCharset, call.token}, m_posts, notice);
    return answer;
}

SiteAnswer EmlogSite::DeleteArticles(Call& call) {
    if (!TokenOk(call)) return TokenError(call);
    std::string operate(call.Request("operate"));
    std::vector<std::int32_t> ids;
    for (const auto& [name, value] : call.form) {
        if (name == "blog[]") ids.push_back(IntVal(value));
    }
    SiteAnswer answer;
    if (operate.empty()) {
        answer.response = Redirect("./admin_log.php?error_b=1");
        return answer;
    }
    if (ids.empty()) {
        answer.response = Redirect("./admin_log.php?error_a=1");
        return answer;
    }
    if (operate != "del") {
        answer.response = Redirect("./admin_log.php");
        return answer;
    }
    for (std::int32_t id : ids) {
        auto it = std::find_if(m_posts.begin(), m_posts.end(),
                               [&](const SandboxPost& p) { return p.id == id; });
        if (it == m_posts.end()) {  // deleteLog(): nothing affected
            answer.response.body =
                MessagePage({m_options.blogName, call.answerCharset, ""}, "权限不足！");
            return answer;
        }
        std::size_t index = static_cast<std::size_t>(it - m_posts.begin());
        m_posts.erase(it);
        m_postKeys.erase(m_postKeys.begin() + static_cast<std::ptrdiff_t>(index));
        m_postByTitleDate.clear();
        for (std::size_t i = 0; i < m_postKeys.size(); ++i) m_postByTitleDate[m_postKeys[i]] = i;
    }
    answer.response = Redirect("./admin_log.php?active_del=1");
    return answer;
}

SiteAnswer EmlogSite::Sort(Call& call) {
    std::string_view action = FindValue(call.query, "action");
    if (action == "add" && call.http.method == "POST") return AddCategory(call);
    if (action == "del") return DeleteCategory(call);
    static const std::pair<const char*, std::string> kNotices[] = {
        {"active_taxis", ActivedSpan("排序更新成功")},
        {"active_del", ActivedSpan("删除分类成功")},
        {"active_edit", ActivedSpan("修改分类成功")},
        {"active_add", ActivedSpan("添加分类成功")},
        {"error_a", ErrorSpan("分类名称不能为空")},
        {"error_b", ErrorSpan("没有可排序的分类")},
        {"error_c", ErrorSpan("别名格式错误")},
        {"error_d", ErrorSpan("别名不能重复")},
        {"error_e", ErrorSpan("别名不得使用系统保留关键字")},
        {"error_f", ErrorSpan("别名不能为纯数字")},
    };
    std::string notice;
    if (m_options.silentNotices) call.query.clear();
    for (const auto& [name, span] : kNotices) {
        if (HasValue(call.query, name)) notice = span;
    }
    SiteAnswer answer;
    std::string token = call.tokenFault == TokenFault::Nowhere ? "" : call.token;
    answer.response.body = SortPage({m_options.blogName, call.answerCharset, token}, m_categories,
                                    notice, m_options.templateName);
    return answer;
}

SiteAnswer EmlogSite::AddCategory(Call& call) {
    // emlog 5.3.1's sort.php adds without looking at the token.
    auto text = [&](std::string_view name) {
        return PhpTrim(SiteTextToUtf8(FindValue(call.form, name), m_options.charset));
    };
    SandboxCategory category;
    category.name = text("sortname");
    category.alias = text("alias");
    category.templateName = text("template");
    category.description = text("description");
    std::int32_t pid = IntVal(FindValue(call.form, "pid"));
    SiteAnswer answer;
    auto fail = [&](const char* error) {
        answer.response = Redirect(std::string("./sort.php?") + error + "=1");
        return answer;
    };
    if (category.name.empty()) return fail("error_a");
    if (!category.alias.empty()) {
        static const char* const kReserved[] = {"register", "login",  "logout", "page",
                                                "tag",      "sort",   "author", "search",
                                                "admin",    "record", "t",      "post"};
        if (!AliasCharsOk(category.alias)) return fail("error_c");
        if (AllDigits(category.alias)) return fail("error_f");
        if (std::find(std::begin(kReserved), std::end(kReserved), category.alias) !=
            std::end(kReserved))
            return fail("error_e");
        if (std::any_of(m_categories.begin(), m_categories.end(),
                        [&](const SandboxCategory& c) { return c.alias == category.alias; }))
            return fail("error_d");
    }
    bool parentOk =
        std::any_of(m_categories.begin(), m_categories.end(),
                    [&](const SandboxCategory& c) { return c.id == pid && c.parent == 0; });
    category.parent = parentOk ? pid : 0;
    category.id = m_nextSortId++;
    m_categories.push_back(std::move(category));
    answer.response = Redirect("./sort.php?active_add=1");
    return answer;
}

SiteAnswer EmlogSite::DeleteCategory(Call& call) {
    if (!TokenOk(call)) return TokenError(call);
    std::int32_t sid = IntVal(FindValue(call.query, "sid"));
    std::erase_if(m_categories, [&](const SandboxCategory& c) { return c.id == sid; });
    for (SandboxCategory& c : m_categories) {
        if (c.parent == sid) c.parent = 0;
    }
    for (SandboxPost& p : m_posts) {
        if (IntVal(p.sort) == sid) p.sort = "-1";
    }
    SiteAnswer answer;
    answer.response = Redirect("./sort.php?active_del=1");
    return answer;
}

void EmlogSite::SetPassword(std::string password) {
    std::lock_guard lock(m_mutex);
    m_options.password = std::move(password);
}

void EmlogSite::SetLatencyMs(std::int32_t ms) {
    std::lock_guard lock(m_mutex);
    m_options.latencyMs = ms;
}

std::int32_t EmlogSite::LatencyMs() const {
    std::lock_guard lock(m_mutex);
    return m_options.latencyMs;
}

void EmlogSite::ExpireSessions() {
    std::lock_guard lock(m_mutex);
    m_sessions.clear();
}

std::vector<SandboxPost> EmlogSite::Posts() const {
    std::lock_guard lock(m_mutex);
    return m_posts;
}

std::vector<SandboxCategory> EmlogSite::Categories() const {
    std::lock_guard lock(m_mutex);
    return m_categories;
}

SiteCounters EmlogSite::Counters() const {
    std::lock_guard lock(m_mutex);
    return m_counters;
}

std::string EmlogSite::LastToken() const {
    std::lock_guard lock(m_mutex);
    return m_lastToken;
}

}  // namespace sandbox
