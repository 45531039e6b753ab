// Login and publish on emlog pro sites, told apart from 5.x ones at login.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "article/post_metadata.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "emlog/emlog_client.h"
#include "emlog/login.h"
#include "emlog/pro_test_sites.h"
#include "emlog/publish.h"
#include "emlog/raw_http_server.h"

namespace {

class ProAdminTest : public ProSitesTest {};

// 编码 says GBK on one record: pro has no GBK edition, so both sign in in UTF-8.
TEST_F(ProAdminTest, SignsInWhereTheOldLoginLeadsAndTakesTheToken) {
    for (const std::int32_t charsetSetting : {0, 1}) {
        SiteConfig site = Site(kProSite, charsetSetting);
        ASSERT_EQ(TryLogin(site, false), LoginResult::Ok) << charsetSetting;
        EXPECT_EQ(site.adminKind, AdminKind::Pro);
        EXPECT_TRUE(EmlogClient(site).IsUtf8());
        EXPECT_EQ(site.token, Server().LastToken(kProSite));
        EXPECT_TRUE(std::regex_match(site.token, std::regex("[0-9a-f]{40}"))) << site.token;
    }
    EXPECT_EQ(Server().Counters(kProSite).logins, 2);
    EXPECT_EQ(FailurePage(), "(none)");

    SiteConfig classic = Site(kClassicSite);
    classic.adminKind = AdminKind::Pro;  // learnt afresh at every login
    ASSERT_EQ(TryLogin(classic, false), LoginResult::Ok);
    EXPECT_EQ(classic.adminKind, AdminKind::Classic);
}

TEST_F(ProAdminTest, WrongPasswordFailsAndSavesTheSignInPage) {
    SiteConfig site = Site(kProSite);
    site.token = "earlier";
    site.密码 = "wrong";
    EXPECT_EQ(TryLogin(site, false), LoginResult::Failed);
    EXPECT_EQ(site.token, "earlier");
    EXPECT_EQ(Server().Counters(kProSite).failedLogins, 1);
    const std::string page = FailurePage();
    // The notice travelled in the session to the page after the redirect.
    EXPECT_NE(page.find(Gbk("<div class=\"alert alert-danger\">用户或密码错误</div>")),
              std::string::npos)
        << charset::GbkToUtf8(page);
    EXPECT_NE(page.find("charset=\"gbk\""), std::string::npos);
}

TEST_F(ProAdminTest, ASignInCaptchaIsReportedWithoutTryingThePassword) {
    SiteConfig site = Site(kCaptchaSite);
    EXPECT_EQ(TryLogin(site, false), LoginResult::CaptchaRequired);
    EXPECT_FALSE(Login(site, true));
    EXPECT_EQ(Server().Counters(kCaptchaSite).failedLogins, 0);
    EXPECT_NE(FailurePage().find("login_code"), std::string::npos);
}

// A sign-in page without the picture-code field whose refusal names the code: the
// captcha is recognised from the refusal.
TEST(ProCaptchaRefusalTest, IsRecognisedFromTheRefusal) {
    const std::string refusal =
        "<html><head><meta charset=\"utf-8\"><title>登录</title></head><body>"
        "<div class=\"alert alert-danger\">验证码错误</div><form></form></body></html>";
    RawHttpServer server([&](const RawRequest& request) {
        if (request.target.starts_with("/admin/index.php"))
            return Redirect("302 Found", "./account.php?action=signin");
        if (request.target.starts_with("/admin/account.php?action=dosignin"))
            return Redirect("302 Found", "./account.php?action=signin&x=1");
        if (request.target == "/admin/account.php?action=signin&x=1") return HttpAnswer(refusal);
        return HttpAnswer("<html><body><form><input name=\"user\"></form></body></html>");
    });
    SiteConfig site;
    site.域名 = "127.0.0.1:" + std::to_string(server.port());
    site.后台 = "admin";
    site.用户 = "admin";
    site.密码 = "admin888";
    EXPECT_EQ(TryLogin(site, true), LoginResult::CaptchaRequired);
    EXPECT_EQ(site.adminKind, AdminKind::Pro);
}

TEST_F(ProAdminTest, PublishSendsProFieldsInTheFormOrder) {
    for (const std::int32_t charsetSetting : {0, 1}) {
        SiteConfig site = LoggedInSite(kProSite, charsetSetting);
        const std::string title = "C&C = 中文 标题 " + std::to_string(charsetSetting);
        ASSERT_TRUE(Publish(site, Gbk(title.c_str()), Gbk("<p>正文 & more = 1+1; 50%</p>")));
        const auto posts = Server().Posts(kProSite);
        ASSERT_EQ(posts.size(), static_cast<std::size_t>(charsetSetting + 1));
        const sandbox::SandboxPost& post = posts.back();
        EXPECT_EQ(post.title, title);
        EXPECT_EQ(post.content, "<p>正文 & more = 1+1; 50%</p>");
        EXPECT_EQ(post.excerpt, "正文&");
        EXPECT_EQ(std::set<std::string>(post.tags.begin(), post.tags.end()),
                  (std::set<std::string>{"C&C", "中文标签"}));
        EXPECT_EQ(post.alias, "a&b=900别名");
        EXPECT_EQ(post.sort, "2");
        EXPECT_EQ(post.top, "y");
        EXPECT_EQ(post.sortop, "n");
        EXPECT_EQ(post.allowRemark, "y");
        EXPECT_EQ(post.token, site.token);
        EXPECT_FALSE(post.draft);
        EXPECT_EQ(post.submissions, 1);
        std::vector<std::string> names;
        for (const auto& field : post.fields) names.push_back(field.first);
        EXPECT_EQ(names, (std::vector<std::string>{
                             "title",    "logcontent", "logexcerpt",   "ishide",   "as_logid",
                             "gid",      "author",     "pubPost",      "cover",    "upload_img",
                             "sort",     "tag",        "allow_remark", "top",      "sortop",
                             "postdate", "alias",      "link",         "password", "token"}));
    }
}

// The save's redirect to the article list confirms the post on pro too, with or without
// the notice the list shows from the session.
TEST_F(ProAdminTest, TheRedirectToTheListConfirmsOnce) {
    SiteConfig site = LoggedInSite(kProSite);
    sandbox::Faults missing;
    missing.page = "article.php";
    missing.markers = sandbox::MarkerFault::Missing;
    Server().SetFaults(kProSite, missing);
    EXPECT_TRUE(Publish(site, Gbk("标题"), Gbk("正文")));
    EXPECT_EQ(Server().Posts(kProSite).size(), 1u);
    EXPECT_EQ(Server().Counters(kProSite).publishes, 1);
}

TEST_F(ProAdminTest, UnconfirmedPublishesFail) {
    SiteConfig site = LoggedInSite(kProSite);
    const std::string token = site.token;
    site.token = "not-the-token";  // answered with 提示信息, Token校验失败
    EXPECT_FALSE(Publish(site, Gbk("一"), Gbk("正文")));
    site.token = token;
    sandbox::Faults broken;
    broken.page = "article_save.php";
    broken.httpStatus = 500;
    Server().SetFaults(kProSite, broken);
    EXPECT_FALSE(Publish(site, Gbk("二"), Gbk("正文")));
    Server().ClearFaults(kProSite);
    Server().ExpireSessions(kProSite);  // sent on to the sign-in page
    EXPECT_FALSE(Publish(site, Gbk("三"), Gbk("正文")));
    EXPECT_TRUE(Server().Posts(kProSite).empty());
    EXPECT_EQ(Server().Counters(kProSite).rejectedPublishes, 2);
}

// The free edition's write page sends writers to its licence page after 50 articles; the
// client never needs that page, so publishing goes on.
TEST_F(ProAdminTest, PublishingGoesOnPastTheFreeEditionsFifty) {
    SiteConfig site = LoggedInSite(kProSite);
    for (int i = 1; i <= 55; ++i)
        ASSERT_TRUE(Publish(site, Gbk("文章") + std::to_string(i), Gbk("正文"))) << i;
    EXPECT_EQ(Server().Posts(kProSite).size(), 55u);
    const EmlogClient client(site);
    EXPECT_TRUE(client.Http()
                    .Fetch(client.AdminUrl("/article.php?action=write"), "")
                    .finalUrl.ends_with("/admin/auth.php"));
}

}  // namespace
