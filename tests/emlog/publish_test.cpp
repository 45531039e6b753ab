#include "emlog/publish.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "article/post_metadata.h"
#include "core/charset.h"
#include "emlog/emlog_test_sites.h"
#include "emlog/login.h"

namespace {

std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

const char* const kTitle = "C&C = 中文 标题 100%+";
const char* const kBody = "<p>正文 & more = 1+1; 50%</p><p>第二段</p>";

class PublishTest : public EmlogSitesTest {
protected:
    // A logged-in site with tag lines full of separators, a counting alias with a prefix
    // and suffix that need encoding, and category 2 chosen.
    SiteConfig LoggedInSite(std::size_t index) {
        SiteConfig site = Site(index);
        site.标签数据 = Gbk("C&C\r\na=b\r\n中文标签\r\nx y");
        site.标签数1 = 4;
        site.标签数2 = 4;
        site.内容摘要数1 = 3;
        site.内容摘要数2 = 3;
        site.别名类型 = 6;
        site.别名左边 = Gbk("a&b=");
        site.别名右边 = Gbk("别名");
        site.别名起始值 = 900;
        site.别名递增值 = 1;
        site.首页置顶 = true;
        site.分类置顶 = false;
        site.允许评论 = true;
        PrepareTagList(site);
        site.prep.AliasCounter = site.别名起始值;
        site.prep.chosenCategory = 2;
        EXPECT_TRUE(Login(site, false));
        return site;
    }
};

TEST_F(PublishTest, EveryFieldArrivesIntactOnBothKindsOfSite) {
    for (const std::size_t index : {kUtf8Site, kGbkSite}) {
        SiteConfig site = LoggedInSite(index);
        ASSERT_TRUE(Publish(site, Gbk(kTitle), Gbk(kBody))) << index;
        const auto posts = Server().Posts(index);
        ASSERT_EQ(posts.size(), 1u) << index;
        const sandbox::SandboxPost& post = posts[0];
        EXPECT_EQ(post.title, kTitle);
        EXPECT_EQ(post.content, kBody);
        EXPECT_EQ(std::set<std::string>(post.tags.begin(), post.tags.end()),
                  (std::set<std::string>{"C&C", "a=b", "中文标签", "x y"}));
        EXPECT_EQ(post.alias, "a&b=900别名");
        EXPECT_EQ(post.excerpt, "正文&");
        EXPECT_EQ(post.sort, "2");
        EXPECT_EQ(post.top, "y");
        EXPECT_EQ(post.sortop, "n");
        EXPECT_EQ(post.allowRemark, "y");
        EXPECT_EQ(post.token, site.token);
        EXPECT_EQ(post.asLogid, "-1");
        EXPECT_EQ(post.author, "1");
        EXPECT_TRUE(
            std::regex_match(post.postdate, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
            << post.postdate;
        std::vector<std::string> names;
        for (const auto& field : post.fields) names.push_back(field.first);
        EXPECT_EQ(names, (std::vector<std::string>{"title", "as_logid", "content", "tag", "sort",
                                                   "postdate", "excerpt", "alias", "top", "sortop",
                                                   "allow_remark", "token", "author"}));
    }
}

TEST_F(PublishTest, ChineseIsSentInTheSiteCharset) {
    struct Case {
        std::size_t index;
        const char* title;
    };
    for (const Case& c : {Case{kUtf8Site, "title=%E4%B8%AD&"}, Case{kGbkSite, "title=%D6%D0&"}}) {
        SiteConfig site = LoggedInSite(c.index);
        site.标签数据 = Gbk("中");
        site.标签数1 = site.标签数2 = 1;
        site.别名类型 = 0;
        PrepareTagList(site);
        ASSERT_TRUE(Publish(site, Gbk("中"), Gbk("中")));
        const std::string raw = Server().Posts(c.index).at(0).rawBody;
        EXPECT_EQ(raw.rfind(c.title, 0), 0u) << raw;
        const std::string encoded = std::string(c.title).substr(6, std::string(c.title).size() - 7);
        EXPECT_NE(raw.find("&tag=" + encoded + "&sort="), std::string::npos) << raw;
        EXPECT_NE(raw.find("&alias=&top="), std::string::npos) << raw;  // no alias, no affixes
        // The date goes out the same way on both kinds: "-" kept, space and ":" escaped.
        EXPECT_TRUE(std::regex_search(
            raw, std::regex(R"(&postdate=\d{4}-\d\d-\d\d%20\d\d%3A\d\d%3A\d\d&)")))
            << raw;
    }
}

TEST_F(PublishTest, EmptyValuesStillSendEveryField) {
    SiteConfig site = Site(kUtf8Site);
    sandbox::Faults noToken;
    noToken.token = sandbox::TokenFault::Nowhere;
    Server().SetFaults(kUtf8Site, noToken);
    ASSERT_TRUE(Login(site, false));
    ASSERT_TRUE(site.token.empty());
    ASSERT_TRUE(Publish(site, Gbk("标题"), "body"));
    const std::string raw = Server().Posts(kUtf8Site).at(0).rawBody;
    EXPECT_NE(raw.find("&tag=&sort=0&postdate="), std::string::npos) << raw;
    EXPECT_NE(raw.find("&excerpt=&alias=&top=n&sortop=n&allow_remark=n&token=&author=1"),
              std::string::npos)
        << raw;
    EXPECT_EQ(raw.substr(raw.size() - 9), "&author=1");
}

TEST_F(PublishTest, EachAttemptDrawsNewMetadataAndUsesUpAnAliasNumber) {
    SiteConfig site = LoggedInSite(kGbkSite);
    sandbox::Faults refuse;
    refuse.page = "save_log.php";
    refuse.count = 1;
    refuse.httpStatus = 500;
    Server().SetFaults(kGbkSite, refuse);
    EXPECT_FALSE(Publish(site, Gbk("第一篇"), Gbk("正文")));  // fails, but uses 900
    EXPECT_TRUE(Publish(site, Gbk("第一篇"), Gbk("正文")));
    EXPECT_TRUE(Publish(site, Gbk("第二篇"), Gbk("正文")));
    const auto posts = Server().Posts(kGbkSite);
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].alias, "a&b=901别名");
    EXPECT_EQ(posts[1].alias, "a&b=902别名");
}

// emlog's redirect to the article list confirms the post whatever the list then shows:
// emlog 6.1 shows no notice, themes change it, and the list may not even arrive. Each
// save is sent once and stored once.
TEST_F(PublishTest, TheRedirectToTheListConfirmsWithoutTheNotice) {
    struct Case {
        const char* name;
        sandbox::Faults faults;
    };
    sandbox::Faults missing;
    missing.markers = sandbox::MarkerFault::Missing;
    sandbox::Faults upperCase;
    upperCase.markers = sandbox::MarkerFault::WrongCase;  // ">发布成功</SPAN>"
    sandbox::Faults dropped;
    dropped.dropConnection = true;
    sandbox::Faults broken;
    broken.httpStatus = 500;
    std::size_t stored = 0;
    for (const Case& c : {Case{"no notice", missing}, Case{"upper-case notice", upperCase},
                          Case{"list never arrives", dropped}, Case{"list fails", broken}}) {
        SiteConfig site = LoggedInSite(kUtf8Site);
        sandbox::Faults faults = c.faults;
        faults.page = "admin_log.php";
        Server().SetFaults(kUtf8Site, faults);
        EXPECT_TRUE(Publish(site, Gbk("标题") + std::to_string(stored), Gbk("正文"))) << c.name;
        Server().ClearFaults(kUtf8Site);
        EXPECT_EQ(Server().Posts(kUtf8Site).size(), ++stored) << c.name;
    }
    EXPECT_EQ(Server().Counters(kUtf8Site).publishes, 4);
}

// Neither the notice nor emlog's redirect to the article list: a failure, whatever the
// reason.
TEST_F(PublishTest, AnswersThatConfirmNothingFail) {
    struct Case {
        const char* name;
        sandbox::Faults faults;
    };
    sandbox::Faults status;
    status.httpStatus = 500;
    sandbox::Faults listWithoutNotice;
    listWithoutNotice.redirectLocation = "./admin_log.php";
    sandbox::Faults otherFolder;
    otherFolder.redirectLocation = "../other/admin_log.php?active_post=1";
    sandbox::Faults dropped;
    dropped.dropConnection = true;
    sandbox::Faults garbage;
    garbage.garbage = true;
    sandbox::Faults stalled;
    stalled.stallMs = sandbox::kStallForever;
    sandbox::Faults loop;
    loop.redirectLoop = true;
    for (const Case& c :
         {Case{"error status", status}, Case{"list without active_post", listWithoutNotice},
          Case{"another folder's list", otherFolder}, Case{"dropped", dropped},
          Case{"garbage", garbage}, Case{"stalled", stalled}, Case{"redirect loop", loop}}) {
        SiteConfig site = LoggedInSite(kUtf8Site);
        sandbox::Faults faults = c.faults;
        faults.page = "save_log.php";
        Server().SetFaults(kUtf8Site, faults);
        EXPECT_FALSE(Publish(site, Gbk("标题"), Gbk("正文"))) << c.name;
        Server().ClearFaults(kUtf8Site);
    }
}

TEST_F(PublishTest, ALostLoginFailsWithoutLoggingInAgain) {
    SiteConfig site = LoggedInSite(kUtf8Site);
    const auto logins = Server().Counters(kUtf8Site).logins;

    std::string token = site.token;
    site.token = "not-the-token";
    EXPECT_FALSE(Publish(site, Gbk("标题一"), Gbk("正文")));
    EXPECT_EQ(Server().Counters(kUtf8Site).rejectedPublishes, 1);
    site.token = token;

    SiteHttp(site).Reset();  // cookies gone
    EXPECT_FALSE(Publish(site, Gbk("标题二"), Gbk("正文")));

    ASSERT_TRUE(Login(site, false));
    Server().ExpireSessions(kUtf8Site);
    EXPECT_FALSE(Publish(site, Gbk("标题三"), Gbk("正文")));
    EXPECT_EQ(Server().Counters(kUtf8Site).logins, logins + 1);  // only the explicit one
    EXPECT_TRUE(Server().Posts(kUtf8Site).empty());
}

}  // namespace

