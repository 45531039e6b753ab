#include "sandbox_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

#include "admin_site.h"
#include "emlog_pages.h"
#include "fault_shaping.h"
#include "form_data.h"
#include "http_message.h"

namespace sandbox {
namespace {

constexpr int kIdleTimeoutSeconds = 60;  // an abandoned keep-alive connection ends then

struct Connection {
    int fd = -1;
    std::thread thread;
    std::atomic<bool> done{false};
};

struct SiteSlot {
    std::unique_ptr<AdminSite> site;
    std::string prefix, adminDir;
    SiteCharset charset = SiteCharset::Utf8;
    std::string base;       // "/blog1", or "" for a root site
    std::string adminBase;  // base + "/" + adminDir
    std::mutex faultMutex;
    Faults faults;
    bool hasFaults = false;
    // An outage: from the site's request number outageFrom on, every request is closed
    // unanswered for outageMs, as while a web server restarts. 0 means none planned.
    std::int64_t requestsSeen = 0;
    std::int64_t outageFrom = 0;
    std::int64_t outageMs = 0;
    std::optional<std::chrono::steady_clock::time_point> outageEnd;
};

bool StartsWithPath(std::string_view path, std::string_view base) {
    if (path.substr(0, base.size()) != base) return false;
    return path.size() == base.size() || path[base.size()] == '/';
}

std::string ContentType(SiteCharset charset) {
    return charset == SiteCharset::Utf8 ? "text/html; charset=UTF-8" : "text/html; charset=gbk";
}

}  // namespace

struct SandboxServer::Impl {
    ServerOptions options;
    std::vector<std::unique_ptr<SiteSlot>> sites;
    std::vector<std::size_t> routeOrder;  // longest admin path first
    int listenFd = -1;
    int wakePipe[2] = {-1, -1};  // written by Stop so the accept loop wakes at once
    std::uint16_t port = 0;
    std::atomic<bool> stopping{false};
    bool started = false;
    std::thread acceptThread;
    std::mutex connectionMutex;
    std::list<std::unique_ptr<Connection>> connections;
    std::mutex waitMutex;
    std::condition_variable waitCv;
    std::atomic<std::int32_t> latencyMs{0};
    std::atomic<std::int64_t> totalRequests{0};
    std::mutex postsFileMutex;
    std::FILE* postsFile = nullptr;

    // Sleeps ms (kStallForever: until Stop); false when the server is stopping.
    bool Wait(std::int64_t ms) {
        std::unique_lock lock(waitMutex);
        if (ms < 0) {
            waitCv.wait(lock, [&] { return stopping.load(); });
            return false;
        }
        waitCv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping.load(); });
        return !stopping;
    }

    void AcceptLoop();
    void ServeConnection(Connection& connection);
    bool Serve(int fd, const HttpRequest& request);  // false: close the connection
    bool ServeControl(int fd, const HttpRequest& request);
    bool SendAnswer(int fd, HttpResponse response, bool keepAlive, const Faults* faults);
    const SiteSlot* Route(std::string_view path, std::size_t& index, std::string& page,
                          bool& admin) const;
    std::optional<Faults> TakeFaults(SiteSlot& slot, std::string_view page);
    bool InOutage(SiteSlot& slot);  // counts the request; true while the site is down
    void WritePost(const SandboxPost& post, const std::string& site);
};

