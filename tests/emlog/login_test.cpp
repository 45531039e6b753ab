#include "emlog/login.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "core/charset.h"
#include "core/platform/files.h"
#include "emlog/emlog_client.h"
#include "emlog/emlog_test_sites.h"
#include "emlog/form_url_encode.h"

namespace {

std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

TEST(FormUrlEncodeTest, EncodesPerCharset) {
    struct Case {
        std::string text;
        bool utf8;
        bool keepSeparators;
        const char* expected;
    };
    const Case cases[] = {
        {Gbk("中"), false, false, "%D6%D0"},
        {Gbk("中"), true, false, "%E4%B8%AD"},
        {"a b.c_d-e", false, false, "a%20b.c_d-e"},
        {"a b.c_d-e", true, false, "a%20b.c_d-e"},
        {"p&w=1", true, false, "p%26w%3D1"},
        {"p&w=1", false, true, "p&w=1"},
        {"*~+%/?#", false, false, "%2A%7E%2B%25%2F%3F%23"},
        {"", true, false, ""},
        {std::string("ab\0cd", 5), true, false, "ab"},  // a text ends at its zero byte
        {std::string("ab\0cd", 5), false, false, "ab"},
        {Gbk("标签,C&C"), true, false, "%E6%A0%87%E7%AD%BE%2CC%26C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormUrlEncode(c.text, c.utf8, c.keepSeparators), c.expected) << c.expected;
}

TEST(AdminBaseTest, BuildsFromDomainAndFolder) {
    SiteConfig site;
    site.域名 = "blog.example.com";
    site.后台 = "manage";
    EXPECT_EQ(AdminBase(site), "http://blog.example.com/manage");
    site.后台.clear();
    EXPECT_EQ(EmlogClient(site).AdminUrl(admin_page::kLogin),
              "http://blog.example.com/admin/index.php?action=login");
    site.编码 = 1;
    EXPECT_FALSE(EmlogClient(site).IsUtf8());
    site.编码 = 0;
    EXPECT_TRUE(EmlogClient(site).IsUtf8());
    // A TLS site keeps its scheme; older copies stored it as "https:host".
    for (const char* domain : {"https://blog.example.com", "HTTPS://blog.example.com",
                               "https:blog.example.com"}) {
        site.域名 = domain;
        EXPECT_EQ(AdminBase(site), "https://blog.example.com/admin") << domain;
    }
}

class LoginTest : public EmlogSitesTest {
protected:
    std::optional<std::string> FailurePage() {
        return platform::ReadWholeFile(LoginFailurePagePath());
    }
};

TEST_F(LoginTest, LogsInOnBothKindsOfSiteAndTakesTheToken) {
    for (const std::size_t index : {kUtf8Site, kGbkSite}) {
        SiteConfig site = Site(index);
        const auto before = Server().Counters(index).requests;
        ASSERT_TRUE(Login(site, false)) << index;
        EXPECT_FALSE(site.token.empty());
        EXPECT_EQ(site.token, Server().LastToken(index));
        EXPECT_EQ(Server().Counters(index).logins, 1);
        // The login post and the page behind its redirect; no write page is fetched.
        EXPECT_EQ(Server().Counters(index).requests - before, 2) << index;
        EXPECT_FALSE(FailurePage().has_value());
    }
}

TEST_F(LoginTest, TokenFallsBackToTheWritePageOnlyWhenMissing) {
    struct Case {
        sandbox::TokenFault fault;
        std::int64_t requests;
        bool tokenFound;
    };
    for (const Case& c : {Case{sandbox::TokenFault::NotOnLoginPage, 3, true},
                          Case{sandbox::TokenFault::Nowhere, 3, false}}) {
        SiteConfig site = Site(kUtf8Site);
        sandbox::Faults faults;
        faults.token = c.fault;
        Server().SetFaults(kUtf8Site, faults);
        const auto before = Server().Counters(kUtf8Site).requests;
        ASSERT_TRUE(Login(site, false));  // a welcome without a token is still a login
        EXPECT_EQ(Server().Counters(kUtf8Site).requests - before, c.requests);
        EXPECT_EQ(site.token, c.tokenFound ? Server().LastToken(kUtf8Site) : "");
        EXPECT_EQ(site.token.empty(), !c.tokenFound);
    }
}

TEST_F(LoginTest, FailedLoginKeepsTheTokenAndSavesTheAnswer) {
    SiteConfig site = Site(kUtf8Site);
    site.token = "earlier";
    site.密码 = Gbk("wrong");
    EXPECT_FALSE(Login(site, true));
    EXPECT_EQ(site.token, "earlier");
    EXPECT_FALSE(FailurePage().has_value());  // quiet: nothing saved

    EXPECT_FALSE(Login(site, false));
    EXPECT_EQ(site.token, "earlier");
    EXPECT_EQ(Server().Counters(kUtf8Site).failedLogins, 2);
    const auto page = FailurePage();
    ASSERT_TRUE(page.has_value());
    EXPECT_NE(page->find(Gbk("<title>登录</title>")), std::string::npos);
    // Saved as GBK, so it must not claim to be UTF-8.
    std::string lowered = *page;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), ::tolower);
    EXPECT_EQ(lowered.find("charset=utf-8"), std::string::npos);
    EXPECT_EQ(lowered.find("charset=\"utf-8\""), std::string::npos);
    EXPECT_NE(lowered.find("charset=gbk"), std::string::npos);
}

TEST_F(LoginTest, AnswersWithoutTheExactMarkerFail) {
    struct Case {
        const char* name;
        std::size_t index;
        sandbox::Faults faults;
    };
    sandbox::Faults wrongCase;
    wrongCase.markers = sandbox::MarkerFault::WrongCase;  // "<TITLE>管理中心"
    sandbox::Faults wrongCharset;
    wrongCharset.wrongCharset = true;  // a GBK site answering in UTF-8
    sandbox::Faults serverError;
    serverError.httpStatus = 500;
    sandbox::Faults dropped;
    dropped.dropConnection = true;
    const Case cases[] = {
        {"upper-case title", kUtf8Site, wrongCase},
        {"GBK site answers UTF-8", kGbkSite, wrongCharset},
        {"HTTP 500", kGbkSite, serverError},
        {"dropped connection", kUtf8Site, dropped},
    };
    for (const Case& c : cases) {
        SiteConfig site = Site(c.index);
        Server().SetFaults(c.index, c.faults);
        EXPECT_FALSE(Login(site, false)) << c.name;
        EXPECT_TRUE(site.token.empty()) << c.name;
        EXPECT_TRUE(FailurePage().has_value()) << c.name;
        Server().ClearFaults(c.index);
    }
}

TEST_F(LoginTest, NoServerGivesAFailedLoginAndAnEmptyFailurePage) {
    SiteConfig site = Site(kGbkSite);
    Server().Stop();
    platform::WriteWholeFile(LoginFailurePagePath(), "an older failure");
    EXPECT_FALSE(Login(site, false));
    EXPECT_EQ(FailurePage().value_or("missing"), "");
}

TEST_F(LoginTest, ResetDropsTheLoginCookie) {
    SiteConfig site = Site(kUtf8Site);
    ASSERT_TRUE(Login(site, false));
    EmlogClient client(site);
    const std::string writePage =
        client.Http().Request(client.AdminUrl(admin_page::kWriteLog), "", FileEncoding::Auto);
    EXPECT_EQ(FindFormToken(writePage), site.token);  // logged in: the write page
    client.Http().Reset();
    const std::string loginPage =
        client.Http().Request(client.AdminUrl(admin_page::kWriteLog), "", FileEncoding::Auto);
    EXPECT_FALSE(loginPage.empty());
    EXPECT_EQ(FindFormToken(loginPage), "");  // the login page again
}

TEST(LoginFailurePageTest, ConcurrentWritersLeaveOneWholePage) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("qingluan-failure-page-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    platform::SetDataFolder(folder.string());
    std::vector<std::thread> writers;
    for (char letter = 'a'; letter < 'i'; ++letter) {
        writers.emplace_back([letter] {
            const std::string page(200000, letter);
            for (int i = 0; i < 20; ++i) WriteLoginFailurePage(page);
        });
    }
    for (auto& writer : writers) writer.join();
    const auto page = platform::ReadWholeFile(LoginFailurePagePath());
    ASSERT_TRUE(page.has_value());
    ASSERT_EQ(page->size(), 200000u);
    EXPECT_EQ(std::count(page->begin(), page->end(), page->front()), 200000);
    std::filesystem::remove_all(folder);
}

TEST(LoginFailurePageTest, DeclaredUtf8BecomesGbkInAnyCase) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("qingluan-failure-charset-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    platform::SetDataFolder(folder.string());
    WriteLoginFailurePage(
        "<meta charset=\"utf-8\"><meta content=\"text/html; CHARSET=Utf-8\">charset=utf8");
    EXPECT_EQ(platform::ReadWholeFile(LoginFailurePagePath()).value_or(""),
              "<meta charset=\"gbk\"><meta content=\"text/html; charset=gbk\">charset=utf8");
    std::filesystem::remove_all(folder);
}

}  // namespace

