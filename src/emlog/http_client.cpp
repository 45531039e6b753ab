#include "emlog/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>

#include "core/charset.h"
#include "core/events.h"

namespace {

constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/30.0.1599.101 Safari/537.36";
constexpr long kMaxRedirects = 20;

// libcurl's global state must be set up once, before any handle, and not concurrently.
void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* Handle(void* curl) {
    return static_cast<CURL*>(curl);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[i]) return false;
    }
    return true;
}

bool HasHttpScheme(std::string_view url) {
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A control character in a URL would end up inside the Referer header line.
bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

bool HeadersDeclareUtf8(std::string_view headers) {
    const std::string lowered = Lowered(headers);
    for (const char* form : {"charset=utf-8", "charset=\"utf-8\"", "charset='utf-8'"})
        if (lowered.find(form) != std::string::npos) return true;
    return false;
}

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Exchange {
    std::string body;
    std::string headers;  // the header block of the last response only
    std::size_t maxBody = 0;
    bool oversized = false;
    // Silence watch: the longest time without a byte moving in either direction.
    std::int64_t sendMs = 0;
    std::int64_t receiveMs = 0;
    std::int64_t lastActivityMs = 0;
    curl_off_t lastDown = -1;
    curl_off_t lastUp = -1;
};

// libcurl's low-speed check averages over several seconds, so a stall after some data
// is noticed late; this ends the exchange once nothing has moved for the send limit
// (while the request is still going out) or the receive limit (while awaiting the answer).
int OnProgress(void* user, curl_off_t, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow) {
    auto* exchange = static_cast<Exchange*>(user);
    const std::int64_t now = SteadyMs();
    if (downNow != exchange->lastDown || upNow != exchange->lastUp) {
        exchange->lastDown = downNow;
        exchange->lastUp = upNow;
        exchange->lastActivityMs = now;
        return 0;
    }
    const bool sending = upTotal > 0 && upNow < upTotal;
    const std::int64_t limit = sending ? exchange->sendMs : exchange->receiveMs;
    return now - exchange->lastActivityMs > limit ? 1 : 0;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<Exchange*>(user);
    const std::size_t bytes = size * count;
    if (exchange->body.size() + bytes > exchange->maxBody) {
        exchange->oversized = true;
        return 0;  // aborts the transfer
    }
    exchange->body.append(data, bytes);
    return bytes;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<Exchange*>(user);
    const std::string_view line(data, size * count);
    // Each response of a redirect chain starts with its status line; keep only the last.
    if (StartsWithNoCase(line, "http/")) exchange->headers.clear();
    exchange->headers.append(line);
    return size * count;
}

class HeaderList {
public:
    ~HeaderList() { curl_slist_free_all(m_list); }
    void Add(const std::string& line) { m_list = curl_slist_append(m_list, line.c_str()); }
    curl_slist* get() const { return m_list; }

private:
    curl_slist* m_list = nullptr;
};

long ClampToLong(std::int64_t value, long low) {
    if (value < low) return low;
    if (value > 0x7FFFFFFF) return 0x7FFFFFFF;
    return static_cast<long>(value);
}

}  // namespace

CurlTimeouts MapHttpLimits(const HttpLimits& limits) {
    CurlTimeouts timeouts;
    // libcurl's connect phase includes name resolution, so it gets both budgets.
    timeouts.connectTimeoutMs = ClampToLong(limits.resolveMs + limits.connectMs, 1);
    timeouts.timeoutMs = ClampToLong(limits.completeMs, 1);
    // A server that stops sending (or a request that stops going out) for the receive
    // limit ends the exchange: under 1 byte per second for that many whole seconds.
    timeouts.lowSpeedLimit = 1;
    timeouts.lowSpeedTime = ClampToLong((limits.receiveMs + 999) / 1000, 1);
    return timeouts;
}

std::string EncodeUrlAsBrowser(std::string_view url, bool encodeHost) {
    const std::string utf8 = charset::GbkToUtf8(url);
    const std::size_t scheme = utf8.find("://");
    const std::size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t hostEnd = std::min(utf8.find_first_of("/?#", hostStart), utf8.size());
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool inHost = i >= hostStart && i < hostEnd;
        const bool unsafe = byte == ' ' || byte == '"' || byte == '<' || byte == '>' ||
                            byte == '`' || (byte >= 0x80 && (!inHost || encodeHost));
        if (unsafe) {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += static_cast<char>(byte);
        }
    }
    return encoded;
}

std::string NormaliseRequestUrl(std::string_view url) {
    const std::string_view trimmed = TrimSpaces(url);
    std::string normalised =
        HasHttpScheme(trimmed) ? std::string(trimmed) : "http://" + std::string(trimmed);
    const auto hash = normalised.find('#');
    if (hash != std::string::npos) normalised.erase(hash);
    // libcurl turns a UTF-8 host name into its ASCII form itself, as a browser does.
    return EncodeUrlAsBrowser(normalised, false);
}