void SandboxServer::Impl::AcceptLoop() {
    while (!stopping) {
        pollfd waiters[2] = {{listenFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        int ready = poll(waiters, 2, 1000);
        if (ready <= 0 || (waiters[0].revents & POLLIN) == 0) continue;
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        timeval idle{kIdleTimeoutSeconds, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle);
        std::lock_guard lock(connectionMutex);
        for (auto it = connections.begin(); it != connections.end();) {
            if ((*it)->done) {
                (*it)->thread.join();
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
        if (stopping) {
            close(fd);
            break;
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        Connection* raw = connection.get();
        connections.push_back(std::move(connection));
        raw->thread = std::thread([this, raw] { ServeConnection(*raw); });
    }
}

void SandboxServer::Impl::ServeConnection(Connection& connection) {
    int fd = connection.fd;
    RequestReader reader(fd);
    while (!stopping) {
        HttpRequest request;
        ReadResult result = reader.Read(request);
        if (result == ReadResult::Closed) break;
        if (result != ReadResult::Ok) {
            HttpResponse refusal;
            refusal.status = result == ReadResult::TooLarge ? 413 : 400;
            SendAnswer(fd, refusal, false, nullptr);
            break;
        }
        ++totalRequests;
        if (!Serve(fd, request) || !request.keepAlive) break;
    }
    {
        std::lock_guard lock(connectionMutex);
        close(fd);
        connection.fd = -1;
    }
    connection.done = true;
}

const SiteSlot* SandboxServer::Impl::Route(std::string_view path, std::size_t& index,
                                           std::string& page, bool& admin) const {
    for (std::size_t i : routeOrder) {
        const SiteSlot& slot = *sites[i];
        if (StartsWithPath(path, slot.adminBase)) {
            index = i;
            admin = true;
            page =
                path.size() > slot.adminBase.size() ? path.substr(slot.adminBase.size() + 1) : "";
            return &slot;
        }
    }
    for (std::size_t i : routeOrder) {
        const SiteSlot& slot = *sites[i];
        if (slot.base.empty() || StartsWithPath(path, slot.base)) {
            index = i;
            admin = false;
            page = path.size() > slot.base.size() ? path.substr(slot.base.size() + 1) : "";
            return &slot;
        }
    }
    return nullptr;
}

bool SandboxServer::Impl::InOutage(SiteSlot& slot) {
    std::lock_guard lock(slot.faultMutex);
    slot.requestsSeen += 1;
    if (slot.outageFrom == 0 || slot.requestsSeen < slot.outageFrom) return false;
    const auto now = std::chrono::steady_clock::now();
    if (!slot.outageEnd) slot.outageEnd = now + std::chrono::milliseconds(slot.outageMs);
    if (now < *slot.outageEnd) return true;
    slot.outageFrom = 0;  // over: the site answers again
    slot.outageEnd.reset();
    return false;
}

std::optional<Faults> SandboxServer::Impl::TakeFaults(SiteSlot& slot, std::string_view page) {
    std::lock_guard lock(slot.faultMutex);
    if (!slot.hasFaults || (!slot.faults.page.empty() && slot.faults.page != page)) {
        return std::nullopt;
    }
    Faults taken = slot.faults;
    if (slot.faults.count > 0 && --slot.faults.count == 0) slot.hasFaults = false;
    return taken;
}

void SandboxServer::Impl::WritePost(const SandboxPost& post, const std::string& site) {
    if (postsFile == nullptr) return;
    std::string line = PostToJson(post, site) + "\n";
    std::lock_guard lock(postsFileMutex);
    std::fwrite(line.data(), 1, line.size(), postsFile);
    std::fflush(postsFile);
}

bool SandboxServer::Impl::Serve(int fd, const HttpRequest& request) {
    if (request.path.starts_with("/_sandbox/")) return ServeControl(fd, request);
    std::size_t index = 0;
    std::string page;
    bool admin = false;
    const SiteSlot* routed = Route(request.path, index, page, admin);
    if (routed == nullptr) {
        HttpResponse missing;
        missing.status = 404;
        missing.body =
            "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>";
        missing.AddHeader("Content-Type", "text/html; charset=UTF-8");
        return SendAnswer(fd, std::move(missing), request.keepAlive, nullptr);
    }
    SiteSlot& slot = *sites[index];
    if (InOutage(slot)) {
        slot.site->CountRequest(true);
        return false;
    }
    std::optional<Faults> faults = TakeFaults(slot, page);
    slot.site->CountRequest(faults.has_value());
    std::int64_t delay =
        latencyMs.load() + slot.site->LatencyMs() + (faults ? faults->extraLatencyMs : 0);
    if (delay > 0 && !Wait(delay)) return false;

    if (faults) {
        if (faults->dropConnection) return false;
        if (faults->garbage) {
            SendAll(fd, GarbageBytes());
            return false;
        }
        if (faults->stallMs != 0 && faults->stallPoint == StallPoint::BeforeAnswer &&
            !Wait(faults->stallMs)) {
            return false;
        }
        if (faults->redirectLoop || !faults->redirectLocation.empty() || faults->httpStatus != 0) {
            HttpResponse special;
            if (faults->redirectLoop) {
                special.status = 302;
                special.AddHeader("Location", request.target);
            } else if (!faults->redirectLocation.empty()) {
                special.status = 302;
                special.AddHeader("Location", faults->redirectLocation);
            } else {
                special.status = faults->httpStatus;
                special.body = ErrorStatusPage(faults->httpStatus);
            }
            special.AddHeader("Content-Type", "text/html; charset=iso-8859-1");
            return SendAnswer(fd, std::move(special), request.keepAlive, nullptr);
        }
    }

    SiteCharset answerCharset = slot.charset;
    if (faults && faults->wrongCharset) {
        answerCharset = slot.charset == SiteCharset::Utf8 ? SiteCharset::Gbk : SiteCharset::Utf8;
    }
    SiteAnswer answer =
        admin ? slot.site->HandleAdmin(request, page, faults ? faults->token : TokenFault::None,
                                       answerCharset)
              : slot.site->HandleFront(answerCharset);
    if (answer.newPost) WritePost(*answer.newPost, slot.prefix);
    if (faults) BreakMarkers(answer.response.body, faults->markers);
    answer.response.body = Utf8ToSiteText(answer.response.body, answerCharset);
    answer.response.AddHeader("Content-Type", ContentType(answerCharset));
    answer.response.AddHeader("Cache-Control", "no-cache");
    return SendAnswer(fd, std::move(answer.response), request.keepAlive,
                      faults ? &*faults : nullptr);
}

bool SandboxServer::Impl::SendAnswer(int fd, HttpResponse response, bool keepAlive,
                                     const Faults* faults) {
    std::uint64_t length = response.body.size();
    std::int64_t huge = faults ? faults->hugeBodyBytes : 0;
    if (huge > 0 && static_cast<std::uint64_t>(huge) > length)
        length = static_cast<std::uint64_t>(huge);
    std::string head = ResponseHead(response, length, keepAlive);
    if (faults && faults->stallMs != 0 && faults->stallPoint == StallPoint::MidBody) {
        std::string whole = response.body;
        whole.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, 1u << 20)), ' ');
        std::size_t half = whole.size() / 2;
        if (!SendAll(fd, head + whole.substr(0, half)) || !Wait(faults->stallMs)) return false;
        if (!SendAll(fd, std::string_view(whole).substr(half))) return false;
        for (std::uint64_t sent = whole.size(); sent < length;) {
            std::string pad(
                static_cast<std::size_t>(std::min<std::uint64_t>(length - sent, 1u << 16)), ' ');
            if (!SendAll(fd, pad)) return false;
            sent += pad.size();
        }
        return keepAlive;
    }
    if (!SendAll(fd, head + response.body)) return false;
    if (length > response.body.size()) {
        const std::string pad(1u << 16, ' ');
        for (std::uint64_t left = length - response.body.size(); left > 0;) {
            std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, pad.size()));
            if (stopping || !SendAll(fd, std::string_view(pad).substr(0, piece))) return false;
            left -= piece;
        }
    }
    return keepAlive;
}

