// sites import, sites export and sites import-file, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "sandbox/sandbox_server.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_editor.h"
#include "settings/site_records.h"

namespace {

std::string G(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}

class SiteFileCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-f-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_file = m_dir / "settings.ini";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CliResult Run(const std::vector<std::string>& args, const std::string* input = nullptr) const {
        return RunCli(m_dir, m_file, args, input);
    }

    static std::string Gbk(const std::filesystem::path& path) { return *platform::GbkPath(path); }

    // Two sites, the second selected: its options are what the window shows.
    void WriteTwoSites(const std::filesystem::path& file) const {
        SiteList sites(2, DesignSiteValues());
        sites[0].启用 = true;
        sites[0].域名 = "a.example";
        sites[0].密码 = "pw1";
        sites[1].域名 = "b.example";
        sites[1].用户 = G("甲");
        sites[1].密码 = "pw2";
        sites[1].后台 = "manage";
        sites[1].编码 = 1;
        sites[1].分类数据 = G("tree of b");
        ConfigStore store;
        ASSERT_TRUE(store.Bind(Gbk(file)));
        ASSERT_TRUE(SaveAllSettings(store, BasicSettings{}, sites, 1));
    }

    static SiteList Load(const std::filesystem::path& file, BasicSettings* settings = nullptr) {
        ConfigStore store;
        store.Bind(Gbk(file), ConfigStore::BindMode::ReadOnly);
        SiteList sites;
        LoadSiteRecords(store, sites);
        if (settings) LoadBasicSettings(store, *settings);
        return sites;
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_file;
};

TEST_F(SiteFileCli, ImportAddsTheLinesFromStdinAndNamesTheFailedOnes) {
    WriteTwoSites(m_file);
    const std::string lines =
        "c.example|乙|pw\n\nb.example|甲|again\nd.example|u|pw|0|adm|||||真\n";
    const auto result = Run({"sites", "import", "-"}, &lines);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "导入完成：导入了 2 个站点，现在总共有 4 个站点\n");
    EXPECT_EQ(result.err, "这是导入失败的站点信息：\n\nb.example|甲|again\n");
    const SiteList sites = Load(m_file);
    ASSERT_EQ(sites.size(), 4u);
    EXPECT_EQ(sites[2].用户, G("乙"));
    // the options of the selected site, which the window shows, with its charset
    EXPECT_EQ(sites[2].后台, "manage");
    EXPECT_EQ(sites[2].编码, 1);
    EXPECT_EQ(sites[3].编码, 0);
    EXPECT_EQ(sites[3].后台, "adm");
    EXPECT_TRUE(sites[3].删除已更新文章);
}

TEST_F(SiteFileCli, ImportFromAFileIntoAMissingSettingsFile) {
    const std::filesystem::path lines = m_dir / "lines.txt";
    std::ofstream(lines, std::ios::binary) << "x.example|admin|pw\r\n";
    const auto result = Run({"sites", "import", lines.string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "导入完成：导入了 1 个站点，现在总共有 1 个站点\n");
    const SiteList sites = Load(m_file);
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(sites[0].文章目录, G("C:\\用于更新的文章所在目录"));  // the design value
}

TEST_F(SiteFileCli, ExportThenImportFileIntoAnotherSettingsFile) {
    WriteTwoSites(m_file);
    const std::string before = ReadAll(m_file);
    const std::filesystem::path exported = m_dir / "sub" / "sites.ini";
    std::filesystem::create_directories(exported.parent_path());
    const mode_t old = ::umask(022);
    const auto exportResult = Run({"sites", "export", exported.string()});
    ::umask(old);
    ASSERT_EQ(exportResult.exitCode, 0) << exportResult.err;
    EXPECT_EQ(exportResult.out,
              "导出站点配置成功：" + exported.string() + "\n\n下次你可以重新导入进来！\n");
    EXPECT_EQ(ReadAll(m_file), before);  // the settings file is only read
    struct stat st {};
    ASSERT_EQ(::stat(exported.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // into another settings file that already lists one of the two sites
    const std::filesystem::path other = m_dir / "other.ini";
    {
        SiteList one(1, DesignSiteValues());
        one[0].域名 = "a.example";
        ConfigStore store;
        ASSERT_TRUE(store.Bind(Gbk(other)));
        ASSERT_TRUE(SaveAllSettings(store, BasicSettings{}, one, 0));
    }
    const auto importResult = RunCli(m_dir, other, {"sites", "import-file", exported.string()});
    ASSERT_EQ(importResult.exitCode, 0) << importResult.err;
    EXPECT_EQ(importResult.out, "2 假 b.example(甲)\n");
    EXPECT_EQ(importResult.err,
              "以下 1 个站点在网站列表中已有相同的‘域名(用户名)’，没有导入：\na.example(admin)\n");
    BasicSettings settings;
    const SiteList sites = Load(other, &settings);
    ASSERT_EQ(sites.size(), 2u);
    const SiteList original = Load(m_file);
    EXPECT_EQ(SiteKeyValues(sites[1]), SiteKeyValues(original[1]));
    EXPECT_EQ(sites[1].分类数据, G("tree of b"));
    EXPECT_EQ(settings.导入路径, Gbk(exported));
}

// Each new site's categories read from a loopback sandbox site and all checked.
TEST_F(SiteFileCli, ImportReadsAndChecksTheNewSitesCategories) {
    sandbox::ServerOptions options;
    sandbox::SiteOptions site;
    site.prefix = "blog";
    site.adminDir = "manage";
    site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}, {3, "随笔", "", 0}};
    options.sites.push_back(site);
    sandbox::SandboxServer server(options);
    ASSERT_TRUE(server.Start());
    const std::string domain = server.Domain(0);
    const std::string lines =
        domain + "|admin|admin888|0|manage\n" + domain + "|other|wrong|0|manage\n";
    auto result = Run({"sites", "import", "--read-categories", "--check-all"}, &lines);
    server.Stop();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "导入完成：导入了 2 个站点，现在总共有 2 个站点\n");
    const SiteList sites = Load(m_file);
    ASSERT_EQ(sites.size(), 2u);
    // the parent is never chosen, its child and the other top category are
    EXPECT_EQ(sites[0].分类ID, "2,3");
    EXPECT_EQ(CategoryTree::Parse(sites[0].分类数据).items.size(), 3u);
    // a site that cannot log in is still added, with an empty tree
    EXPECT_EQ(sites[1].分类ID, "");
    EXPECT_TRUE(CategoryTree::Parse(sites[1].分类数据).items.empty());
}

}  // namespace
