#pragma once

// A loopback sandbox with two sites, their settings file and article folders in a folder
// of the test's own, and qingluan-cli started on them in the background.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/charset.h"
#include "sandbox/sandbox_server.h"

class SandboxCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QINGLUAN_NO_SHUTDOWN", "1", 1);
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        sandbox::ServerOptions options;
        for (int i = 1; i <= 2; ++i) {
            sandbox::SiteOptions site;
            site.prefix = "blog" + std::to_string(i);
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
    }
    void TearDown() override {
        m_server->Stop();
        std::filesystem::remove_all(m_dir);
    }

    // Two sites of 4 articles each; `pause` seconds between articles.
    std::filesystem::path WriteSettings(const std::string& pause, bool shutdown = false) {
        std::string ini = "[基本配置]\n同步循环=假\n先后独立=真\n同时站点数=5\n选择框完成关机=" +
                          std::string(shutdown ? "真" : "假") +
                          "\n[站点配置]\n站点数=2\n现行项=1\n";
        for (int i = 1; i <= 2; ++i) {
            const auto folder = m_dir / ("a" + std::to_string(i));
            std::filesystem::create_directories(folder);
            for (int k = 1; k <= 4; ++k)
                std::ofstream(folder / ("文章" + std::to_string(k) + ".txt")) << "正文内容。\n";
            ini += "[站点序号_" + std::to_string(i) +
                   "]\n启用=真\n用户=admin\n密码=admin888\n域名=" +
                   m_server->Domain(static_cast<std::size_t>(i - 1)) +
                   "\n编码=0\n后台=admin\n文件过滤=*.txt\n间隔秒1=" + pause +
                   "\n文章目录=" + folder.string() + "\n";
        }
        std::string crlf;
        for (char c : ini) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        const auto path = m_dir / "岚舟·青鸾助手.ini";
        std::ofstream(path, std::ios::binary) << charset::Utf8ToGbk(crlf);
        return path;
    }

    // qingluan-cli --settings <settings> <args…> in the background, stdout into `out`.
    static pid_t StartCli(const std::filesystem::path& settings,
                          const std::vector<std::string>& args, const std::filesystem::path& out) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 1);
            std::vector<std::string> all = {"qingluan-cli", "--settings", settings.string()};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (auto& arg : all) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(QINGLUAN_BINARY_DIR "/src/qingluan-cli", argv.data());
            ::_exit(127);
        }
        return pid;
    }

    std::filesystem::path m_dir;
    std::unique_ptr<sandbox::SandboxServer> m_server;
};
