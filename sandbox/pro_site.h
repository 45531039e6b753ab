#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "admin_site.h"
#include "pro_pages.h"

// An emlog pro 2.6 site: sign-in on account.php with the session cookie, the save on
// article_save.php, categories on sort.php?action=save, article operations on
// article.php. Every notice waits in the PHP session and shows on the page after the
// redirect. All pages UTF-8, whatever the charset asked for; the token faults do not
// apply.
namespace sandbox {

class ProSite : public AdminSite {
public:
    ProSite(SiteOptions options, std::size_t index);

    SiteAnswer HandleAdmin(const HttpRequest& request, std::string_view page, TokenFault tokenFault,
                           SiteCharset answerCharset) override;
    SiteAnswer HandleFront(SiteCharset answerCharset) override;

    void CountRequest(bool faulted) override;
    void SetPassword(std::string password) override;
    void SetLatencyMs(std::int32_t ms) override;
    std::int32_t LatencyMs() const override;
    void ExpireSessions() override;
    std::vector<SandboxPost> Posts() const override;
    std::vector<SandboxCategory> Categories() const override;
    SiteCounters Counters() const override;
    std::string LastToken() const override;

private:
    struct Call;  // one request being handled, under m_mutex

    SiteAnswer Index(Call& call);
    SiteAnswer Account(Call& call);
    SiteAnswer SignIn(Call& call);
    SiteAnswer Articles(Call& call);
    SiteAnswer SaveArticle(Call& call);
    SiteAnswer OperateArticles(Call& call);
    SiteAnswer Sort(Call& call);
    SiteAnswer SaveSort(Call& call);
    SiteAnswer DeleteSort(Call& call);

    SiteAnswer Page(const Call& call, std::string html);
    SiteAnswer RedirectWith(Call& call, std::string location, ProNotice notice);
    SiteAnswer TokenError() const;
    ProPageContext Context(Call& call, bool withToken);

    mutable std::mutex m_mutex;
    SiteOptions m_options;
    std::string m_cookieSuffix;  // makes the cookie names of two sites differ
    std::vector<SandboxCategory> m_categories;
    std::int32_t m_nextSortId = 1;
    std::vector<SandboxPost> m_posts;
    std::int32_t m_nextPostId = 1;
    std::unordered_map<std::string, std::string> m_logins;  // auth cookie -> token
    std::unordered_map<std::string, ProNotice> m_notices;   // PHPSESSID -> next notice
    std::string m_lastToken;
    SiteCounters m_counters;
};

}  // namespace sandbox
