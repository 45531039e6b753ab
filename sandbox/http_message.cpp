#include "http_message.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace sandbox {
namespace {

constexpr std::size_t kMaxHeaderBlock = 64u << 10;

int PathHexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%XX" escapes of a path, as a web server maps them to its folders; "+" stays "+".
std::string DecodePath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && PathHexValue(path[i + 1]) >= 0 &&
            PathHexValue(path[i + 2]) >= 0) {
            out += static_cast<char>(PathHexValue(path[i + 1]) * 16 + PathHexValue(path[i + 2]));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool ContainsToken(std::string_view headerValue, std::string_view lowerToken) {
    return Lower(headerValue).find(lowerToken) != std::string::npos;
}

bool ParseHeaderBlock(std::string_view block, HttpRequest& request) {
    std::size_t lineEnd = block.find("\r\n");
    std::string_view line = block.substr(0, lineEnd);
    std::size_t sp1 = line.find(' ');
    std::size_t sp2 = line.rfind(' ');
    if (sp1 == std::string_view::npos || sp2 == sp1) return false;
    request.method = std::string(line.substr(0, sp1));
    request.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
    std::string_view version = line.substr(sp2 + 1);
    if (version.substr(0, 5) != "HTTP/" || request.target.empty()) return false;
    std::size_t q = request.target.find('?');
    request.path = DecodePath(std::string_view(request.target).substr(0, q));
    request.query = q == std::string::npos ? "" : request.target.substr(q + 1);
    request.headers.clear();
    while (lineEnd != std::string_view::npos && lineEnd + 2 < block.size()) {
        std::size_t start = lineEnd + 2;
        lineEnd = block.find("\r\n", start);
        line =
            block.substr(start, lineEnd == std::string_view::npos ? block.npos : lineEnd - start);
        if (line.empty()) break;
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return false;
        request.headers.emplace_back(Lower(Trim(line.substr(0, colon))),
                                     std::string(Trim(line.substr(colon + 1))));
    }
    std::string_view connection = request.Header("connection");
    if (version == "HTTP/1.0") {
        request.keepAlive = ContainsToken(connection, "keep-alive");
    } else {
        request.keepAlive = !ContainsToken(connection, "close");
    }
    return true;
}

bool ParseSize(std::string_view text, int base, std::uint64_t& value) {
    text = Trim(text);
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && (end == text.data() + text.size() || *end == ';' || *end == ' ');
}

}  // namespace

std::string_view HttpRequest::Header(std::string_view lowerName) const {
    for (const auto& [name, value] : headers) {
        if (name == lowerName) return value;
    }
    return {};
}

bool RequestReader::Fill() {
    if (m_start > 0 && m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    } else if (m_start > (1u << 20)) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    char chunk[16384];
    for (;;) {
        ssize_t got = recv(m_fd, chunk, sizeof chunk, 0);
        if (got > 0) {
            m_buffer.append(chunk, static_cast<std::size_t>(got));
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        return false;
    }
}

bool RequestReader::ReadHeaderBlock(std::string& block) {
    std::size_t searchFrom = m_start;
    for (;;) {
        std::size_t end = m_buffer.find("\r\n\r\n", searchFrom);
        if (end != std::string::npos) {
            block.assign(m_buffer, m_start, end + 4 - m_start);
            m_start = end + 4;
            return true;
        }
        if (m_buffer.size() - m_start > kMaxHeaderBlock) return false;
        searchFrom = m_buffer.size() >= 3 ? std::max(m_start, m_buffer.size() - 3) : m_start;
        if (!Fill()) return false;
    }
}

bool RequestReader::ReadExactly(std::size_t size, std::string& out) {
    while (m_buffer.size() - m_start < size) {
        if (!Fill()) return false;
    }
    out.append(m_buffer, m_start, size);
    m_start += size;
    return true;
}

bool RequestReader::ReadLine(std::string& line) {
    for (;;) {
        std::size_t end = m_buffer.find("\r\n", m_start);
        if (end != std::string::npos) {
            line.assign(m_buffer, m_start, end - m_start);
            m_start = end + 2;
            return true;
        }
        if (m_buffer.size() - m_start > kMaxHeaderBlock || !Fill()) return false;
    }
}

bool RequestReader::ReadChunked(std::string& out) {
    std::string line;
    for (;;) {
        std::uint64_t size = 0;
        if (!ReadLine(line) || !ParseSize(line, 16, size)) return false;
        if (size == 0) break;
        if (out.size() + size > kMaxRequestBody) return false;
        if (!ReadExactly(static_cast<std::size_t>(size), out) || !ReadLine(line)) return false;
    }
    do {  // trailers end with an empty line
        if (!ReadLine(line)) return false;
    } while (!line.empty());
    return true;
}

ReadResult RequestReader::Read(HttpRequest& request) {
    std::string block;
    if (m_start == m_buffer.size() && !Fill()) return ReadResult::Closed;
    if (!ReadHeaderBlock(block)) return ReadResult::Closed;
    if (!ParseHeaderBlock(block, request)) return ReadResult::Malformed;
    request.body.clear();
    bool chunked = ContainsToken(request.Header("transfer-encoding"), "chunked");
    std::uint64_t length = 0;
    std::string_view lengthText = request.Header("content-length");
    if (!chunked && !lengthText.empty() && !ParseSize(lengthText, 10, length)) {
        return ReadResult::Malformed;
    }
    if (length > kMaxRequestBody) return ReadResult::TooLarge;
    if ((chunked || length > 0) && ContainsToken(request.Header("expect"), "100-continue")) {
        if (!SendAll(m_fd, "HTTP/1.1 100 Continue\r\n\r\n")) return ReadResult::Closed;
    }
    if (chunked) return ReadChunked(request.body) ? ReadResult::Ok : ReadResult::Malformed;
    request.body.reserve(static_cast<std::size_t>(length));
    return ReadExactly(static_cast<std::size_t>(length), request.body) ? ReadResult::Ok
                                                                       : ReadResult::Closed;
}

bool SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::string_view ReasonPhrase(std::int32_t status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 413:
            return "Payload Too Large";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

std::string ResponseHead(const HttpResponse& response, std::uint64_t contentLength,
                         bool keepAlive) {
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " ";
    head += ReasonPhrase(response.status);
    head += "\r\nServer: Apache\r\nX-Powered-By: PHP/5.4.45\r\n";
    for (const auto& [name, value] : response.headers) {
        head += name + ": " + value + "\r\n";
    }
    head += "Content-Length: " + std::to_string(contentLength) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    return head;
}

}  // namespace sandbox
