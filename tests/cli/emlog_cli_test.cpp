// qingluan-cli login and publish against a loopback sandbox, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "sandbox/sandbox_server.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

class EmlogCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-e-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir / "articles");
        sandbox::ServerOptions options;
        for (const auto charset : {sandbox::SiteCharset::Utf8, sandbox::SiteCharset::Gbk}) {
            sandbox::SiteOptions site;
            site.prefix = charset == sandbox::SiteCharset::Utf8 ? "u8" : "gbk";
            site.charset = charset;
            site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}};
            options.sites.push_back(site);
        }
        for (const bool captcha : {false, true}) {
            sandbox::SiteOptions site;
            site.prefix = captcha ? "captcha" : "pro";
            site.pro = true;
            site.loginCaptcha = captcha;
            site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}};
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
    }
    void TearDown() override {
        m_server->Stop();
        std::filesystem::remove_all(m_dir);
    }

    // Site 1 is the UTF-8 sandbox site, site 2 the GBK one, site 3 a wrong password, site 4
    // an emlog pro site and site 5 one with its sign-in captcha on.
    void WriteSites() const {
        SiteList sites;
        for (std::size_t index : {0, 1, 0, 2, 3}) {
            SiteConfig site;
            site.启用 = true;
            site.域名 = m_server->Domain(index);
            site.后台 = m_server->AdminDir(index);
            site.编码 = index == 1 ? 1 : 0;
            site.用户 = "admin";
            site.密码 = sites.size() == 2 ? "wrong" : "admin888";
            site.文章目录 = *platform::GbkPath(m_dir / "articles");
            site.标签数据 = charset::Utf8ToGbk("C&C\r\na=b\r\n中文标签");
            site.标签数1 = 3;
            site.标签数2 = 3;
            site.分类ID = "2";
            site.首行标题 = true;
            sites.push_back(site);
        }
        ConfigStore store;
        ASSERT_TRUE(store.Bind(*platform::GbkPath(m_dir / "settings.ini")));
        ASSERT_TRUE(SaveSiteRecords(store, sites, -1));
    }

    CliResult Run(const std::vector<std::string>& args) const {
        return RunCli(m_dir, m_dir / "settings.ini", args);
    }

    std::filesystem::path m_dir;
    std::unique_ptr<sandbox::SandboxServer> m_server;
};

TEST_F(EmlogCli, LoginReportsTheTokenOrTheFailure) {
    WriteSites();
    auto result = Run({"login", "--site", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("login succeeded"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("token: " + m_server->LastToken(1)), std::string::npos) << result.out;

    result = Run({"login", "--site", "3"});
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("login failed"), std::string::npos) << result.out;
    // The failed answer is kept beside the settings file.
    EXPECT_TRUE(
        std::filesystem::exists(m_dir / "\xE7\x99\xBB\xE5\xBD\x95\xE5\xA4\xB1\xE8\xB4\xA5.htm"));

    for (const auto& args : std::vector<std::vector<std::string>>{{"login"},
                                                                  {"login", "--site", "0"},
                                                                  {"login", "--site", "9"},
                                                                  {"login", "--site", "x"},
                                                                  {"publish", "--site", "1"}}) {
        result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_FALSE(result.err.empty()) << args.back();
    }
}

TEST_F(EmlogCli, PublishSendsOneArticleAndShowsItsFields) {
    WriteSites();
    const auto file = m_dir / "articles" / "a.txt";
    std::ofstream(file, std::ios::binary)
        << charset::Utf8ToGbk("标题 C&C\r\n第一段正文\r\n第二段\r\n");
    for (const std::size_t site : {1u, 2u}) {
        const auto result = Run({"publish", file.string(), "--site", std::to_string(site)});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_NE(result.out.find("published"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("title = 标题 C&C"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("sort = 2"), std::string::npos) << result.out;
        const auto posts = m_server->Posts(site - 1);
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(posts[0].title, "标题 C&C");
        EXPECT_EQ(posts[0].tags.size(), 3u);
        EXPECT_EQ(posts[0].sort, "2");
    }

    // A failed login, and a site that refuses the post, exit with 1.
    EXPECT_EQ(Run({"publish", file.string(), "--site", "3"}).exitCode, 1);
    sandbox::Faults refuse;
    refuse.page = "save_log.php";
    refuse.httpStatus = 500;
    m_server->SetFaults(0, refuse);
    const auto refused = Run({"publish", file.string(), "--site", "1"});
    EXPECT_EQ(refused.exitCode, 1) << refused.out;
    EXPECT_NE(refused.out.find("publish failed"), std::string::npos) << refused.out;
}

TEST_F(EmlogCli, ProSitesWorkAndACaptchaIsNamed) {
    WriteSites();
    auto result = Run({"login", "--site", "4"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("(emlog pro)"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("token: " + m_server->LastToken(2)), std::string::npos) << result.out;

    const auto file = m_dir / "articles" / "a.txt";
    std::ofstream(file, std::ios::binary) << charset::Utf8ToGbk("标题\r\n第一段正文\r\n");
    result = Run({"publish", file.string(), "--site", "4"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("article_save.php"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("logcontent = 第一段正文"), std::string::npos) << result.out;
    ASSERT_EQ(m_server->Posts(2).size(), 1u);
    EXPECT_EQ(m_server->Posts(2)[0].title, "标题");

    result = Run({"login", "--site", "5"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("asks for a captcha code at sign-in"), std::string::npos)
        << result.out;
}

// As a site job would skip it: a file that is only its title line (the sites take the
// first line as the title) is not sent with an empty body.
TEST_F(EmlogCli, PublishSendsNothingForAnEmptyBody) {
    WriteSites();
    const auto file = m_dir / "articles" / "title-only.txt";
    std::ofstream(file, std::ios::binary) << charset::Utf8ToGbk("只有标题\r\n");
    const auto result = Run({"publish", file.string(), "--site", "1"});
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("no article text in " + file.string()), std::string::npos)
        << result.out;
    EXPECT_TRUE(m_server->Posts(0).empty());
}

}  // namespace