// A blank or Chinese characters in the site's path or admin folder: the request goes out
// as a browser sends it (UTF-8, percent-encoded) and the login works, on both kinds of
// site; the Referer line stays ASCII.
TEST(LoginUrlTest, BlanksAndChineseInTheFoldersAreEncoded) {
    for (const auto charset : {sandbox::SiteCharset::Utf8, sandbox::SiteCharset::Gbk}) {
        sandbox::ServerOptions options;
        sandbox::SiteOptions blog;
        blog.prefix = "我的 博客";
        blog.adminDir = "后台 管理";
        blog.charset = charset;
        options.sites.push_back(blog);
        sandbox::SandboxServer server(options);
        ASSERT_TRUE(server.Start());
        SiteConfig site;
        site.域名 = charset::Utf8ToGbk(server.Domain(0));
        site.后台 = charset::Utf8ToGbk(server.AdminDir(0));
        site.编码 = charset == sandbox::SiteCharset::Utf8 ? 0 : 1;
        site.用户 = "admin";
        site.密码 = "admin888";
        EXPECT_TRUE(Login(site, true));
        EXPECT_EQ(server.Counters(0).logins, 1);
        server.Stop();
    }
    EXPECT_EQ(
        RefererForUrl(charset::Utf8ToGbk("例子.中国/我的 博客/?a=%41")),
        "http://%E4%BE%8B%E5%AD%90.%E4%B8%AD%E5%9B%BD/%E6%88%91%E7%9A%84%20%E5%8D%9A%E5%AE%A2/"
        "?a=%41");
    EXPECT_EQ(NormaliseRequestUrl(charset::Utf8ToGbk("例子.中国/后台 管理/x.php#frag")),
              "http://例子.中国/%E5%90%8E%E5%8F%B0%20%E7%AE%A1%E7%90%86/x.php");
}
