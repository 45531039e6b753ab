#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "article/text_decoding.h"

// The limits of one exchange, in milliseconds. The defaults are the production values;
// tests shorten them so a silent server does not hold them for two minutes.
struct HttpLimits {
    std::int64_t resolveMs = 10000;
    std::int64_t connectMs = 10000;
    std::int64_t sendMs = 60000;
    std::int64_t receiveMs = 120000;       // longest silence while waiting for the answer
    std::int64_t completeMs = 120000;      // the whole exchange, redirects included
    std::int64_t maxBodyBytes = 64 << 20;  // a longer answer is a failed exchange
};

// How HttpLimits land on libcurl's options. libcurl has no separate name-resolution or
// per-direction limits: its connect limit covers resolving, connecting and the TLS
// handshake, and its low-speed check watches sending and receiving together, averaged
// over seconds. The client therefore also watches for silence itself, from the progress
// callback: nothing sent for sendMs while the request goes out, or nothing received for
// receiveMs while the answer is awaited, ends the exchange.
struct CurlTimeouts {
    long connectTimeoutMs = 0;  // CURLOPT_CONNECTTIMEOUT_MS
    long timeoutMs = 0;         // CURLOPT_TIMEOUT_MS
    long lowSpeedLimit = 0;     // CURLOPT_LOW_SPEED_LIMIT, bytes per second
    long lowSpeedTime = 0;      // CURLOPT_LOW_SPEED_TIME, seconds
};
CurlTimeouts MapHttpLimits(const HttpLimits& limits);

// What one request brought back. finalUrl is where the redirects ended (libcurl's effective
// URL, as sent on the wire): emlog answers a save with a redirect whose target says how it
// went, so it is kept also when the page after that redirect never arrived.
struct HttpResult {
    std::string text;  // the decoded body, "" after a failed exchange
    std::string finalUrl;
    bool failed = true;
};

// One site's HTTP session: a libcurl easy handle with its own cookie store and its own
// connections. Used by one thread at a time; instances share nothing.
class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // GET when body is empty, else a form POST of body (already percent-encoded). Follows
    // redirects as a browser does and returns the final answer as in-system text:
    // Auto decodes as UTF-8 when the headers declare it and detects otherwise; Gbk and
    // Utf8 decode as told. A failed exchange (no connection, time-out, TLS error, too
    // many redirects, a scheme other than http or https, an oversized answer) gives "".
    // On the window's thread (PumpsEventsHere) the wait pumps events every 10 ms, so the
    // window repaints and a stop click is seen; a request made by a handler during that
    // wait on the same client is a failed exchange, and a Reset it asks for waits until
    // the request is over.
    std::string Request(std::string_view url, std::string_view body,
                        FileEncoding encoding = FileEncoding::Auto);
    // The same request, with the URL the redirects ended at beside the body.
    HttpResult Fetch(std::string_view url, std::string_view body,
                     FileEncoding encoding = FileEncoding::Auto);

    // Drops the cookies and open connections; the next request starts a fresh session.
    void Reset();

    void SetLimits(const HttpLimits& limits);
    const HttpLimits& Limits() const { return m_limits; }

    // Whether the last Request failed as an exchange (as opposed to any answer at all).
    bool LastExchangeFailed() const { return m_lastFailed; }

private:
    void CreateHandle();
    void ApplyLimits();

    int Perform();  // a CURLcode

    void* m_curl = nullptr;   // CURL*, kept out of the header
    void* m_multi = nullptr;  // CURLM*, made on the first request from the window's thread
    HttpLimits m_limits;
    bool m_lastFailed = false;
    bool m_busy = false;
    bool m_resetPending = false;
};

// A GBK URL as a browser sends it: UTF-8, with blanks, quotes, angle brackets and
// non-ASCII bytes percent-encoded; a non-ASCII host name stays UTF-8 unless encodeHost.
// Existing "%XX" escapes are kept as they are.
std::string EncodeUrlAsBrowser(std::string_view url, bool encodeHost);

// The URL as requested: trimmed of spaces, "http://" in front when it names neither http
// nor https, cut before the first "#", encoded as a browser does.
std::string NormaliseRequestUrl(std::string_view url);

// The Referer sent with a request: the trimmed URL with "http://" in front when needed,
// encoded as a browser does (the host too, so the line is ASCII); a fragment stays.
std::string RefererForUrl(std::string_view url);
