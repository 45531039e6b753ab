#include "admin_site.h"

#include "pro_site.h"

namespace sandbox {
namespace {

// The 5.x site behind the common face.
class ClassicSite : public AdminSite {
public:
    ClassicSite(SiteOptions options, std::size_t index) : m_site(std::move(options), index) {}

    SiteAnswer HandleAdmin(const HttpRequest& request, std::string_view page, TokenFault tokenFault,
                           SiteCharset answerCharset) override {
        return m_site.HandleAdmin(request, page, tokenFault, answerCharset);
    }
    SiteAnswer HandleFront(SiteCharset answerCharset) override {
        return m_site.HandleFront(answerCharset);
    }
    void CountRequest(bool faulted) override { m_site.CountRequest(faulted); }
    void SetPassword(std::string password) override { m_site.SetPassword(std::move(password)); }
    void SetLatencyMs(std::int32_t ms) override { m_site.SetLatencyMs(ms); }
    std::int32_t LatencyMs() const override { return m_site.LatencyMs(); }
    void ExpireSessions() override { m_site.ExpireSessions(); }
    std::vector<SandboxPost> Posts() const override { return m_site.Posts(); }
    std::vector<SandboxCategory> Categories() const override { return m_site.Categories(); }
    SiteCounters Counters() const override { return m_site.Counters(); }
    std::string LastToken() const override { return m_site.LastToken(); }

private:
    EmlogSite m_site;
};

}  // namespace

std::unique_ptr<AdminSite> MakeAdminSite(SiteOptions options, std::size_t index) {
    if (options.pro) return std::make_unique<ProSite>(std::move(options), index);
    return std::make_unique<ClassicSite>(std::move(options), index);
}

}  // namespace sandbox