std::string RefererForUrl(std::string_view url) {
    const std::string_view trimmed = TrimSpaces(url);
    // A header line carries ASCII only: nothing of the in-system GBK may reach it.
    return EncodeUrlAsBrowser(
        HasHttpScheme(trimmed) ? std::string(trimmed) : "http://" + std::string(trimmed), true);
}

HttpClient::HttpClient() {
    InitCurlOnce();
    CreateHandle();
}

HttpClient::~HttpClient() {
    if (m_curl) curl_easy_cleanup(Handle(m_curl));
    if (m_multi) curl_multi_cleanup(static_cast<CURLM*>(m_multi));
}

void HttpClient::Reset() {
    // A handler run while this client waits must not pull the handle from under libcurl:
    // the reset happens when the request is over.
    if (m_busy) {
        m_resetPending = true;
        return;
    }
    if (m_curl) curl_easy_cleanup(Handle(m_curl));
    CreateHandle();
}

int HttpClient::Perform() {
    CURL* curl = Handle(m_curl);
    if (!PumpsEventsHere()) return curl_easy_perform(curl);
    if (!m_multi) m_multi = curl_multi_init();
    auto* multi = static_cast<CURLM*>(m_multi);
    if (!multi || curl_multi_add_handle(multi, curl) != CURLM_OK) return curl_easy_perform(curl);
    CURLcode result = CURLE_FAILED_INIT;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (running == 0) break;
        curl_multi_poll(multi, nullptr, 0, 10, nullptr);
        PumpEvents();
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

void HttpClient::SetLimits(const HttpLimits& limits) {
    m_limits = limits;
    if (!m_busy) ApplyLimits();  // else at the next request: options cannot change mid-transfer
}

void HttpClient::CreateHandle() {
    m_curl = curl_easy_init();
    CURL* curl = Handle(m_curl);
    if (!curl) return;
    // No signals: name resolution time-outs must not raise SIGALRM in worker threads.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");  // in-memory cookies of this handle only
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A POST answered with 301, 302 or 303 goes on as a GET, as browsers do; 307 and 308
    // repeat the POST.
    curl_easy_setopt(curl, CURLOPT_POSTREDIR, 0L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    // Certificates of a private authority (an intranet's, the tests') are trusted when its
    // certificate file is named; verification itself is never turned off.
    if (const char* ca = std::getenv("QINGLUAN_CA_FILE"); ca && *ca)
        curl_easy_setopt(curl, CURLOPT_CAINFO, ca);
    // Direct connections, as the sites are reached without a proxy; one named in the
    // environment (http_proxy) would otherwise also take the loopback sandbox's traffic.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    ApplyLimits();
}

void HttpClient::ApplyLimits() {
    CURL* curl = Handle(m_curl);
    if (!curl) return;
    const CurlTimeouts timeouts = MapHttpLimits(m_limits);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeouts.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, timeouts.lowSpeedLimit);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeouts.lowSpeedTime);
    // A declared length over the limit fails before any byte is read.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(std::max<std::int64_t>(m_limits.maxBodyBytes, 0)));
}

std::string HttpClient::Request(std::string_view url, std::string_view body,
                                FileEncoding encoding) {
    return Fetch(url, body, encoding).text;
}

HttpResult HttpClient::Fetch(std::string_view url, std::string_view body, FileEncoding encoding) {
    m_lastFailed = true;
    HttpResult answer;
    CURL* curl = Handle(m_curl);
    if (!curl || m_busy || HasControlCharacter(url) || TrimSpaces(url).empty()) return answer;
    m_busy = true;
    struct Release {
        HttpClient& client;
        ~Release() {
            client.m_busy = false;
            if (client.m_resetPending) {
                client.m_resetPending = false;
                client.Reset();
            }
        }
    } release{*this};
    ApplyLimits();

    const std::string target = NormaliseRequestUrl(url);
    HeaderList headers;
    headers.Add("Referer: " + RefererForUrl(url));
    headers.Add("Content-Type: application/x-www-form-urlencoded");
    headers.Add(std::string("User-Agent: ") + kUserAgent);
    headers.Add("Expect:");  // a browser sends the body at once, without waiting for 100

    Exchange exchange;
    exchange.maxBody = static_cast<std::size_t>(std::max<std::int64_t>(m_limits.maxBodyBytes, 0));
    exchange.sendMs = m_limits.sendMs;
    exchange.receiveMs = m_limits.receiveMs;
    exchange.lastActivityMs = SteadyMs();
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &exchange);
    if (body.empty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    }
    const auto result = static_cast<CURLcode>(Perform());
    const char* effective = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        answer.finalUrl = effective;
    // The handle must not keep pointers into this call's locals.
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, nullptr);
    if (result != CURLE_OK || exchange.oversized) return answer;

    m_lastFailed = false;
    answer.failed = false;
    // A header's charset is a declaration, often wrong on old GBK sites: bytes that are
    // not UTF-8 then read as GBK, as they would without the header.
    if (encoding == FileEncoding::Auto && HeadersDeclareUtf8(exchange.headers))
        answer.text = DecodeTextBytes(exchange.body, FileEncoding::Utf8, false).text;
    else
        answer.text = DecodeTextBytes(exchange.body, encoding).text;
    return answer;
}
