#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "form_data.h"
#include "http_message.h"
#include "sandbox_server.h"

// The state and the admin logic of one emlog site: users' sessions and tokens, the
// categories and the articles. Answers carry UTF-8 HTML; the server puts them into the
// site charset. Thread-safe.
namespace sandbox {

struct SiteAnswer {
    HttpResponse response;               // body is UTF-8 HTML
    std::optional<SandboxPost> newPost;  // set when a publish created an article
};

class EmlogSite {
public:
    EmlogSite(SiteOptions options, std::size_t index);

    // page: the admin path after the admin folder ("index.php", "" for the folder).
    SiteAnswer HandleAdmin(const HttpRequest& request, std::string_view page, TokenFault tokenFault,
                           SiteCharset answerCharset);
    SiteAnswer HandleFront(SiteCharset answerCharset);

    void CountRequest(bool faulted);
    void SetPassword(std::string password);
    void SetLatencyMs(std::int32_t ms);
    std::int32_t LatencyMs() const;
    void ExpireSessions();
    std::vector<SandboxPost> Posts() const;
    std::vector<SandboxCategory> Categories() const;
    SiteCounters Counters() const;
    std::string LastToken() const;

private:
    struct Call;  // one request being handled, under m_mutex

    SiteAnswer Index(Call& call);
    SiteAnswer Login(Call& call);
    SiteAnswer SaveLog(Call& call);
    SiteAnswer Sort(Call& call);
    SiteAnswer AdminLog(Call& call);
    SiteAnswer AddCategory(Call& call);
    SiteAnswer DeleteCategory(Call& call);
    SiteAnswer DeleteArticles(Call& call);
    bool TokenOk(const Call& call) const;
    SiteAnswer TokenError(const Call& call) const;
    SiteAnswer LoginPageAnswer(const Call& call, std::string_view message) const;
    std::string UniqueAlias(std::string alias) const;

    mutable std::mutex m_mutex;
    SiteOptions m_options;
    std::string m_cookieSuffix;  // makes the cookie names of two sites differ
    std::vector<SandboxCategory> m_categories;
    std::int32_t m_nextSortId = 1;
    std::vector<SandboxPost> m_posts;
    std::unordered_map<std::string, std::size_t> m_postByTitleDate;  // title \0 date -> index
    std::vector<std::string> m_postKeys;                             // same order as m_posts
    std::int32_t m_nextPostId = 1;
    std::unordered_map<std::string, std::string> m_sessions;  // auth cookie -> token
    std::string m_lastToken;
    SiteCounters m_counters;
};

// "YYYY-MM-DD HH:MM:SS" (or a date alone) normalised; anything else gives the current
// local time, as emlog falls back to time() when strtotime() fails.
std::string NormalisePostTime(std::string_view text);

}  // namespace sandbox
