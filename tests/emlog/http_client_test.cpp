#include "emlog/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/charset.h"
#include "core/events.h"
#include "emlog/raw_http_server.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

// Short limits so a silent server costs a test about a second, not two minutes.
HttpLimits ShortLimits() {
    HttpLimits limits;
    limits.resolveMs = 500;
    limits.connectMs = 500;
    limits.sendMs = 1000;
    limits.receiveMs = 1000;
    limits.completeMs = 1500;
    return limits;
}

TEST(HttpLimitsTest, ProductionLimitsMapOntoLibcurl) {
    const CurlTimeouts timeouts = MapHttpLimits(HttpLimits{});
    EXPECT_EQ(timeouts.connectTimeoutMs, 20000);  // resolving and connecting together
    EXPECT_EQ(timeouts.timeoutMs, 120000);        // the complete answer
    EXPECT_EQ(timeouts.lowSpeedLimit, 1);         // nothing arriving ...
    EXPECT_EQ(timeouts.lowSpeedTime, 120);        // ... for the receive limit
    EXPECT_EQ(HttpLimits{}.maxBodyBytes, 64 << 20);
}

TEST(HttpLimitsTest, ShortLimitsRoundUpToWholeSecondsAndNeverDisable) {
    HttpLimits limits = ShortLimits();
    limits.receiveMs = 1200;
    EXPECT_EQ(MapHttpLimits(limits).lowSpeedTime, 2);
    // 0 would mean "no limit" to libcurl; a limit of 0 must still be a limit.
    limits = HttpLimits{0, 0, 0, 0, 0};
    const CurlTimeouts timeouts = MapHttpLimits(limits);
    EXPECT_GE(timeouts.connectTimeoutMs, 1);
    EXPECT_GE(timeouts.timeoutMs, 1);
    EXPECT_GE(timeouts.lowSpeedTime, 1);
}

TEST(RequestUrlTest, SchemeAndFragmentRules) {
    struct Case {
        const char* url;
        const char* requested;
        const char* referer;
    };
    const Case cases[] = {
        {"  example.com/admin/index.php#top ", "http://example.com/admin/index.php",
         "http://example.com/admin/index.php#top"},
        {"HTTPS://Example.com/a", "HTTPS://Example.com/a", "HTTPS://Example.com/a"},
        {"hTtP://x/y#a#b", "hTtP://x/y", "hTtP://x/y#a#b"},
        {"https:/x", "http://https:/x", "http://https:/x"},
        {"ftp://x/", "http://ftp://x/", "http://ftp://x/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormaliseRequestUrl(c.url), c.requested) << c.url;
        EXPECT_EQ(RefererForUrl(c.url), c.referer) << c.url;
    }
}

TEST(HttpClientTest, SendsTheThreeHeadersOnGetAndPost) {
    RawHttpServer server([](const RawRequest&) { return HttpAnswer("ok"); });
    HttpClient client;
    const std::string noScheme = "127.0.0.1:" + std::to_string(server.port()) + "/page?a=1#frag";
    EXPECT_EQ(client.Request(" " + noScheme + " ", "", FileEncoding::Auto), "ok");
    EXPECT_EQ(client.Request(server.Url("/save"), "a=1&b=%20", FileEncoding::Auto), "ok");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/page?a=1");
    EXPECT_EQ(requests[0].Header("Referer"), "http://" + noScheme);
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].Header("User-Agent"),
              "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/30.0.1599.101 Safari/537.36");
    EXPECT_TRUE(requests[0].body.empty());
    EXPECT_FALSE(requests[0].HasHeader("Cookie"));

    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].body, "a=1&b=%20");
    EXPECT_EQ(requests[1].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[1].Header("Referer"), server.Url("/save"));
    EXPECT_FALSE(requests[1].HasHeader("Expect"));  // no wait for "100 Continue"
    // The three headers in the order the system sets them.
    const std::string& block = requests[1].headerBlock;
    EXPECT_LT(block.find("Referer:"), block.find("Content-Type:"));
    EXPECT_LT(block.find("Content-Type:"), block.find("User-Agent:"));
}

