// settings init and set, sites add, set, remove, move, enable and disable, and the JSON
// of sites list and show, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

std::string G(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string Joined(const std::vector<std::string>& args) {
    std::string out;
    for (const auto& arg : args) out += (out.empty() ? "" : " ") + arg;
    return out;
}

class SiteEditCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-e-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_file = m_dir / "settings.ini";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CliResult Run(const std::vector<std::string>& args) const {
        return RunCli(m_dir, m_file, args);
    }

    static std::string Gbk(const std::filesystem::path& path) { return *platform::GbkPath(path); }

    // Two sites as the program saves them, the second selected and unchecked.
    void WriteTwoSites(std::int32_t selected = 1) const {
        SiteList sites(2);
        sites[0].启用 = true;
        sites[0].域名 = "a.example";
        sites[0].用户 = "admin";
        sites[0].密码 = "pw1";
        sites[0].后台 = "admin";
        sites[0].文章目录 = "/articles/a";
        sites[0].标签数1 = 2;
        sites[1].域名 = "b.example";
        sites[1].用户 = G("甲");
        sites[1].密码 = "pw2";
        sites[1].后台 = "manage";
        sites[1].文章目录 = "/articles/b";
        sites[1].别名类型 = 3;
        sites[1].间隔秒1 = 0.25f;
        ConfigStore store;
        ASSERT_TRUE(store.Bind(Gbk(m_file)));
        ASSERT_TRUE(SaveAllSettings(store, BasicSettings{}, sites, selected));
    }

    SiteList Load(std::int32_t* selected = nullptr) const {
        ConfigStore store;
        store.Bind(Gbk(m_file), ConfigStore::BindMode::ReadOnly);
        SiteList sites;
        const std::int32_t row = LoadSiteRecords(store, sites);
        if (selected) *selected = row;
        return sites;
    }

    // Site n's saved keys, UTF-8, as sites show prints them.
    std::map<std::string, std::string> Keys(std::size_t n) const {
        const SiteList sites = Load();
        std::map<std::string, std::string> out;
        if (n < 1 || n > sites.size()) return out;
        for (const auto& [key, value] : SiteKeyValues(sites[n - 1]))
            out[charset::GbkToUtf8(key)] = charset::GbkToUtf8(value);
        return out;
    }

    BasicSettings Basic() const {
        ConfigStore store;
        store.Bind(Gbk(m_file), ConfigStore::BindMode::ReadOnly);
        BasicSettings settings;
        LoadBasicSettings(store, settings);
        return settings;
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_file;
};

// The file the program leaves after its first start and exit on a missing file.
std::string FirstStartBytes(const std::filesystem::path& dir) {
    const auto path = dir / "first-start.ini";
    {
        ConfigStore store;
        EXPECT_TRUE(store.Bind(*platform::GbkPath(path)));
        BasicSettings settings;
        LoadBasicSettings(store, settings);
        SiteList sites;
        const std::int32_t row = LoadSiteRecords(store, sites);
        EXPECT_TRUE(
            SaveAllSettings(store, settings, sites,
                            row >= 0 && static_cast<std::size_t>(row) < sites.size() ? row : -1));
        EXPECT_TRUE(PruneSiteSections(store, sites.size()));
    }
    const std::string bytes = ReadAll(path);
    std::filesystem::remove(path);
    return bytes;
}

std::filesystem::perms ModeOf(const std::filesystem::path& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
}

constexpr auto kOwnerOnly =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

TEST_F(SiteEditCli, InitWritesWhatAFirstStartAndExitWriteAndNeverOverwrites) {
    const std::string expected = FirstStartBytes(m_dir);
    ASSERT_NE(expected.find(G("现行项=-1")), std::string::npos);
    // Even a umask that would leave the owner without write access gives 0600.
    const mode_t old = ::umask(0277);
    const auto result = Run({"settings", "init"});
    ::umask(old);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadAll(m_file), expected);
    EXPECT_EQ(ModeOf(m_file), kOwnerOnly);

    const auto again = Run({"settings", "init"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("exists"), std::string::npos) << again.err;
    EXPECT_EQ(ReadAll(m_file), expected);

    // The commands that only read still refuse a missing file and create none.
    std::filesystem::remove(m_file);
    for (const auto& args : std::vector<std::vector<std::string>>{{"sites", "list"},
                                                                  {"sites", "set", "1", "密码=x"},
                                                                  {"sites", "remove", "1"},
                                                                  {"sites", "move", "1", "up"},
                                                                  {"sites", "enable", "1"},
                                                                  {"run"}}) {
        const auto refused = Run(args);
        EXPECT_NE(refused.exitCode, 0) << Joined(args);
        EXPECT_NE(refused.err.find("not found"), std::string::npos) << Joined(args) << refused.err;
        EXPECT_FALSE(std::filesystem::exists(m_file)) << Joined(args);
    }
}

// sites add and settings set on a missing file: the file init writes, then the change.
TEST_F(SiteEditCli, ChangesToAMissingFileStartFromTheFirstStartFile) {
    const auto initialised = m_dir / "initialised.ini";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"sites", "add", "a.example", "admin", "pw", "文章目录=/x"},
             {"settings", "set", "同时站点数=9"}}) {
        std::filesystem::remove(m_file);
        std::filesystem::remove(initialised);
        ASSERT_EQ(RunCli(m_dir, initialised, {"settings", "init"}).exitCode, 0);
        ASSERT_EQ(RunCli(m_dir, initialised, args).exitCode, 0);
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 0) << Joined(args) << ": " << result.err;
        EXPECT_NE(result.err.find("created"), std::string::npos) << result.err;
        EXPECT_EQ(ReadAll(m_file), ReadAll(initialised)) << Joined(args);
        EXPECT_EQ(ModeOf(m_file), kOwnerOnly);
    }
    // A refused change creates nothing.
    std::filesystem::remove(m_file);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"sites", "add", "", "admin", "pw"},
             {"sites", "add", "a.example", "admin", "pw", "编码=Big5"},
             {"settings", "set", "同时站点数=many"}}) {
        EXPECT_NE(Run(args).exitCode, 0) << Joined(args);
        EXPECT_FALSE(std::filesystem::exists(m_file)) << Joined(args);
    }
}