bool SandboxServer::Impl::ServeControl(int fd, const HttpRequest& request) {
    NameValues query = ParseForm(request.query);
    HttpResponse response;
    response.AddHeader("Content-Type", "application/x-ndjson; charset=UTF-8");
    bool oneSite = HasValue(query, "site");
    std::size_t only =
        oneSite ? std::strtoul(std::string(FindValue(query, "site")).c_str(), nullptr, 10) : 0;
    if (oneSite && only >= sites.size()) {
        response.status = 404;
        return SendAnswer(fd, std::move(response), request.keepAlive, nullptr);
    }
    if (request.path == "/_sandbox/posts") {
        for (std::size_t i = 0; i < sites.size(); ++i) {
            if (oneSite && i != only) continue;
            for (const SandboxPost& post : sites[i]->site->Posts()) {
                response.body += PostToJson(post, sites[i]->prefix) + "\n";
            }
        }
    } else if (request.path == "/_sandbox/counters") {
        for (std::size_t i = 0; i < sites.size(); ++i) {
            if (oneSite && i != only) continue;
            SiteCounters c = sites[i]->site->Counters();
            char line[320];
            std::snprintf(
                line, sizeof line,
                "{\"site\":%zu,\"requests\":%lld,\"logins\":%lld,\"failed_logins\":%lld,"
                "\"publishes\":%lld,\"rejected_publishes\":%lld,\"faults_applied\":%lld}\n",
                i, static_cast<long long>(c.requests), static_cast<long long>(c.logins),
                static_cast<long long>(c.failedLogins), static_cast<long long>(c.publishes),
                static_cast<long long>(c.rejectedPublishes),
                static_cast<long long>(c.faultsApplied));
            response.body += line;
        }
    } else if (request.path == "/_sandbox/faults" && oneSite) {
        SiteSlot& slot = *sites[only];
        std::lock_guard lock(slot.faultMutex);
        slot.faults = FaultsFromParameters(query);
        slot.hasFaults = !HasValue(query, "clear") && slot.faults.count != 0;
        response.body = slot.hasFaults ? "{\"faults\":\"set\"}\n" : "{\"faults\":\"cleared\"}\n";
    } else {
        response.status = 404;
    }
    return SendAnswer(fd, std::move(response), request.keepAlive, nullptr);
}