TEST(HttpClientTest, KeepsCookiesAndConnectionsUntilReset) {
    RawHttpServer server([](const RawRequest& request) {
        if (request.target == "/login")
            return HttpAnswer("in", "Set-Cookie: PHPSESSID=abc123; path=/\r\n");
        return HttpAnswer("cookie:" + request.Header("Cookie"));
    });
    HttpClient client;
    EXPECT_EQ(client.Request(server.Url("/login"), "user=a", FileEncoding::Auto), "in");
    EXPECT_EQ(client.Request(server.Url("/check"), "", FileEncoding::Auto),
              "cookie:PHPSESSID=abc123");
    EXPECT_EQ(server.Connections(), 1);  // the connection stays open between requests

    client.Reset();
    EXPECT_EQ(client.Request(server.Url("/check"), "", FileEncoding::Auto), "cookie:");
    EXPECT_EQ(server.Connections(), 2);

    // Another client never sees this one's cookies.
    HttpClient other;
    client.Request(server.Url("/login"), "user=a", FileEncoding::Auto);
    EXPECT_EQ(other.Request(server.Url("/check"), "", FileEncoding::Auto), "cookie:");
}

TEST(HttpClientTest, PostRedirectsContinueAsBrowsersDo) {
    struct Case {
        const char* status;
        const char* method;  // of the request after the redirect
        bool bodyKept;
    };
    const Case cases[] = {
        {"301 Moved Permanently", "GET", false},  {"302 Found", "GET", false},
        {"303 See Other", "GET", false},          {"307 Temporary Redirect", "POST", true},
        {"308 Permanent Redirect", "POST", true},
    };
    for (const Case& c : cases) {
        const std::string status = c.status;
        RawHttpServer server([&](const RawRequest& request) {
            if (request.target == "/save")
                return Redirect(status, "./done?x=1", "Set-Cookie: flash=saved; path=/\r\n");
            return HttpAnswer("final " + request.method + " " + request.Header("Cookie"));
        });
        HttpClient client;
        const std::string page = client.Request(server.Url("/save"), "a=1", FileEncoding::Auto);
        EXPECT_EQ(page, std::string("final ") + c.method + " flash=saved") << c.status;
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 2u) << c.status;
        EXPECT_EQ(requests[1].target, "/done?x=1");
        EXPECT_EQ(requests[1].body, c.bodyKept ? "a=1" : "") << c.status;
    }
}

// The URL the redirects ended at comes back beside the body, also when the page there
// never arrived: the redirect itself is the site's answer.
TEST(HttpClientTest, ReportsWhereTheRedirectsEnded) {
    RawAnswer dropped;
    dropped.close = true;
    RawHttpServer server([&](const RawRequest& request) {
        if (request.target == "/save") return Redirect("302 Found", "./list?done=1");
        if (request.target == "/lost") return Redirect("302 Found", "/gone");
        if (request.target == "/gone") return dropped;
        return HttpAnswer("page " + request.target);
    });
    HttpClient client;
    client.SetLimits(ShortLimits());
    const HttpResult saved = client.Fetch(server.Url("/save"), "a=1", FileEncoding::Auto);
    EXPECT_EQ(saved.text, "page /list?done=1");
    EXPECT_EQ(saved.finalUrl, server.Url("/list?done=1"));
    EXPECT_FALSE(saved.failed);
    const HttpResult direct = client.Fetch(server.Url("/plain"), "", FileEncoding::Auto);
    EXPECT_EQ(direct.finalUrl, server.Url("/plain"));
    const HttpResult lost = client.Fetch(server.Url("/lost"), "", FileEncoding::Auto);
    EXPECT_TRUE(lost.failed);
    EXPECT_EQ(lost.text, "");
    EXPECT_EQ(lost.finalUrl, server.Url("/gone"));
    EXPECT_EQ(client.Fetch("", "", FileEncoding::Auto).finalUrl, "");
}

TEST(HttpClientTest, FailedRedirectsGiveTheEmptyText) {
    const std::string secret = "root:x:0:0";
    struct Case {
        const char* name;
        std::string location;
    };
    for (const Case& c :
         {Case{"loop", "/loop"}, Case{"ftp", "ftp://127.0.0.1/x"},
          Case{"file", "file:///etc/passwd"}, Case{"gopher", "gopher://127.0.0.1/"}}) {
        RawHttpServer server([&](const RawRequest&) { return Redirect("302 Found", c.location); });
        HttpClient client;
        const std::string page = client.Request(server.Url("/loop"), "", FileEncoding::Auto);
        EXPECT_EQ(page, "") << c.name;
        EXPECT_TRUE(client.LastExchangeFailed()) << c.name;
        EXPECT_LE(server.Requests().size(), 21u) << c.name;  // the first and 20 redirects
    }
}

TEST(HttpClientTest, TwentyRedirectsAreFollowed) {
    RawHttpServer server([](const RawRequest& request) {
        const int hop = std::stoi(request.target.substr(1));
        if (hop < 20) return Redirect("302 Found", "/" + std::to_string(hop + 1));
        return HttpAnswer("arrived");
    });
    HttpClient client;
    EXPECT_EQ(client.Request(server.Url("/0"), "", FileEncoding::Auto), "arrived");
}

