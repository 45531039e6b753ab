// qingluan-cli sites list, sites show and settings resave, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class SettingsCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-a-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        m_file = m_dir / "settings.ini";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CliResult Run(const std::vector<std::string>& args) const {
        return RunCli(m_dir, m_file, args);
    }

    // Two sites; the second inherits 启用 and 用户 (group A); a leftover section 3 and 5.
    std::string Fixture() const {
        return G(
            "[站点配置]\r\n站点数=2\r\n现行项=7\r\n"
            "[站点序号_1]\r\n启用=真\r\n用户=甲\r\n域名=a.example\r\n标签数据=x┊*┊y\r\n"
            "[站点序号_2]\r\n域名=b.example\r\n间隔秒1=0.5\r\n"
            "[站点序号_3]\r\n域名=c\r\n[站点序号_5]\r\n域名=e");
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_file;
};

TEST_F(SettingsCli, ListAndShow) {
    WriteAll(m_file, Fixture());
    const auto list = Run({"sites", "list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "1 真 a.example(甲)\n2 真 b.example(甲)\n");
    const auto show = Run({"sites", "show", "2"});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_TRUE(
        show.out.starts_with("启用=真\n用户=甲\n密码=\n域名=b.example\n编码=0\n后台=admin\n"));
    EXPECT_NE(show.out.find("\n别名起始值=900\n别名递增值=1\n"), std::string::npos);
    EXPECT_NE(show.out.find("\n间隔秒1=0.5\n"), std::string::npos);
    EXPECT_TRUE(show.out.ends_with("\n段落标签=假\n"));
    EXPECT_EQ(Lines(show.out), 34u);
    EXPECT_NE(Run({"sites", "show", "1"}).out.find("\n标签数据=x┊*┊y\n"), std::string::npos);
}

TEST_F(SettingsCli, BadArgumentsAndMissingFile) {
    WriteAll(m_file, Fixture());
    const std::vector<std::vector<std::string>> bad = {
        {"sites", "show"},          {"sites", "show", "0"},      {"sites", "show", "x"},
        {"sites", "show", "3"},     {"sites", "show", "1", "2"}, {"sites", "show", "-1"},
        {"sites", "list", "extra"}, {"settings", "resave", "x"},
    };
    for (const auto& args : bad) {
        const auto result = Run(args);
        EXPECT_NE(result.exitCode, 0) << args.back();
        EXPECT_EQ(Lines(result.err), 1u) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(ReadAll(m_file), Fixture());
    std::filesystem::remove(m_file);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"sites", "list"}, {"sites", "show", "1"}, {"settings", "resave"}}) {
        const auto result = Run(args);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.err.find("not found"), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(m_file));
    }
}

TEST_F(SettingsCli, ResaveWritesWhatTheExitSaveWrites) {
    WriteAll(m_file, Fixture());
    // The same steps in process, on a copy.
    const auto copy = m_dir / "copy.ini";
    WriteAll(copy, Fixture());
    {
        ConfigStore store;
        ASSERT_TRUE(store.Bind(copy.string()));
        BasicSettings settings;
        LoadBasicSettings(store, settings);
        SiteList sites;
        LoadSiteRecords(store, sites);  // 现行项 7 lies outside the list: nothing selected
        ASSERT_TRUE(SaveAllSettings(store, settings, sites, -1));
        ASSERT_TRUE(PruneSiteSections(store, sites.size()));
    }
    const auto result = Run({"settings", "resave"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string saved = ReadAll(m_file);
    EXPECT_EQ(saved, ReadAll(copy));
    EXPECT_EQ(saved.find(G("[站点序号_3]")), std::string::npos);
    EXPECT_NE(saved.find(G("[站点序号_5]")), std::string::npos);
    EXPECT_NE(saved.find(G("现行项=-1")), std::string::npos);
    EXPECT_EQ(std::filesystem::status(m_file).permissions() & std::filesystem::perms::all,
              std::filesystem::status(copy).permissions() & std::filesystem::perms::all);
}

TEST_F(SettingsCli, ResaveThatCannotWriteChangesNothing) {
    WriteAll(m_file, Fixture());
    // Root ignores permissions: a folder in the temporary file's place stops the write.
    std::filesystem::create_directory(m_file.string() + ".tmp");
    auto result = Run({"settings", "resave"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(Lines(result.err), 1u) << result.err;
    EXPECT_EQ(ReadAll(m_file), Fixture());
    std::filesystem::remove(m_file.string() + ".tmp");

    // Another instance holding the file.
    ConfigStore holder;
    ASSERT_TRUE(holder.Bind(m_file.string()));
    result = Run({"settings", "resave"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(Lines(result.err), 1u) << result.err;
    EXPECT_EQ(ReadAll(m_file), Fixture());
    EXPECT_EQ(Run({"sites", "list"}).exitCode, 0);  // reading is still allowed
}

}  // namespace