SandboxServer::SandboxServer(ServerOptions options) : m_impl(std::make_unique<Impl>()) {
    m_impl->options = std::move(options);
    m_impl->latencyMs = m_impl->options.latencyMs;
    for (std::size_t i = 0; i < m_impl->options.sites.size(); ++i) {
        const SiteOptions& site = m_impl->options.sites[i];
        auto slot = std::make_unique<SiteSlot>();
        slot->site = MakeAdminSite(site, i);
        slot->prefix = site.prefix;
        slot->adminDir = site.adminDir.empty() ? "admin" : site.adminDir;
        slot->charset = site.pro ? SiteCharset::Utf8 : site.charset;  // pro is UTF-8 only
        slot->base = site.prefix.empty() ? "" : "/" + site.prefix;
        slot->adminBase = slot->base + "/" + slot->adminDir;
        m_impl->sites.push_back(std::move(slot));
        m_impl->routeOrder.push_back(i);
    }
    std::stable_sort(m_impl->routeOrder.begin(), m_impl->routeOrder.end(),
                     [&](std::size_t a, std::size_t b) {
                         return m_impl->sites[a]->base.size() > m_impl->sites[b]->base.size();
                     });
}

SandboxServer::~SandboxServer() {
    Stop();
}

bool SandboxServer::Start() {
    Impl& impl = *m_impl;
    if (impl.started) return false;
    impl.listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (impl.listenFd < 0) return false;
    int one = 1;
    setsockopt(impl.listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(impl.options.port);
    socklen_t size = sizeof address;
    if (bind(impl.listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(impl.listenFd, 1024) != 0 ||
        getsockname(impl.listenFd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(impl.listenFd);
        impl.listenFd = -1;
        return false;
    }
    impl.port = ntohs(address.sin_port);
    if (!impl.options.postsFile.empty()) {
        impl.postsFile = std::fopen(impl.options.postsFile.c_str(), "ab");
        if (impl.postsFile == nullptr) {
            close(impl.listenFd);
            impl.listenFd = -1;
            return false;
        }
    }
    if (pipe2(impl.wakePipe, O_CLOEXEC) != 0) {
        if (impl.postsFile != nullptr) std::fclose(impl.postsFile);
        impl.postsFile = nullptr;
        close(impl.listenFd);
        impl.listenFd = -1;
        return false;
    }
    impl.started = true;
    impl.acceptThread = std::thread([&impl] { impl.AcceptLoop(); });
    return true;
}

void SandboxServer::Stop() {
    Impl& impl = *m_impl;
    if (!impl.started || impl.stopping.exchange(true)) return;
    { std::lock_guard lock(impl.waitMutex); }
    impl.waitCv.notify_all();
    [[maybe_unused]] ssize_t woken = write(impl.wakePipe[1], "x", 1);
    impl.acceptThread.join();
    close(impl.wakePipe[0]);
    close(impl.wakePipe[1]);
    close(impl.listenFd);
    impl.listenFd = -1;
    std::list<std::unique_ptr<Connection>> connections;
    {
        std::lock_guard lock(impl.connectionMutex);
        for (auto& connection : impl.connections) {
            if (connection->fd >= 0) shutdown(connection->fd, SHUT_RDWR);
        }
        connections.swap(impl.connections);
    }
    for (auto& connection : connections) connection->thread.join();
    if (impl.postsFile != nullptr) std::fclose(impl.postsFile);
    impl.postsFile = nullptr;
}

std::uint16_t SandboxServer::port() const {
    return m_impl->port;
}
std::size_t SandboxServer::SiteCount() const {
    return m_impl->sites.size();
}

std::string SandboxServer::Domain(std::size_t site) const {
    std::string domain = "127.0.0.1:" + std::to_string(m_impl->port);
    const std::string& prefix = m_impl->sites.at(site)->prefix;
    return prefix.empty() ? domain : domain + "/" + prefix;
}

std::string SandboxServer::AdminDir(std::size_t site) const {
    return m_impl->sites.at(site)->adminDir;
}

std::string SandboxServer::AdminUrl(std::size_t site) const {
    return "http://" + Domain(site) + "/" + AdminDir(site);
}

void SandboxServer::SetFaults(std::size_t site, Faults faults) {
    SiteSlot& slot = *m_impl->sites.at(site);
    std::lock_guard lock(slot.faultMutex);
    slot.hasFaults = faults.count != 0;
    slot.faults = std::move(faults);
}

void SandboxServer::SetOutage(std::size_t site, std::int64_t fromRequest, std::int32_t ms) {
    SiteSlot& slot = *m_impl->sites.at(site);
    std::lock_guard lock(slot.faultMutex);
    slot.outageFrom = fromRequest <= 0 ? 0 : slot.requestsSeen + fromRequest;
    slot.outageMs = ms;
    slot.outageEnd.reset();
}

void SandboxServer::ClearFaults(std::size_t site) {
    SiteSlot& slot = *m_impl->sites.at(site);
    std::lock_guard lock(slot.faultMutex);
    slot.hasFaults = false;
    slot.faults = Faults();
}

void SandboxServer::SetLatencyMs(std::int32_t ms) {
    m_impl->latencyMs = ms;
}
void SandboxServer::SetSiteLatencyMs(std::size_t site, std::int32_t ms) {
    m_impl->sites.at(site)->site->SetLatencyMs(ms);
}
void SandboxServer::SetPassword(std::size_t site, std::string password) {
    m_impl->sites.at(site)->site->SetPassword(std::move(password));
}
void SandboxServer::ExpireSessions(std::size_t site) {
    m_impl->sites.at(site)->site->ExpireSessions();
}

std::vector<SandboxPost> SandboxServer::Posts(std::size_t site) const {
    return m_impl->sites.at(site)->site->Posts();
}
std::vector<SandboxCategory> SandboxServer::Categories(std::size_t site) const {
    return m_impl->sites.at(site)->site->Categories();
}
SiteCounters SandboxServer::Counters(std::size_t site) const {
    return m_impl->sites.at(site)->site->Counters();
}
std::int64_t SandboxServer::TotalRequests() const {
    return m_impl->totalRequests;
}
std::string SandboxServer::LastToken(std::size_t site) const {
    return m_impl->sites.at(site)->site->LastToken();
}

}  // namespace sandbox