namespace {

// Site jobs run on worker threads, each with its own record and session.
TEST_F(PublishTest, SitesPublishInParallel) {
    constexpr int kThreads = 4;
    constexpr int kArticles = 15;
    std::vector<SiteConfig> sites;
    sites.reserve(kThreads);  // records are not moved once their sessions exist
    for (int i = 0; i < kThreads; ++i) sites.push_back(Site(i % 2 == 0 ? kUtf8Site : kGbkSite));
    std::vector<int> published(kThreads, 0);
    std::vector<std::thread> workers;
    for (int i = 0; i < kThreads; ++i) {
        workers.emplace_back([&, i] {
            SiteConfig& site = sites[i];
            site.标签数据 = Gbk("并行\r\nC&C");
            site.标签数1 = site.标签数2 = 2;
            PrepareTagList(site);
            if (!Login(site, false)) return;
            for (int n = 0; n < kArticles; ++n) {
                const std::string title = Gbk("线程") + std::to_string(i) + "-" + std::to_string(n);
                if (Publish(site, title, Gbk("<p>正文</p>"))) ++published[i];
            }
        });
    }
    for (auto& worker : workers) worker.join();
    for (int i = 0; i < kThreads; ++i) EXPECT_EQ(published[i], kArticles) << i;
    EXPECT_EQ(Server().Posts(kUtf8Site).size() + Server().Posts(kGbkSite).size(),
              static_cast<std::size_t>(kThreads * kArticles));
}

}  // namespace
