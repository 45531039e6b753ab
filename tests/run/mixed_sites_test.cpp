// A run over a group that mixes emlog 5.x, 6.1-style and pro sites: the same rows, each
// article stored once.

#include <gtest/gtest.h>

#include "run_test_support.h"

namespace {

class RunMixedSites : public RunFixture {};

// Every publish is confirmed at its first attempt, by the notice or, where the list
// shows none, by the redirect to it: no site gets an article twice, every file goes.
TEST_F(RunMixedSites, EveryArticleArrivesOnceOnEveryKindOfSite) {
    for (const bool sync : {false, true}) {
        MakeSites({{.articles = 4, .deletePosted = true},
                   {.articles = 4, .deletePosted = true, .gbkSite = true},
                   {.articles = 4, .deletePosted = true, .pro = true},
                   {.articles = 4, .deletePosted = true, .gbkSite = true, .pro = true},
                   {.articles = 4, .deletePosted = true, .silentNotices = true}});
        host->settings.选择框失败时重复尝试 = true;
        RunOnce(sync);
        for (std::size_t i = 0; i < sites.size(); ++i) {
            std::vector<std::string> expected;
            for (int k = 1; k <= 4; ++k) expected.push_back(ArticleTitle(i, k));
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(PostedTitles(i), expected) << i << (sync ? " sync" : "");
            EXPECT_EQ(Server().Counters(i).publishes, 4) << i;
            for (const auto& post : Server().Posts(i)) {
                EXPECT_EQ(post.submissions, 1) << i;
                EXPECT_FALSE(post.draft) << i;
                EXPECT_NE(post.content.find("第二段落"), std::string::npos) << i;
            }
            EXPECT_EQ(FilesLeft(i), 0u) << i;
            const auto rows = host->MessagesOf(SiteText(i));
            EXPECT_NE(std::find(rows.begin(), rows.end(), "已停止更新，本次成功更新 4 篇"),
                      rows.end())
                << i;
            EXPECT_EQ(
                std::count_if(rows.begin(), rows.end(),
                              [](const std::string& row) { return row.starts_with("更新失败："); }),
                0)
                << i;
        }
        EXPECT_EQ(sites[2].adminKind, AdminKind::Pro);
        EXPECT_EQ(sites[4].adminKind, AdminKind::Classic);
        TearDown();
    }
}

// A pro site asking for a captcha at sign-in: one row says why, no retries, and the
// other site goes on.
TEST_F(RunMixedSites, ACaptchaSiteSaysWhyOnce) {
    MakeSites({{.articles = 2, .captcha = true}, {.articles = 2, .pro = true}});
    RunOnce(false);
    EXPECT_EQ(
        host->MessagesOf(SiteText(0)),
        (std::vector<std::string>{
            "开始登录",
            "登录失败：站点后台开启了登录验证码，程序无法自动登录，请在后台设置中关闭登录"
            "验证码！将被忽略更新！",
            "已停止更新，本次成功更新 0 篇", "实际更新 0 篇（设置更新 0 篇，读取文章数 0 篇）"}));
    EXPECT_EQ(Server().Counters(0).failedLogins, 0);
    EXPECT_EQ(Server().Posts(1).size(), 2u);
}

}  // namespace
