// What HttpClient makes of the bytes a server answers: status lines, headers, charsets,
// chunked and cut-off bodies, cookies and redirect chains. A loopback server in this
// process answers the n-th request of an input with its n-th answer, as raw bytes.
//
// Input: flags byte, then the request path, the form body (empty: a GET), and the
// answers, one per part (the last repeats for any further request). "$PORT" in an answer
// stands for the server's port, so a redirect can name it.
//
// The client only ever reaches this server: connect() and getaddrinfo() are replaced
// in this program so that any other address, a redirect's included, is refused before a
// packet leaves.

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/gbk_text.h"
#include "emlog/http_client.h"
#include "fuzz_input.h"

namespace {

constexpr std::size_t kFirstAnswerPart = 2;
constexpr std::size_t kMaxAnswers = 8;
std::uint16_t g_port = 0;

bool AllowedPeer(const sockaddr* address, socklen_t length) {
    if (!address) return false;
    if (address->sa_family == AF_UNIX) return true;  // name service sockets, never the net
    if (address->sa_family != AF_INET || length < sizeof(sockaddr_in)) return false;
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    return in->sin_addr.s_addr == htonl(INADDR_LOOPBACK) && g_port != 0 &&
           in->sin_port == htons(g_port);
}

std::string Substituted(std::string_view answer) {
    return gbk::ReplaceAll(answer, "$PORT", std::to_string(g_port));
}

// One request at a time, each answered and then closed, so a client can never wait on a
// connection the server keeps.
class AnswerServer {
public:
    AnswerServer() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_listener < 0) fuzz::Fail("socket");
        const int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 16) != 0)
            fuzz::Fail("cannot listen on 127.0.0.1");
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        g_port = ntohs(address.sin_port);
        std::thread([this] { Loop(); }).detach();  // lives as long as the process
    }

    void SetAnswers(std::vector<std::string> answers) {
        std::lock_guard lock(m_mutex);
        m_answers = std::move(answers);
        m_served = 0;
    }

private:
    void Loop() {
        for (;;) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            timeval wait{2, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
            if (ReadRequest(fd)) Send(fd, NextAnswer());
            ::shutdown(fd, SHUT_WR);
            ::close(fd);
        }
    }

    std::string NextAnswer() {
        std::lock_guard lock(m_mutex);
        if (m_answers.empty()) return {};
        const std::size_t n = m_served < m_answers.size() ? m_served : m_answers.size() - 1;
        ++m_served;
        return m_answers[n];
    }

    // The header block and as much body as Content-Length says.
    static bool ReadRequest(int fd) {
        std::string got;
        std::size_t end;
        while ((end = got.find("\r\n\r\n")) == std::string::npos) {
            if (got.size() > (1 << 20) || !ReadMore(fd, got)) return false;
        }
        std::string head = got.substr(0, end);
        for (char& c : head)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        std::size_t body = 0;
        const auto at = head.find("\r\ncontent-length:");
        if (at != std::string::npos) body = std::strtoul(head.c_str() + at + 17, nullptr, 10);
        while (got.size() - end - 4 < body)
            if (!ReadMore(fd, got)) return false;
        return true;
    }

    static bool ReadMore(int fd, std::string& got) {
        char buffer[16384];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        got.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    static void Send(int fd, const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }

    int m_listener = -1;
    std::mutex m_mutex;
    std::vector<std::string> m_answers;
    std::size_t m_served = 0;
};

AnswerServer& Server() {
    static AnswerServer server;
    return server;
}

}  // namespace

// The network guard. Both replace the C library's functions for the whole program,
// libcurl included; the real connect is the system call itself.
extern "C" int connect(int fd, const sockaddr* address, socklen_t length) {
    if (!AllowedPeer(address, length)) {
        errno = ECONNREFUSED;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_connect, fd, address, length));
}

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Real = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    // Only numeric loopback names are resolved, and without asking any name server.
    in_addr parsed{};
    const bool loopback = node && (std::strcmp(node, "localhost") == 0 ||
                                   (::inet_pton(AF_INET, node, &parsed) == 1 &&
                                    parsed.s_addr == htonl(INADDR_LOOPBACK)));
    if (!loopback || !real) return EAI_NONAME;
    addrinfo numeric{};
    if (hints) numeric = *hints;
    numeric.ai_family = AF_INET;
    numeric.ai_flags |= AI_NUMERICHOST;
    return real("127.0.0.1", service, &numeric, result);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AnswerServer& server = Server();
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    const auto parts = fuzz::SplitParts(input.rest, kFirstAnswerPart + kMaxAnswers);
    std::vector<std::string> answers;
    for (std::size_t i = kFirstAnswerPart; i < parts.size(); ++i) {
        if (i > kFirstAnswerPart && parts[i].empty()) break;
        answers.push_back(Substituted(parts[i]));
    }
    server.SetAnswers(std::move(answers));

    const FileEncoding encodings[] = {FileEncoding::Auto, FileEncoding::Gbk, FileEncoding::Utf8,
                                      FileEncoding::Big5};
    const FileEncoding encoding = encodings[input.flags & 3];
    HttpLimits limits;
    limits.resolveMs = limits.connectMs = 1000;
    limits.sendMs = limits.receiveMs = 1500;
    limits.completeMs = 4000;
    // A small limit reaches the oversized-answer paths with small inputs.
    limits.maxBodyBytes = input.Bit(2) ? 24 : 1 << 20;

    HttpClient client;
    client.SetLimits(limits);
    const std::string url = "http://127.0.0.1:" + std::to_string(g_port) + "/" +
                            std::string(parts[0].substr(0, 200));
    const std::string text = client.Request(url, parts[1], encoding);
    fuzz::Check(text.empty() || !client.LastExchangeFailed(), "a failed exchange gives no text");
    fuzz::Check(text.find('\0') == std::string::npos, "the text ends before any zero byte");
    if (input.Bit(3)) {
        // The same session again: cookies and a pooled connection from the first request.
        server.SetAnswers({Substituted(parts[kFirstAnswerPart])});
        (void)client.Request(url, {}, encoding);
    }
    return 0;
}
