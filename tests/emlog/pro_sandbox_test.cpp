// The sandbox's emlog pro site, spoken to as a browser does.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "sandbox/raw_client.h"
#include "sandbox/sandbox_config.h"
#include "sandbox/sandbox_server.h"

namespace {

constexpr std::size_t kPro = 0;
constexpr std::size_t kCaptcha = 1;

class ProSandboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox::ServerOptions options;
        for (const bool captcha : {false, true}) {
            sandbox::SiteOptions site;
            site.prefix = captcha ? "captcha" : "pro";
            site.pro = true;
            site.loginCaptcha = captcha;
            site.charset = sandbox::SiteCharset::Gbk;  // ignored: pro is UTF-8 only
            site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}};
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
    }

    std::string Admin(std::size_t site) const {
        const std::string url = m_server->AdminUrl(site);
        return url.substr(url.find('/', 7));  // the path after http://host:port
    }

    // Signs in as the browser does and returns the article list's token.
    std::string SignIn(RawClient& client) {
        client.Follow("GET", Admin(kPro) + "/account.php?action=signin");
        const RawResponse home = client.Follow(
            "POST", Admin(kPro) + "/account.php?action=dosignin&s=", "user=admin&pw=admin888");
        EXPECT_NE(home.body.find("<title>管理中心 - "), std::string::npos) << home.body;
        return Token(client.Follow("GET", Admin(kPro) + "/article.php").body);
    }

    static std::string Token(const std::string& page) {
        std::smatch match;
        if (!std::regex_search(page, match,
                               std::regex("<input name=\"token\" id=\"token\" value=\"([0-9a-f]+)"
                                          "\" type=\"hidden\" />")))
            return {};
        return match[1];
    }

    std::unique_ptr<sandbox::SandboxServer> m_server;
};

TEST_F(ProSandboxTest, SignInFlowAndItsNotices) {
    RawClient client(m_server->port());
    const RawResponse old =
        client.Send("POST", Admin(kPro) + "/index.php?action=login", "user=admin&pw=admin888");
    EXPECT_EQ(old.status, 302);
    EXPECT_EQ(old.Header("location"), "./account.php?action=signin");
    EXPECT_NE(old.Header("set-cookie").find("PHPSESSID="), std::string::npos);
    EXPECT_NE(old.Header("content-type").find("UTF-8"), std::string::npos);

    const RawResponse refused =
        client.Send("POST", Admin(kPro) + "/account.php?action=dosignin&s=", "user=admin&pw=wrong");
    EXPECT_EQ(refused.status, 302);
    EXPECT_EQ(refused.Header("location"), "./account.php?action=signin");
    const std::string notice = "<div class=\"alert alert-danger\">用户或密码错误</div>";
    const std::string signInUrl = Admin(kPro) + "/account.php?action=signin";
    EXPECT_NE(client.Send("GET", signInUrl).body.find(notice), std::string::npos);
    EXPECT_EQ(client.Send("GET", signInUrl).body.find(notice), std::string::npos);  // once

    const std::string token = SignIn(client);
    EXPECT_EQ(token.size(), 40u);
    const RawResponse dashboard = client.Send("GET", Admin(kPro) + "/");
    EXPECT_NE(dashboard.body.find("<title>管理中心 - "), std::string::npos);
    EXPECT_EQ(Token(dashboard.body), "");
    EXPECT_EQ(Token(client.Send("GET", Admin(kPro) + "/sort.php").body), token);

    RawClient json(m_server->port());
    const RawResponse ok =
        json.Send("POST", Admin(kPro) + "/account.php?action=dosignin&s=&resp=json",
                  "user=admin&pw=admin888");
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.body.rfind("{\"code\":0,\"msg\":\"ok\"", 0), 0u) << ok.body;
    const RawResponse bad = json.Send(
        "POST", Admin(kPro) + "/account.php?action=dosignin&s=&resp=json", "user=admin&pw=x");
    EXPECT_EQ(bad.status, 400);
    EXPECT_EQ(bad.body.rfind("{\"code\":1,", 0), 0u) << bad.body;
}

TEST_F(ProSandboxTest, CaptchaSiteShowsTheCodeFieldAndRefusesEverySignIn) {
    RawClient client(m_server->port());
    EXPECT_NE(client.Follow("GET", Admin(kCaptcha) + "/account.php?action=signin")
                  .body.find("name=\"login_code\""),
              std::string::npos);
    const RawResponse refused =
        client.Follow("POST", Admin(kCaptcha) + "/account.php?action=dosignin&s=",
                      "user=admin&pw=admin888&login_code=abcd");
    EXPECT_NE(refused.body.find("<div class=\"alert alert-danger\">验证码错误</div>"),
              std::string::npos);
    EXPECT_EQ(m_server->Counters(kCaptcha).logins, 0);
}

TEST_F(ProSandboxTest, SaveChecksTokenAndPublishesOnlyWithPubPost) {
    RawClient client(m_server->port());
    const std::string token = SignIn(client);
    const std::string save = Admin(kPro) + "/article_save.php";
    const RawResponse badToken =
        client.Send("POST", save, "title=a&logcontent=b&ishide=n&pubPost=1&token=x");
    EXPECT_EQ(badToken.status, 200);
    EXPECT_NE(badToken.body.find("<title>提示信息"), std::string::npos);
    EXPECT_NE(badToken.body.find("Token校验失败"), std::string::npos);

    const RawResponse draft =
        client.Send("POST", save, "title=d&logcontent=b&ishide=n&token=" + token);
    EXPECT_EQ(draft.status, 302);
    const RawResponse published = client.Send(
        "POST", save,
        "title=%E6%A0%87%E9%A2%98&logcontent=b&logexcerpt=e&ishide=n&pubPost=1&token=" + token);
    EXPECT_EQ(published.status, 302);
    EXPECT_EQ(published.Header("location"), "./article.php");
    const RawResponse list = client.Send("GET", Admin(kPro) + "/article.php");
    EXPECT_NE(list.body.find("<div class=\"alert alert-success\">发布成功</div>"),
              std::string::npos);
    const auto posts = m_server->Posts(kPro);
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_TRUE(posts[0].draft);
    EXPECT_FALSE(posts[1].draft);
    EXPECT_EQ(posts[1].title, "标题");
    EXPECT_EQ(posts[1].excerpt, "e");

    RawClient stranger(m_server->port());  // no login: sent to the sign-in page
    EXPECT_EQ(stranger.Send("POST", save, "title=x&token=" + token).Header("location"),
              "./account.php?action=signin");
}

TEST(ProSandboxConfigTest, OptionsField) {
    sandbox::SiteOptions site;
    std::string error;
    ASSERT_TRUE(sandbox::ParseSiteLine("p|admin|pw|utf-8|博客|admin||pro", site, error)) << error;
    EXPECT_TRUE(site.pro);
    EXPECT_FALSE(site.loginCaptcha);
    ASSERT_TRUE(sandbox::ParseSiteLine("p|admin|pw|utf-8|博客|admin||captcha", site, error));
    EXPECT_TRUE(site.pro && site.loginCaptcha);
    ASSERT_TRUE(sandbox::ParseSiteLine("p|admin|pw|gbk|博客|admin||silent", site, error));
    EXPECT_TRUE(site.silentNotices);
    EXPECT_FALSE(site.pro);
    for (const char* bad :
         {"p|a|b|gbk|d|admin||pro", "p|a|b|utf-8|d|admin||fast", "p|a|b|utf-8|d|admin||pro|more"})
        EXPECT_FALSE(sandbox::ParseSiteLine(bad, site, error)) << bad;
}

}  // namespace
