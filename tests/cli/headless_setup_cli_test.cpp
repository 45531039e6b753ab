// A group of sites set up from nothing on the command line and run against the loopback
// sandbox: init, add, set, run.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/cli_runner.h"
#include "sandbox/sandbox_server.h"

namespace {

class HeadlessSetupCli : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QINGLUAN_NO_SHUTDOWN", "1", 1);
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-h-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        sandbox::ServerOptions options;
        sandbox::SiteOptions first;
        first.prefix = "blog1";
        sandbox::SiteOptions second;
        second.prefix = "blog2";
        second.charset = sandbox::SiteCharset::Gbk;
        second.adminDir = "manage";
        second.password = "second";
        options.sites = {first, second};
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
    }
    void TearDown() override {
        m_server->Stop();
        std::filesystem::remove_all(m_dir);
    }

    // `count` articles whose first line is their title.
    std::string Articles(const std::string& name, int count) const {
        const auto folder = m_dir / name;
        std::filesystem::create_directories(folder);
        for (int k = 1; k <= count; ++k)
            std::ofstream(folder / ("文章" + std::to_string(k) + ".txt"))
                << name << "标题" << k << "\n正文内容。\n";
        std::ofstream(folder / "说明.md") << "not an article\n";
        return folder.string();
    }

    std::filesystem::path m_dir;
    std::unique_ptr<sandbox::SandboxServer> m_server;
};

TEST_F(HeadlessSetupCli, InitAddSetAndRun) {
    const auto settings = m_dir / "岚舟·青鸾助手.ini";
    auto cli = [&](const std::vector<std::string>& args) {
        const auto result = RunCli(m_dir, settings, args);
        EXPECT_EQ(result.exitCode, 0) << args.front() << " " << args[1] << ": " << result.err;
        return result;
    };
    cli({"settings", "init"});
    cli({"sites", "add", "http://" + m_server->Domain(0) + "/", "admin", "admin888"});
    // The second site starts from the first (the shown one): its own values are given.
    cli({"sites", "add", m_server->Domain(1), "admin", "second", "编码=GBK", "后台=manage"});
    const std::string one = Articles("one", 3);
    const std::string two = Articles("two", 2);
    for (const auto& [n, folder] : {std::pair{"1", one}, std::pair{"2", two}})
        cli({"sites", "set", n, "文章目录=" + folder, "文件过滤=*.txt", "间隔秒1=0",
             "首行标题=真"});
    cli({"settings", "set", "同时站点数=2"});

    const auto run = cli({"run"});
    EXPECT_NE(run.out.find("更新完成！总更新了 5 篇文章"), std::string::npos) << run.out;
    const auto first = m_server->Posts(0);
    const auto second = m_server->Posts(1);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(first[0].title.rfind("one标题", 0), 0u) << first[0].title;
    EXPECT_EQ(second[0].title.rfind("two标题", 0), 0u) << second[0].title;
    EXPECT_EQ(m_server->Counters(1).failedLogins, 0);
}

}  // namespace