struct EditCase {
    std::vector<std::string> args;
    int exitCode;
    std::string err;                          // part of the error line, for a failure
    std::size_t site = 0;                     // for a success: the site whose keys are checked
    std::map<std::string, std::string> keys;  // as sites show prints them
};

TEST_F(SiteEditCli, AddAndSetStoreOnlyWhatTheWindowWouldStore) {
    const std::string dup = "网站列表中已存在相同的‘域名(用户名)’：";
    const std::vector<EditCase> cases = {
        // the domain box's cleaning, and the duplicate check on the cleaned text
        {{"sites", "add", " HTTP://New.Example/blog/ ", "admin", "pw"},
         0,
         "",
         3,
         {{"域名", "New.Example/blog"}, {"启用", "真"}}},
        {{"sites", "add", "https://secure.example/", "admin", "pw"},
         0,
         "",
         3,
         {{"域名", "https://secure.example"}}},
        {{"sites", "add", "http://a.example/", "admin", "pw"}, 1, dup + "a.example(admin)"},
        {{"sites", "add", "a.example", "admin", "other", "后台=x"}, 1, dup + "a.example(admin)"},
        {{"sites", "add", "a.example", "甲", "pw"}, 0, "", 3, {{"用户", "甲"}}},
        {{"sites", "add", "/", "admin", "pw"}, 1, "域名不能为空！"},
        {{"sites", "add", "c.example", "", "pw"}, 1, "用户不能为空！"},
        {{"sites", "add", "c.example", "admin", ""}, 1, "密码不能为空！"},
        // the new site starts from the shown site (现行项 = site 2) …
        {{"sites", "add", "c.example", "admin", "pw"},
         0,
         "",
         3,
         {{"文章目录", "/articles/b"}, {"后台", "manage"}, {"别名类型", "3"}}},
        // … and each value type
        {{"sites", "add", "c.example", "admin", "pw", "编码=GBK", "别名类型=标题全拼",
          "拼音间隔符=下划", "文件编码=Unicode BE"},
         0,
         "",
         3,
         {{"编码", "1"}, {"别名类型", "2"}, {"拼音间隔符", "2"}, {"文件编码", "4"}}},
        {{"sites", "add", "c.example", "admin", "pw", "编码=gbk", "文件编码=3", "别名类型=0"},
         0,
         "",
         3,
         {{"编码", "1"}, {"文件编码", "3"}, {"别名类型", "0"}}},
        {{"sites", "add", "c.example", "admin", "pw", "首行标题=真", "段落标签=TRUE",
          "允许评论=false", "删除已更新文章=假"},
         0,
         "",
         3,
         {{"首行标题", "真"}, {"段落标签", "真"}, {"允许评论", "假"}, {"删除已更新文章", "假"}}},
        {{"sites", "add", "c.example", "admin", "pw", "标签数1=-3", "更新数量=+12",
          "别名起始值=2147483647"},
         0,
         "",
         3,
         {{"标签数1", "-3"}, {"更新数量", "12"}, {"别名起始值", "2147483647"}}},
        {{"sites", "add", "c.example", "admin", "pw", "间隔秒1=0.01", "后台="},
         0,
         "",
         3,
         {{"间隔秒1", "0.009999999776483"}, {"后台", "admin"}}},
        {{"sites", "add", "c.example", "admin", "pw", "标签数据=甲\\n乙|丙\n丁"},
         0,
         "",
         3,
         {{"标签数据", "甲┊*┊乙┊*┊丙┊*┊丁"}}},
        {{"sites", "add", "c.example", "admin", "pw", "文章目录=/文章 目录/x=y", "文件过滤=*.txt"},
         0,
         "",
         3,
         {{"文章目录", "/文章 目录/x=y"}, {"文件过滤", "*.txt"}}},
        // a KEY=VALUE after the positionals replaces them
        {{"sites", "add", "c.example", "admin", "pw", "用户=乙"}, 0, "", 3, {{"用户", "乙"}}},
        // bad keys and values
        {{"sites", "add", "c.example", "admin", "pw", "颜色=红"}, 2, "unknown key \"颜色\""},
        {{"sites", "add", "c.example", "admin", "pw", "分类ID=3"}, 2, "category tree"},
        {{"sites", "add", "c.example", "admin", "pw", "分类数据=00"}, 2, "category tree"},
        {{"sites", "add", "c.example", "admin", "pw", "启用=假"}, 2, "sites disable"},
        {{"sites", "add", "c.example", "admin", "pw", "首行标题"}, 2, "not KEY=VALUE"},
        {{"sites", "add", "c.example", "admin", "pw", "=1"}, 2, "not KEY=VALUE"},
        {{"sites", "add", "c.example", "admin", "pw", "编码=Big5"}, 2, "0 UTF-8, 1 GBK"},
        {{"sites", "add", "c.example", "admin", "pw", "编码=2"}, 2, "编码 takes"},
        {{"sites", "add", "c.example", "admin", "pw", "别名类型=7"}, 2, "6 递增数字"},
        {{"sites", "add", "c.example", "admin", "pw", "别名类型=-1"}, 2, "别名类型 takes"},
        {{"sites", "add", "c.example", "admin", "pw", "首行标题=yes"}, 2, "真/假 or true/false"},
        {{"sites", "add", "c.example", "admin", "pw", "标签数1=3.5"}, 2, "whole number"},
        {{"sites", "add", "c.example", "admin", "pw", "标签数1=2147483648"}, 2, "whole number"},
        {{"sites", "add", "c.example", "admin", "pw", "标签数1=+-3"}, 2, "whole number"},
        {{"sites", "add", "c.example", "admin", "pw", "标签数1= 3"}, 2, "whole number"},
        {{"sites", "add", "c.example", "admin", "pw", "更新数量="}, 2, "whole number"},
        {{"sites", "add", "c.example", "admin", "pw", "间隔秒1=fast"}, 2, "间隔秒1 takes"},
        {{"sites", "add", "c.example", "admin", "pw", "间隔秒1=inf"}, 2, "间隔秒1 takes"},
        {{"sites", "add", "c.example", "admin", "pw", "间隔秒1=1e39"}, 2, "间隔秒1 takes"},
        {{"sites", "add", "c.example", "admin", "pw", "文章目录=a\nb"}, 2, "one line"},
        {{"sites", "add", "c.example", "admin", "pw", "密码=😀"}, 2, "outside GBK"},
        // modify: its own row is not compared, another row is
        {{"sites", "set", "2", "密码=new"},
         0,
         "",
         2,
         {{"密码", "new"},
          {"用户", "甲"},
          {"启用", "假"},
          {"后台", "manage"},
          {"间隔秒1", "0.25"}}},
        {{"sites", "set", "1", "域名=HTTP://z.example/", "标签数2=9"},
         0,
         "",
         1,
         {{"域名", "z.example"}, {"标签数2", "9"}, {"标签数1", "2"}, {"文章目录", "/articles/a"}}},
        {{"sites", "set", "1", "域名=b.example", "用户=甲"}, 1, dup + "b.example(甲)"},
        {{"sites", "set", "2", "域名= "}, 1, "域名不能为空！"},
        {{"sites", "set", "3", "密码=x"}, 2, "no site 3"},
        {{"sites", "set", "0", "密码=x"}, 2, "site number"},
        {{"sites", "set", "x", "密码=x"}, 2, "site number"},
        {{"sites", "set", "1", "别名类型=全拼"}, 2, "别名类型 takes"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(m_file);
        WriteTwoSites();
        const std::string before = ReadAll(m_file);
        const auto result = Run(c.args);
        const std::string what = Joined(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << what << ": " << result.err;
        if (c.exitCode != 0) {
            EXPECT_EQ(ReadAll(m_file), before) << what;
            EXPECT_EQ(result.out, "") << what;
            EXPECT_NE(result.err.find(c.err), std::string::npos) << what << ": " << result.err;
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << what << ": " << result.err;
            continue;
        }
        const auto keys = Keys(c.site);
        ASSERT_FALSE(keys.empty()) << what;
        for (const auto& [key, value] : c.keys)
            EXPECT_EQ(keys.at(key), value) << what << " " << key;
        EXPECT_EQ(result.out, std::to_string(c.site) + " " + keys.at("启用") + " " +
                                  keys.at("域名") + "(" + keys.at("用户") + ")\n")
            << what;
    }
}

// With nothing selected (现行项 -1) a new site starts from the design values; the site it
// adds becomes the selected row.
TEST_F(SiteEditCli, AddWithoutASelectedSiteStartsFromTheDesignValues) {
    WriteTwoSites(-1);
    const auto result = Run({"sites", "add", "c.example", "admin", "pw"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto keys = Keys(3);
    const std::map<std::string, std::string> design = {
        {"后台", "admin"},
        {"标签数据", "标签1┊*┊标签2┊*┊标签3┊*┊标签4┊*┊标签5┊*┊标签6"},
        {"标签数1", "3"},
        {"标签数2", "5"},
        {"内容摘要数1", "85"},
        {"内容摘要数2", "127"},
        {"字母数1", "3"},
        {"字母数2", "7"},
        {"别名左边", "tb_"},
        {"别名右边", "_soft"},
        {"别名起始值", "900"},
        {"别名递增值", "1"},
        {"文章目录", "C:\\用于更新的文章所在目录"},
        {"文件过滤", "*.*"},
        {"更新数量", "0"},
        {"间隔秒1", "0.009999999776483"},
        {"别名类型", "0"},
        {"编码", "0"},
        {"首行标题", "假"},
        {"分类ID", ""},
    };
    for (const auto& [key, value] : design) EXPECT_EQ(keys.at(key), value) << key;
    std::int32_t selected = 0;
    EXPECT_EQ(Load(&selected).size(), 3u);
    EXPECT_EQ(selected, 2);
}

TEST_F(SiteEditCli, RemoveMoveEnableAndDisable) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string rows;  // sites list afterwards; empty: the file is unchanged
        std::int32_t selected = -1;
    };
    const std::vector<Case> cases = {
        {{"sites", "remove", "1"}, 0, "1 假 b.example(甲)\n", 0},
        {{"sites", "remove", "2"}, 0, "1 真 a.example(admin)\n", 0},
        {{"sites", "move", "2", "up"}, 0, "1 假 b.example(甲)\n2 真 a.example(admin)\n", 0},
        {{"sites", "move", "1", "down"}, 0, "1 假 b.example(甲)\n2 真 a.example(admin)\n", 1},
        {{"sites", "disable", "1", "2"}, 0, "1 假 a.example(admin)\n2 假 b.example(甲)\n", 1},
        {{"sites", "enable", "2"}, 0, "1 真 a.example(admin)\n2 真 b.example(甲)\n", 1},
        // nothing to do on the first and last rows, as the buttons
        {{"sites", "move", "1", "up"}, 0, ""},
        {{"sites", "move", "2", "down"}, 0, ""},
        {{"sites", "move", "1", "left"}, 2, ""},
        {{"sites", "remove", "3"}, 2, ""},
        {{"sites", "enable", "1", "3"}, 2, ""},
        {{"sites", "disable", "1", "x"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(m_file);
        WriteTwoSites();
        const std::string before = ReadAll(m_file);
        const auto result = Run(c.args);
        const std::string what = Joined(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << what << ": " << result.err;
        if (c.rows.empty()) {
            EXPECT_EQ(ReadAll(m_file), before) << what;
            EXPECT_NE(result.err, "") << what;
            continue;
        }
        EXPECT_EQ(Run({"sites", "list"}).out, c.rows) << what;
        std::int32_t selected = -2;
        const std::size_t count = Load(&selected).size();
        EXPECT_EQ(selected, c.selected) << what;
        // Sections past the list are gone, as after the program's exit.
        EXPECT_EQ(ReadAll(m_file).find(SiteSectionName(count + 1)), std::string::npos) << what;
    }

    // A check box writes 启用 and nothing else.
    std::filesystem::remove(m_file);
    WriteTwoSites();
    std::string expected = ReadAll(m_file);
    ASSERT_EQ(Run({"sites", "enable", "2"}).exitCode, 0);
    const std::string off = G("启用=假"), on = G("启用=真");
    expected.replace(expected.find(off), off.size(), on);
    EXPECT_EQ(ReadAll(m_file), expected);
}

TEST_F(SiteEditCli, SettingsSetChangesTheRunSettingsOnly) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"settings", "set", "同步循环=真", "循环间隔秒=2.5", "同时站点数=12"}, 0, ""},
        {{"settings", "set", "先后独立=false", "启用全局更新数量=true", "全局更新数量=3"}, 0, ""},
        {{"settings", "set", "同步循环=真", "先后独立=假", "选择框完成关机=真",
          "选择框失败时重复尝试=假", "自动开启计划任务=真"},
         0,
         ""},
        {{"settings", "set", "同步循环=真", "先后独立=真"}, 2, "contradict"},
        {{"settings", "set", "同时站点数=5.5"}, 2, "同时站点数 takes a whole number"},
        {{"settings", "set", "循环间隔秒=soon"}, 2, "循环间隔秒 takes"},
        {{"settings", "set", "选择框完成关机=1"}, 2, "真/假"},
        {{"settings", "set", "导入路径=/x"}, 2, "unknown key \"导入路径\"; the keys are 同步循环"},
        {{"settings", "set", "域名=x"}, 2, "unknown key"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(m_file);
        WriteTwoSites();
        const std::string before = ReadAll(m_file);
        const SiteList sitesBefore = Load();
        const auto result = Run(c.args);
        const std::string what = Joined(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << what << ": " << result.err;
        if (c.exitCode != 0) {
            EXPECT_EQ(ReadAll(m_file), before) << what;
            EXPECT_NE(result.err.find(c.err), std::string::npos) << what << ": " << result.err;
            continue;
        }
        const SiteList sitesAfter = Load();
        ASSERT_EQ(sitesAfter.size(), sitesBefore.size());
        for (std::size_t i = 0; i < sitesAfter.size(); ++i)
            EXPECT_EQ(SiteKeyValues(sitesAfter[i]), SiteKeyValues(sitesBefore[i])) << what;
    }
    // Every key at once, read back as start-up reads them.
    std::filesystem::remove(m_file);
    WriteTwoSites();
    ASSERT_EQ(Run({"settings", "set", "循环间隔秒=2.5", "同时站点数=12", "先后独立=false",
                   "启用全局更新数量=true", "全局更新数量=3", "选择框完成关机=真",
                   "选择框失败时重复尝试=假", "自动开启计划任务=真"})
                  .exitCode,
              0);
    const BasicSettings s = Basic();
    EXPECT_TRUE(s.同步循环);
    EXPECT_FALSE(s.先后独立);
    EXPECT_EQ(s.循环间隔秒, "2.5");
    EXPECT_EQ(s.同时站点数, "12");
    EXPECT_TRUE(s.启用全局更新数量);
    EXPECT_EQ(s.全局更新数量, "3");
    EXPECT_TRUE(s.选择框完成关机);
    EXPECT_FALSE(s.选择框失败时重复尝试);
    ConfigStore store;
    store.Bind(Gbk(m_file), ConfigStore::BindMode::ReadOnly);
    EXPECT_EQ(store.ReadValue(G("基本配置"), G("自动开启计划任务")), G("真"));
    // Setting one mode true sets the other false.
    ASSERT_EQ(Run({"settings", "set", "先后独立=真"}).exitCode, 0);
    EXPECT_FALSE(Basic().同步循环);
    EXPECT_TRUE(Basic().先后独立);
}

// The JSON, read by a real parser and turned back into sites show's KEY=VALUE lines,
// gives those lines.
TEST_F(SiteEditCli, JsonReadsBackAsTheSavedKeys) {
    SiteList sites(2);
    sites[0].启用 = true;
    sites[0].域名 = "a.example";
    sites[0].用户 = G("用户\"甲\"");
    sites[0].密码 = "p\\w\t\x01\x1f";
    sites[0].标签数据 = G("甲\r\n乙");
    sites[0].文章目录 = G("C:\\文章\\");
    sites[0].分类数据 = std::string("\x00\xff", 2);
    sites[0].间隔秒1 = 0.01f;
    sites[0].标签数1 = -7;
    sites[1].域名 = "b.example";
    sites[1].别名类型 = 6;
    sites[1].间隔秒1 = 120.0f;
    {
        ConfigStore store;
        ASSERT_TRUE(store.Bind(Gbk(m_file)));
        ASSERT_TRUE(SaveAllSettings(store, BasicSettings{}, sites, 0));
    }
    const char* script =
        "import json, sys\n"
        "data = json.load(open(sys.argv[1], encoding='utf-8'))\n"
        "for site in (data if isinstance(data, list) else [data]):\n"
        "    for key, value in site.items():\n"
        "        if isinstance(value, bool): value = '真' if value else '假'\n"
        "        elif isinstance(value, str): value = value.replace('\\r\\n', '┊*┊')\n"
        "        else: value = repr(value)\n"
        "        sys.stdout.buffer.write((key + '=' + value + '\\n').encode('utf-8'))\n"
        "    print('--')\n";
    const auto scriptPath = m_dir / "lines.py";
    std::ofstream(scriptPath) << script;
    auto Lines = [&](const std::vector<std::string>& args) {
        const auto json = Run(args);
        EXPECT_EQ(json.exitCode, 0) << json.err;
        std::ofstream(m_dir / "out.json", std::ios::binary) << json.out;
        const std::string command = "python3 " + ShellQuote(scriptPath.string()) + " " +
                                    ShellQuote((m_dir / "out.json").string()) + " >" +
                                    ShellQuote((m_dir / "lines").string()) + " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadAll(m_dir / "lines") << json.out;
        return ReadAll(m_dir / "lines");
    };
    std::string expected;
    for (const char* n : {"1", "2"}) {
        const auto show = Run({"sites", "show", n});
        ASSERT_EQ(show.exitCode, 0);
        expected += show.out + "--\n";
    }
    EXPECT_EQ(Lines({"sites", "list", "--format", "json"}), expected);
    EXPECT_EQ(Lines({"sites", "show", "2", "--format", "json"}),
              expected.substr(expected.find("--\n") + 3));
    const auto text = Run({"sites", "show", "1", "--format", "text"});
    EXPECT_EQ(text.out, expected.substr(0, expected.find("--\n")));
    const auto bad = Run({"sites", "list", "--format", "xml"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("--format"), std::string::npos) << bad.err;

    // No sites: an empty array.
    std::filesystem::remove(m_file);
    ASSERT_EQ(Run({"settings", "init"}).exitCode, 0);
    EXPECT_EQ(Run({"sites", "list", "--format", "json"}).out, "[]\n");
}

}  // namespace
