#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A loopback HTTP server that answers like the admin pages of an emlog 5.x blog (or, per
// site, of emlog pro), for the tests, the benchmarks and the demo. It serves several sites
// at once, each under its own path prefix, and can be told to misbehave (latency, broken
// pages, dropped or stalled connections) while it runs. It binds 127.0.0.1 only.
//
// All texts given to and returned by this interface are UTF-8; a GBK site converts on the
// wire only.
namespace sandbox {

enum class SiteCharset { Utf8, Gbk };

struct SandboxCategory {
    std::int32_t id = 0;       // emlog's sid; 0 lets the server number it
    std::string name;          // UTF-8
    std::string alias;         // may be empty
    std::int32_t parent = 0;   // sid of the parent; 0 for a top-level category
    std::string templateName;  // as added (UTF-8)
    std::string description;
};

struct SiteOptions {
    // Path prefix the site is served under: "blog1" serves http://127.0.0.1:PORT/blog1/,
    // so the client's domain is "127.0.0.1:PORT/blog1". Empty serves the site at the root.
    std::string prefix;
    std::string adminDir = "admin";
    std::string user = "admin";
    std::string password = "admin888";
    SiteCharset charset = SiteCharset::Utf8;
    std::string blogName = "Sandbox Blog";
    std::vector<SandboxCategory> categories;
    std::string templateName = "log_list";  // value of the template input on sort.php
    std::int32_t latencyMs = 0;             // added to every request of this site
    // emlog pro 2.6 instead of 5.x: its sign-in, save, article and category pages, UTF-8.
    bool pro = false;
    bool loginCaptcha = false;  // pro: the sign-in asks for a picture code no program can read
    // 5.x: the pages a save redirects to show no notice, as on emlog 6.1 and under themes
    // or plugins that change it.
    bool silentNotices = false;
};

// Where a stalled answer stops sending.
enum class StallPoint {
    BeforeAnswer,  // the request is read, nothing is ever sent (until the stall ends)
    MidBody,       // headers and half of the body are sent, then nothing
};

// How the marker texts of the answers are broken.
enum class MarkerFault {
    None,
    Missing,    // no "<title>管理中心", no token input, no success spans
    WrongCase,  // "<TITLE>管理中心", "</SPAN>" after the success messages
};

enum class TokenFault {
    None,
    NotOnLoginPage,  // the page after login has no token input; write_log.php still has one
    Nowhere,         // no token input on any page; save checks are then against ""
};

inline constexpr std::int32_t kStallForever = -1;  // until Stop()

// Faults of one site. Several may be set; the first that applies in this order wins:
// dropConnection, garbage, stall (BeforeAnswer), redirectLoop, redirectLocation,
// httpStatus; markers, token, wrongCharset, hugeBodyBytes and a MidBody stall shape the
// normal answer.
struct Faults {
    // Applies only to requests whose page (file name of the path, e.g. "save_log.php",
    // "index.php", "write_log.php", "sort.php", "admin_log.php"; "" for the folder itself)
    // equals this; empty applies to every request of the site.
    std::string page;
    // Number of matching requests the faults apply to before they clear themselves;
    // -1 keeps them until changed.
    std::int32_t count = -1;

