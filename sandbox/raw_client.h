#pragma once

// A tiny blocking HTTP/1.1 client for the sandbox tests and benchmarks: one request per connection
// unless kept open, a cookie jar of name=value pairs, redirects followed by hand. It
// knows just enough HTTP to check what the sandbox sends, byte for byte.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct RawResponse {
    bool complete = false;  // a status line, headers and the whole body arrived
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::string body;
    std::string bytes;  // everything received

    std::string Header(const std::string& lowerName) const {
        for (const auto& [name, value] : headers)
            if (name == lowerName) return value;
        return {};
    }
    std::vector<std::string> Headers(const std::string& lowerName) const {
        std::vector<std::string> values;
        for (const auto& [name, value] : headers)
            if (name == lowerName) values.push_back(value);
        return values;
    }
};

inline int ConnectLoopback(std::uint16_t port, int timeoutMs) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return fd;
}

// Parses what arrived; complete only when the body is as long as Content-Length says.
inline RawResponse ParseRawResponse(std::string bytes) {
    RawResponse response;
    response.bytes = std::move(bytes);
    const std::string& all = response.bytes;
    auto headEnd = all.find("\r\n\r\n");
    if (all.rfind("HTTP/1.", 0) != 0 || headEnd == std::string::npos) return response;
    response.status = std::atoi(all.c_str() + 9);
    std::size_t lineStart = all.find("\r\n") + 2;
    while (lineStart < headEnd) {
        std::size_t lineEnd = all.find("\r\n", lineStart);
        std::string line = all.substr(lineStart, lineEnd - lineStart);
        auto colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        std::size_t valueStart = line.find_first_not_of(' ', colon + 1);
        response.headers.emplace_back(
            name, valueStart == std::string::npos ? "" : line.substr(valueStart));
        lineStart = lineEnd + 2;
    }
    response.body = all.substr(headEnd + 4);
    std::string length = response.Header("content-length");
    response.complete = !length.empty() && response.body.size() == std::stoull(length);
    return response;
}

// Reads until the answer is complete (Content-Length), the peer closes, or the time is up.
inline RawResponse ReadRawResponse(int fd, int timeoutMs) {
    std::string bytes;
    std::size_t wanted = 0;  // total size once the head is known
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string chunk(1 << 20, '\0');
    for (;;) {
        if (wanted == 0) {
            auto headEnd = bytes.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                RawResponse head = ParseRawResponse(bytes.substr(0, headEnd + 4));
                std::string length = head.Header("content-length");
                if (!length.empty()) wanted = headEnd + 4 + std::stoull(length);
            }
        }
        if (wanted != 0 && bytes.size() >= wanted) break;
        int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        deadline - std::chrono::steady_clock::now())
                                        .count());
        pollfd waiter{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&waiter, 1, left) <= 0) break;
        ssize_t got = ::recv(fd, chunk.data(), chunk.size(), 0);
        if (got <= 0) break;
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return ParseRawResponse(std::move(bytes));
}

class RawClient {
public:
    explicit RawClient(std::uint16_t port, int timeoutMs = 10000)
        : m_port(port), m_timeoutMs(timeoutMs) {}
    ~RawClient() { CloseConnection(); }

    // Keeps one connection open across requests (HTTP/1.1 keep-alive).
    void SetKeepAlive(bool keep) { m_keepAlive = keep; }

    RawResponse Send(const std::string& method, const std::string& target,
                     const std::string& body = "") {
        std::string request = method + " " + target +
                              " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(m_port) + "\r\n";
        if (!m_cookies.empty()) {
            request += "Cookie: ";
            bool first = true;
            for (const auto& [name, value] : m_cookies) {
                request += (first ? "" : "; ") + name + "=" + value;
                first = false;
            }
            request += "\r\n";
        }
        if (method == "POST") {
            request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\n";
        }
        request += m_keepAlive ? "\r\n" : "Connection: close\r\n\r\n";
        request += body;
        if (m_fd < 0) m_fd = ConnectLoopback(m_port, m_timeoutMs);
        if (m_fd < 0) return {};
        ++m_requests;
        if (::send(m_fd, request.data(), request.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(request.size())) {
            CloseConnection();
            return {};
        }
        RawResponse response = ReadRawResponse(m_fd, m_timeoutMs);
        if (!m_keepAlive || !response.complete) CloseConnection();
        for (const std::string& cookie : response.Headers("set-cookie")) {
            std::string pair = cookie.substr(0, cookie.find(';'));
            auto eq = pair.find('=');
            m_cookies[pair.substr(0, eq)] = pair.substr(eq + 1);
        }
        return response;
    }

    // Sends, then follows 302 answers with GET as a browser does; `target` is the path.
    RawResponse Follow(const std::string& method, std::string target, const std::string& body = "",
                       int* hops = nullptr) {
        RawResponse response = Send(method, target, body);
        for (int hop = 0; response.status == 302 && hop < 20; ++hop) {
            target = Resolve(target, response.Header("location"));
            if (hops) *hops = hop + 1;
            response = Send("GET", target);
        }
        return response;
    }

    // A relative Location against the path of the request it answered.
    static std::string Resolve(const std::string& from, std::string location) {
        if (location.rfind("/", 0) == 0) return location;
        std::string dir = from.substr(0, from.find('?'));
        dir = dir.substr(0, dir.rfind('/') + 1);
        while (location.rfind("./", 0) == 0 || location.rfind("../", 0) == 0) {
            if (location[0] == '.' && location[1] == '/') {
                location.erase(0, 2);
            } else {
                location.erase(0, 3);
                dir.pop_back();
                dir = dir.substr(0, dir.rfind('/') + 1);
            }
        }
        return dir + location;
    }

    std::map<std::string, std::string>& Cookies() { return m_cookies; }
    int Requests() const { return m_requests; }

private:
    void CloseConnection() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    std::uint16_t m_port;
    int m_timeoutMs;
    bool m_keepAlive = false;
    int m_fd = -1;
    int m_requests = 0;
    std::map<std::string, std::string> m_cookies;
};