TEST(HttpClientTest, ErrorStatusReturnsItsBody) {
    RawHttpServer server(
        [](const RawRequest&) { return HttpAnswer("oops", "", "500 Internal Server Error"); });
    HttpClient client;
    EXPECT_EQ(client.Request(server.Url("/"), "", FileEncoding::Auto), "oops");
    EXPECT_FALSE(client.LastExchangeFailed());
}

TEST(HttpClientTest, BrokenExchangesGiveTheEmptyText) {
    struct Case {
        const char* name;
        RawAnswer answer;
    };
    RawAnswer garbage{"\x16\x03\x01 this is not HTTP \x01\x02\x03 at all\r\n\r\n"};
    garbage.close = true;
    RawAnswer dropped;
    dropped.close = true;
    RawAnswer cutShort{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly a part"};
    cutShort.close = true;
    for (const Case& c :
         {Case{"garbage", garbage}, Case{"dropped", dropped}, Case{"cut short", cutShort}}) {
        RawHttpServer server([&](const RawRequest&) { return c.answer; });
        HttpClient client;
        client.SetLimits(ShortLimits());
        EXPECT_EQ(client.Request(server.Url("/"), "", FileEncoding::Auto), "") << c.name;
        EXPECT_TRUE(client.LastExchangeFailed()) << c.name;
    }
}

TEST(HttpClientTest, RefusedConnectionGivesTheEmptyText) {
    std::string url;
    {
        RawHttpServer server([](const RawRequest&) { return HttpAnswer(""); });
        url = server.Url("/");
    }
    HttpClient client;
    EXPECT_EQ(client.Request(url, "", FileEncoding::Auto), "");
    EXPECT_EQ(client.Request("", "", FileEncoding::Auto), "");
    // A line break in a URL must not smuggle a header into the request.
    EXPECT_EQ(client.Request(url + "\r\nX-Injected: 1", "", FileEncoding::Auto), "");
}

TEST(HttpClientTest, SilentServerGivesTheEmptyTextWithinTheLimits) {
    RawAnswer silent;
    silent.hang = true;
    RawAnswer stalled{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nhalf of it"};
    stalled.hang = true;
    HttpLimits wholeLimit = ShortLimits();
    wholeLimit.receiveMs = 30000;  // only the whole-exchange limit can end this one
    HttpLimits silenceLimit = ShortLimits();
    silenceLimit.completeMs = 30000;  // only the silence watch can end these
    struct Case {
        const char* name;
        RawAnswer answer;
        HttpLimits limits;
    };
    for (const Case& c : {Case{"no answer, whole exchange", silent, wholeLimit},
                          Case{"no answer, receive limit", silent, silenceLimit},
                          Case{"stalled body, receive limit", stalled, silenceLimit}}) {
        RawHttpServer server([&](const RawRequest&) { return c.answer; });
        HttpClient client;
        client.SetLimits(c.limits);
        const auto start = Clock::now();
        EXPECT_EQ(client.Request(server.Url("/"), "a=1", FileEncoding::Auto), "") << c.name;
        const auto elapsed = MsSince(start);
        EXPECT_GE(elapsed, 900) << c.name;
        EXPECT_LT(elapsed, 4000) << c.name;
        EXPECT_TRUE(client.LastExchangeFailed()) << c.name;
    }
}

TEST(HttpClientTest, OversizedAnswerIsAFailedExchange) {
    struct Case {
        const char* name;
        bool declared;  // with a Content-Length, else delimited by closing
        std::int64_t bytes;
        std::int64_t limit;
        bool passes;
    };
    const Case cases[] = {
        {"100 MB declared", true, 100ll << 20, 64 << 20, false},
        {"100 MB streamed", false, 100ll << 20, 64 << 20, false},
        {"at the limit", false, 1000, 1000, true},
        {"one byte over, declared", true, 1001, 1000, false},
        {"one byte over, streamed", false, 1001, 1000, false},
    };
    for (const Case& c : cases) {
        RawHttpServer server([&](const RawRequest&) {
            RawAnswer answer;
            answer.bytes = "HTTP/1.1 200 OK\r\n";
            if (c.declared) answer.bytes += "Content-Length: " + std::to_string(c.bytes) + "\r\n";
            answer.bytes += "Connection: close\r\n\r\n";
            answer.padBytes = c.bytes;
            answer.close = true;
            return answer;
        });
        HttpClient client;
        HttpLimits limits;
        limits.maxBodyBytes = c.limit;
        client.SetLimits(limits);
        const std::string page = client.Request(server.Url("/"), "", FileEncoding::Gbk);
        EXPECT_EQ(page.size(), c.passes ? static_cast<std::size_t>(c.bytes) : 0u) << c.name;
        EXPECT_EQ(client.LastExchangeFailed(), !c.passes) << c.name;
    }
}

TEST(HttpClientTest, DecodesByEncodingAndHeaders) {
    const std::string utf8 = "<p>\xE4\xB8\xAD\xE6\x96\x87</p>";  // 中文 in UTF-8
    const std::string gbk = Gbk("<p>中文</p>");
    struct Case {
        const char* name;
        std::string headers;
        std::string body;
        FileEncoding encoding;
        std::string expected;
    };
    const Case cases[] = {
        {"mixed-case header", "Content-Type: text/html; Charset=UTF-8\r\n", utf8,
         FileEncoding::Auto, gbk},
        {"double quotes", "Content-Type: text/html; charset=\"utf-8\"\r\n", utf8,
         FileEncoding::Auto, gbk},
        {"single quotes", "Content-Type: text/html; charset='UTF-8'\r\n", utf8, FileEncoding::Auto,
         gbk},
        // With spaces the header does not count; detection sees GBK bytes and keeps them.
        {"spaced header", "Content-Type: text/html; charset = utf-8\r\n", gbk, FileEncoding::Auto,
         gbk},
        {"no header, GBK bytes", "", gbk, FileEncoding::Auto, gbk},
        {"Gbk ignores the header", "Content-Type: text/html; charset=utf-8\r\n", utf8,
         FileEncoding::Gbk, utf8},
        {"Utf8 without a header", "", utf8, FileEncoding::Utf8, gbk},
        // A GBK site whose server claims UTF-8: the bytes are kept, not turned into "?".
        {"wrong header, GBK bytes", "Content-Type: text/html; charset=utf-8\r\n", gbk,
         FileEncoding::Auto, gbk},
    };
    for (const Case& c : cases) {
        RawHttpServer server([&](const RawRequest&) { return HttpAnswer(c.body, c.headers); });
        HttpClient client;
        EXPECT_EQ(client.Request(server.Url("/"), "", c.encoding), c.expected) << c.name;
    }
}

TEST(HttpClientTest, OnlyTheFinalAnswersHeadersDecide) {
    const std::string gbk = Gbk("<p>中文</p>");
    RawHttpServer server([&](const RawRequest& request) {
        if (request.target == "/start")
            return Redirect("302 Found", "/end", "Content-Type: text/html; charset=utf-8\r\n");
        return HttpAnswer(gbk, "Content-Type: text/html\r\n");
    });
    HttpClient client;
    EXPECT_EQ(client.Request(server.Url("/start"), "", FileEncoding::Auto), gbk);
}

}  // namespace

namespace {

// On the window's thread a slow answer does not freeze the window: events are pumped
// every few milliseconds while the request waits; a handler that asks the same client for
// another request meanwhile gets a failed exchange instead of re-entering libcurl, and a
// reset it asks for happens after the request.
TEST(HttpClientTest, WaitsOnTheWindowThreadPumpEvents) {
    RawHttpServer server([](const RawRequest& request) {
        if (request.target == "/slow") std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return HttpAnswer("answer:" + request.target, "Set-Cookie: PHPSESSID=s1; path=/\r\n");
    });
    HttpClient client;
    int pumps = 0;
    std::string nested = "unset";
    bool nestedFailed = false;
    SetPumpEventsHook([&] {
        if (++pumps == 3) {
            nested = client.Request(server.Url("/other"), "", FileEncoding::Auto);
            nestedFailed = client.LastExchangeFailed();
            client.Reset();
        }
    });
    EXPECT_EQ(client.Request(server.Url("/slow"), "", FileEncoding::Auto), "answer:/slow");
    SetPumpEventsHook({});
    EXPECT_FALSE(client.LastExchangeFailed());
    EXPECT_GE(pumps, 20);  // 400 ms in slices of about 10 ms
    EXPECT_EQ(nested, "");
    EXPECT_TRUE(nestedFailed);
    // The reset asked for during the wait took effect afterwards: no cookie is sent.
    RawHttpServer echo(
        [](const RawRequest& request) { return HttpAnswer("cookie:" + request.Header("Cookie")); });
    EXPECT_EQ(client.Request(echo.Url("/check"), "", FileEncoding::Auto), "cookie:");
}

}  // namespace
