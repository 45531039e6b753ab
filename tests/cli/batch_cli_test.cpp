// categories, categories read/create/delete and articles delete against a loopback
// sandbox, run as a user runs them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "sandbox/sandbox_server.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

class BatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-b-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        sandbox::ServerOptions options;
        for (const auto charset : {sandbox::SiteCharset::Utf8, sandbox::SiteCharset::Gbk}) {
            sandbox::SiteOptions site;
            site.prefix = charset == sandbox::SiteCharset::Utf8 ? "u8" : "gbk";
            site.charset = charset;
            site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}};
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
        WriteSites();
    }
    void TearDown() override {
        m_server->Stop();
        std::filesystem::remove_all(m_dir);
    }

    // Site 1 the UTF-8 sandbox site with category 2 checked, site 2 the GBK one, site 3
    // a wrong password with a tree of its own.
    void WriteSites() const {
        SiteList sites;
        for (std::size_t index : {0, 1, 0}) {
            SiteConfig site;
            site.启用 = sites.size() != 1;
            site.域名 = m_server->Domain(index);
            site.后台 = m_server->AdminDir(index);
            site.编码 = index == 0 ? 0 : 1;
            site.用户 = sites.size() == 2 ? "other" : "admin";
            site.密码 = sites.size() == 2 ? "wrong" : "admin888";
            if (sites.empty()) {
                site.分类数据 = "QLTREE1\r\n0\t2\t1\tx[1]\r\n1\t1\t2\ty[2]\r\n";
                site.分类ID = "2";
            }
            if (sites.size() == 2) {
                site.分类数据 = "QLTREE1\r\n0\t1\t9\tkept[9]\r\n";
                site.分类ID = "9";
            }
            sites.push_back(site);
        }
        ConfigStore store;
        ASSERT_TRUE(store.Bind(*platform::GbkPath(m_dir / "settings.ini")));
        ASSERT_TRUE(SaveSiteRecords(store, sites, 0));
    }

    SiteList Load() const {
        ConfigStore store;
        store.Bind(*platform::GbkPath(m_dir / "settings.ini"), ConfigStore::BindMode::ReadOnly);
        SiteList sites;
        LoadSiteRecords(store, sites);
        return sites;
    }

    // With stdin from a file (never a terminal).
    CliResult Run(const std::vector<std::string>& args, const std::string& input = "") const {
        const auto in = m_dir / "stdin";
        std::ofstream(in, std::ios::binary) << input;
        std::vector<std::string> all = {"--settings", (m_dir / "settings.ini").string()};
        all.insert(all.end(), args.begin(), args.end());
        std::string command = ShellQuote(QINGLUAN_BINARY_DIR "/src/qingluan-cli");
        for (const auto& arg : all) command += " " + ShellQuote(arg);
        command += " <" + ShellQuote(in.string()) + " >" + ShellQuote((m_dir / "out").string()) +
                   " 2>" + ShellQuote((m_dir / "err").string());
        const int status = std::system(command.c_str());
        CliResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadAll(m_dir / "out");
        result.err = ReadAll(m_dir / "err");
        return result;
    }

    std::int64_t Requests() const { return m_server->TotalRequests(); }
    std::string D(std::size_t index) const { return m_server->Domain(index); }

    std::filesystem::path m_dir;
    std::unique_ptr<sandbox::SandboxServer> m_server;
};

TEST_F(BatchCli, CategoriesPrintsTheTreeWithTheStoredChecks) {
    auto result = Run({"categories", "--site", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "[-] 1 技术\n    [x] 2 PHP笔记\n");
    result = Run({"categories", "--site", "2", "--format", "json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "[{\"id\":1,\"name\":\"技术\",\"child\":false,\"checked\":false},"
              "{\"id\":2,\"name\":\"PHP笔记\",\"child\":true,\"checked\":false}]\n");
    result = Run({"categories", "--site", "3"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("login failed"), std::string::npos) << result.err;
    EXPECT_EQ(Run({"categories"}).exitCode, 2);
    EXPECT_EQ(Run({"categories", "--site", "7"}).exitCode, 2);
}

TEST_F(BatchCli, ReadSavesTheTreesAndKeepsTheUnreadSite) {
    const auto result = Run({"categories", "read", "--all", "--check-all"});
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;  // site 3 did not log in
    const SiteList sites = Load();
    EXPECT_EQ(sites[0].分类ID, "2");
    EXPECT_NE(sites[0].分类数据.find(charset::Utf8ToGbk("PHP笔记[2]")), std::string::npos);
    EXPECT_EQ(sites[1].分类ID, "2");
    EXPECT_EQ(sites[2].分类ID, "9");
    EXPECT_EQ(sites[2].分类数据, "QLTREE1\r\n0\t1\t9\tkept[9]\r\n");
    EXPECT_NE(result.out.find("批量读取完成！"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("（已保留原有分类设置）：" + D(0) + "(other)\n"), std::string::npos)
        << result.out;
    EXPECT_EQ(Run({"categories", "read"}).exitCode, 2) << "a scope is needed";
}

TEST_F(BatchCli, CreateTakesLinesFromStdinOrFiles) {
    auto result =
        Run({"categories", "create", "--checked", "--parent", "1"}, "体育\n新闻|news|my_tpl\n");
    ASSERT_EQ(result.exitCode, 1) << result.out << result.err;  // site 3
    EXPECT_EQ(result.out, D(0) + " 成功 2 失败 0\n" + D(0) + " 登录失败\n");
    const auto categories = m_server->Categories(0);
    ASSERT_EQ(categories.size(), 4u);
    EXPECT_EQ(categories[2].alias, "tiyu");
    EXPECT_EQ(categories[2].parent, 1);
    EXPECT_EQ(categories[3].templateName, "my_tpl");
    EXPECT_EQ(m_server->Categories(1).size(), 2u) << "site 2 is not checked";

    const auto file = m_dir / "1.txt";
    std::ofstream(file, std::ios::binary) << charset::Utf8ToGbk("体育\r\n");
    result = Run({"categories", "create", "--site", "2", "--from-files", file.string()});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, D(1) + " 成功 1 失败 0\n");
    result = Run({"categories", "create", "--site", "1", "--from-files", file.string()});
    EXPECT_EQ(result.out, D(0) + " 成功 0 失败 1\n失败的分类：\n站点 " + D(0) +
                              " 创建失败的分类数据：\n体育\n\n\n");
}

TEST_F(BatchCli, DeletionsNeedYesOffATerminal) {
    const auto before = Requests();
    auto result = Run({"articles", "delete", "1", "5", "--all"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--yes"), std::string::npos) << result.err;
    EXPECT_EQ(Run({"categories", "delete", "1", "2", "--site", "1"}).exitCode, 2);
    EXPECT_EQ(Requests(), before) << "nothing was sent";

    result = Run({"categories", "delete", "2", "1", "--site", "2", "--yes"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, D(1) + " 成功 2 失败 0\n");
    EXPECT_TRUE(m_server->Categories(1).empty());

    result = Run({"articles", "delete", "1", "2", "--all", "--yes"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, D(0) + " 已删除成功 0 失败 2\n" + D(1) + " 已删除成功 0 失败 2\n" + D(0) +
                              " 登录失败\n");
}

}  // namespace
