#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "emlog_site.h"

// One site of the sandbox, whichever emlog it plays: the server routes its requests here
// and reads its state back through this. Thread-safe.
namespace sandbox {

class AdminSite {
public:
    virtual ~AdminSite() = default;

    // page: the admin path after the admin folder ("index.php", "" for the folder).
    virtual SiteAnswer HandleAdmin(const HttpRequest& request, std::string_view page,
                                   TokenFault tokenFault, SiteCharset answerCharset) = 0;
    virtual SiteAnswer HandleFront(SiteCharset answerCharset) = 0;

    virtual void CountRequest(bool faulted) = 0;
    virtual void SetPassword(std::string password) = 0;
    virtual void SetLatencyMs(std::int32_t ms) = 0;
    virtual std::int32_t LatencyMs() const = 0;
    virtual void ExpireSessions() = 0;
    virtual std::vector<SandboxPost> Posts() const = 0;
    virtual std::vector<SandboxCategory> Categories() const = 0;
    virtual SiteCounters Counters() const = 0;
    virtual std::string LastToken() const = 0;
};

// An emlog pro site when options.pro is set, else a 5.x one.
std::unique_ptr<AdminSite> MakeAdminSite(SiteOptions options, std::size_t index);

}  // namespace sandbox
