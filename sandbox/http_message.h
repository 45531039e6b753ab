#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The small part of HTTP/1.1 the sandbox needs: one request read from a blocking socket
// (Content-Length or chunked body, "Expect: 100-continue"), keep-alive, and answers
// written with a Content-Length.
namespace sandbox {

struct HttpRequest {
    std::string method;
    std::string target;                                        // as sent: path and query
    std::string path;                                          // target before "?"
    std::string query;                                         // target after "?", without it
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::string body;
    bool keepAlive = true;

    // First header of that (lower-case) name, "" when absent.
    std::string_view Header(std::string_view lowerName) const;
};

struct HttpResponse {
    std::int32_t status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    void AddHeader(std::string name, std::string value) {
        headers.emplace_back(std::move(name), std::move(value));
    }
};

enum class ReadResult { Ok, Closed, Malformed, TooLarge };

// Reads requests from one connection; bytes after a request stay buffered for the next.
class RequestReader {
public:
    explicit RequestReader(int fd) : m_fd(fd) {}
    ReadResult Read(HttpRequest& request);

private:
    bool Fill();  // reads more bytes into m_buffer; false on close or error
    bool ReadHeaderBlock(std::string& block);
    bool ReadExactly(std::size_t size, std::string& out);
    bool ReadChunked(std::string& out);
    bool ReadLine(std::string& line);

    int m_fd;
    std::string m_buffer;
    std::size_t m_start = 0;  // first unread byte of m_buffer
};

// Writes all bytes; false when the peer went away. Never raises SIGPIPE.
bool SendAll(int fd, std::string_view data);

std::string_view ReasonPhrase(std::int32_t status);

// Status line and headers with Content-Length = contentLength, ending with the blank line.
std::string ResponseHead(const HttpResponse& response, std::uint64_t contentLength, bool keepAlive);

// Largest request body accepted; larger ones get 413 and the connection is closed.
inline constexpr std::size_t kMaxRequestBody = 256u << 20;

}  // namespace sandbox
