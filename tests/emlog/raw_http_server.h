#pragma once

// A tiny HTTP/1.1 server on 127.0.0.1 for client tests that need byte-level control:
// exact headers seen, keep-alive connections counted, answers that never come, stall
// midway, or are not HTTP at all.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RawRequest {
    std::string method;
    std::string target;
    std::string headerBlock;  // the request line and headers as received
    std::string body;
    int connection = 0;  // 1-based number of the connection it came on

    // The value of the first header of that name (case-insensitive), "" when absent.
    std::string Header(const std::string& name) const {
        std::string lowered = Lower(headerBlock);
        const std::string key = "\r\n" + Lower(name) + ":";
        const auto at = lowered.find(key);
        if (at == std::string::npos) return {};
        auto start = at + key.size();
        while (start < headerBlock.size() && headerBlock[start] == ' ') ++start;
        return headerBlock.substr(start, headerBlock.find("\r\n", start) - start);
    }
    bool HasHeader(const std::string& name) const {
        return Lower(headerBlock).find("\r\n" + Lower(name) + ":") != std::string::npos;
    }
    static std::string Lower(std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    }
};

struct RawAnswer {
    std::string bytes;          // sent first, as they are
    std::int64_t padBytes = 0;  // then this many 'x' bytes
    bool hang = false;          // then send nothing more until the server stops
    bool close = false;         // then close the connection (else read the next request)
};

// A complete HTTP/1.1 answer with a Content-Length.
inline RawAnswer HttpAnswer(const std::string& body, const std::string& extraHeaders = "",
                            const std::string& status = "200 OK") {
    RawAnswer answer;
    answer.bytes = "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\n" + extraHeaders + "\r\n" + body;
    return answer;
}

inline RawAnswer Redirect(const std::string& status, const std::string& location,
                          const std::string& extraHeaders = "") {
    return HttpAnswer("moved", "Location: " + location + "\r\n" + extraHeaders, status);
}

class RawHttpServer {
public:
    using Handler = std::function<RawAnswer(const RawRequest&)>;

    explicit RawHttpServer(Handler handler) : m_handler(std::move(handler)) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 64);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { AcceptLoop(); });
    }

    ~RawHttpServer() { Stop(); }

    void Stop() {
        {
            std::lock_guard lock(m_mutex);
            if (m_stopped) return;
            m_stopped = true;
            for (int fd : m_connections) ::shutdown(fd, SHUT_RDWR);
        }
        m_wake.notify_all();
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        if (m_acceptor.joinable()) m_acceptor.join();
        std::vector<std::thread> workers;
        {
            std::lock_guard lock(m_mutex);
            workers.swap(m_workers);
        }
        for (auto& worker : workers) worker.join();
    }

    std::uint16_t port() const { return m_port; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    std::vector<RawRequest> Requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    int Connections() const { return m_connectionCount.load(); }

private:
    void AcceptLoop() {
        for (;;) {
            const int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0) return;
            std::lock_guard lock(m_mutex);
            if (m_stopped) {
                ::close(fd);
                return;
            }
            const int number = ++m_connectionCount;
            m_connections.push_back(fd);
            m_workers.emplace_back([this, fd, number] { Serve(fd, number); });
        }
    }

    void Serve(int fd, int number) {
        std::string pending;
        RawRequest request;
        while (ReadRequest(fd, pending, request)) {
            request.connection = number;
            {
                std::lock_guard lock(m_mutex);
                m_requests.push_back(request);
            }
            const RawAnswer answer = m_handler(request);
            if (!Send(fd, answer.bytes) || !Pad(fd, answer.padBytes)) break;
            if (answer.hang) {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopped; });
                break;
            }
            if (answer.close) break;
        }
        std::lock_guard lock(m_mutex);
        m_connections.erase(std::remove(m_connections.begin(), m_connections.end(), fd),
                            m_connections.end());
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }

    static bool ReadRequest(int fd, std::string& pending, RawRequest& request) {
        std::size_t end;
        while ((end = pending.find("\r\n\r\n")) == std::string::npos)
            if (!ReadMore(fd, pending)) return false;
        request = RawRequest{};
        request.headerBlock = pending.substr(0, end + 2);
        pending.erase(0, end + 4);
        const auto space = request.headerBlock.find(' ');
        request.method = request.headerBlock.substr(0, space);
        request.target = request.headerBlock.substr(
            space + 1, request.headerBlock.find(' ', space + 1) - space - 1);
        const std::string length = request.Header("Content-Length");
        const std::size_t bodySize = length.empty() ? 0 : std::stoul(length);
        while (pending.size() < bodySize)
            if (!ReadMore(fd, pending)) return false;
        request.body = pending.substr(0, bodySize);
        pending.erase(0, bodySize);
        return true;
    }

    static bool ReadMore(int fd, std::string& pending) {
        char buffer[65536];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        pending.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    static bool Send(int fd, const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    static bool Pad(int fd, std::int64_t bytes) {
        const std::string chunk(1 << 20, 'x');
        while (bytes > 0) {
            const auto size = static_cast<std::size_t>(
                std::min<std::int64_t>(bytes, static_cast<std::int64_t>(chunk.size())));
            if (!Send(fd, chunk.substr(0, size))) return false;
            bytes -= static_cast<std::int64_t>(size);
        }
        return true;
    }

    Handler m_handler;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::thread m_acceptor;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    std::vector<int> m_connections;
    std::vector<std::thread> m_workers;
    std::vector<RawRequest> m_requests;
    std::atomic<int> m_connectionCount{0};
};