    bool dropConnection = false;  // read the request, then close without a byte
    bool garbage = false;         // send non-HTTP bytes, then close
    std::int32_t stallMs = 0;     // 0 none, kStallForever, or milliseconds
    StallPoint stallPoint = StallPoint::BeforeAnswer;
    bool redirectLoop = false;     // 302 to the same URL, forever
    std::string redirectLocation;  // 302 to this URL (e.g. "ftp://127.0.0.1/x")
    std::int32_t httpStatus = 0;   // non-zero: this status with a short error page
    MarkerFault markers = MarkerFault::None;
    TokenFault token = TokenFault::None;
    bool wrongCharset = false;        // answer bytes and header in the other charset
    std::int64_t hugeBodyBytes = 0;   // pad the normal body with spaces to this size
    std::int32_t extraLatencyMs = 0;  // delay before answering
};

struct ServerOptions {
    std::uint16_t port = 0;  // 0 picks a free port
    std::vector<SiteOptions> sites;
    std::int32_t latencyMs = 0;  // added to every request
    // When not empty, every accepted article is appended here as one JSON line (UTF-8).
    std::string postsFile;
};

// One article as the site stored it. Field texts are decoded (percent-decoding, then the
// site charset) and given as UTF-8; bytes that are not valid in the site charset stay as
// they came.
struct SandboxPost {
    std::int32_t id = 0;  // emlog's gid
    std::string title, content, tag, excerpt, alias, sort, postdate, top, sortop, allowRemark,
        token, author, asLogid;
    std::vector<std::string> tags;  // tag split at "," as emlog does, trimmed, no empties
    std::string storedAlias;        // alias after emlog's duplicate check ("x" -> "x-2")
    std::int32_t submissions = 1;   // publishes of the same title and postdate
    bool draft = false;             // pro: saved without being published
    // Every field as received, in order, decoded to UTF-8.
    std::vector<std::pair<std::string, std::string>> fields;
    std::string rawBody;  // the form body exactly as it arrived (first submission)
};

struct SiteCounters {
    std::int64_t requests = 0;           // every request routed to the site
    std::int64_t logins = 0;             // successful logins
    std::int64_t failedLogins = 0;       // login posts with a wrong user or password
    std::int64_t publishes = 0;          // accepted publishes (duplicates included)
    std::int64_t rejectedPublishes = 0;  // no login cookie or wrong token
    std::int64_t faultsApplied = 0;
};

class SandboxServer {
public:
    explicit SandboxServer(ServerOptions options);
    ~SandboxServer();  // stops
    SandboxServer(const SandboxServer&) = delete;
    SandboxServer& operator=(const SandboxServer&) = delete;

    // Binds 127.0.0.1 and starts serving; false when the port cannot be bound.
    bool Start();
    // Closes the listener and every connection (stalls end at once) and joins all threads.
    void Stop();
    std::uint16_t port() const;

    // Sites are addressed by their index in ServerOptions::sites.
    std::size_t SiteCount() const;
    // "127.0.0.1:PORT/prefix" (or "127.0.0.1:PORT" for a root site): the client's 域名.
    std::string Domain(std::size_t site) const;
    std::string AdminDir(std::size_t site) const;  // the client's 后台
    // "http://" + Domain + "/" + AdminDir.
    std::string AdminUrl(std::size_t site) const;

    // Thread-safe; take effect from the next request.
    void SetFaults(std::size_t site, Faults faults);
    void ClearFaults(std::size_t site);
    // Takes the site down for `ms` milliseconds from its fromRequest-th request after this
    // call on (1: the next one): each request is read and its connection closed without an
    // answer, as a restarting web server does. 0 or less cancels a planned outage.
    void SetOutage(std::size_t site, std::int64_t fromRequest, std::int32_t ms);
    void SetLatencyMs(std::int32_t ms);  // server-wide
    void SetSiteLatencyMs(std::size_t site, std::int32_t ms);
    // Changes the password of a site (e.g. to make later logins fail).
    void SetPassword(std::size_t site, std::string password);
    // Ends every login of the site: later admin requests see the login page.
    void ExpireSessions(std::size_t site);

    // Every stored article, in the order of creation (a duplicate publish adds no entry).
    std::vector<SandboxPost> Posts(std::size_t site) const;
    std::vector<SandboxCategory> Categories(std::size_t site) const;
    SiteCounters Counters(std::size_t site) const;
    std::int64_t TotalRequests() const;
    // The token a logged-in session of this site carries, "" before any login.
    std::string LastToken(std::size_t site) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// One article as a JSON object on one line (the posts file and GET /_sandbox/posts).
std::string PostToJson(const SandboxPost& post, std::string_view site);

}  // namespace sandbox
