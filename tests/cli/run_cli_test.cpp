// qingluan-cli run against an in-process sandbox: arguments, --sites, the log file and
// the signals that stop a run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli_runner.h"
#include "core/charset.h"
#include "sandbox/sandbox_server.h"
#include "sandbox_cli_fixture.h"

namespace {

using RunCliTest = SandboxCliTest;

TEST_F(RunCliTest, BadArgumentsAndMissingSettings) {
    const auto settings = WriteSettings("0");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"run", "--mode", "fast"},
                                                 {"run", "--scan", "x"},
                                                 {"run", "--sites", "3"},
                                                 {"run", "--sites", "1,x"},
                                                 {"run", "extra"}}) {
        const auto result = RunCli(m_dir, settings, args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_NE(RunCli(m_dir, m_dir / "missing.ini", {"run"}).exitCode, 0);
    EXPECT_EQ(m_server->TotalRequests(), 0);
}

TEST_F(RunCliTest, SitesPickTheRunWithoutSavingAndTheLogFileMatches) {
    const auto settings = WriteSettings("0", true);
    const std::string before = ReadAll(settings);
    const auto result =
        RunCli(m_dir, settings, {"run", "--mode", "sync", "--sites", "2", "--no-shutdown"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(m_server->Posts(0).empty());
    EXPECT_EQ(m_server->Posts(1).size(), 4u);
    EXPECT_EQ(ReadAll(settings), before);  // --sites is this run's only, and no save
    EXPECT_NE(result.out.find("更新前的准备工作已就绪"), std::string::npos);
    EXPECT_NE(result.out.find("更新完成！总更新了 4 篇文章，更新耗费 "), std::string::npos);
    EXPECT_EQ(result.out.find("距离关机"), std::string::npos);
    // stdout rows are the log file's lines, in UTF-8.
    std::filesystem::path log;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "日志"))
        log = entry.path();
    std::string file = charset::GbkToUtf8(ReadAll(log));
    std::string lines;
    for (char c : file)
        if (c != '\r') lines += c;
    EXPECT_EQ(result.out.substr(0, lines.size()), lines);
}

// SIGTERM is the stop button: the summary is still written; a second one changes nothing.
TEST_F(RunCliTest, SignalsStopTheRunWithItsSummary) {
    const auto settings = WriteSettings("30");
    const auto out = m_dir / "out";
    const pid_t pid = StartCli(settings, {"run"}, out);
    ASSERT_GE(pid, 0);
    // Wait until both sites posted their first article, then stop twice.
    for (int i = 0; i < 500 && (m_server->Posts(0).empty() || m_server->Posts(1).empty()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string text = ReadAll(out);
    EXPECT_NE(text.find("已停止更新，本次成功更新 1 篇"), std::string::npos) << text;
    EXPECT_NE(text.find("实际更新 1 篇（设置更新 4 篇，读取文章数 4 篇）"), std::string::npos);
    EXPECT_NE(text.find("更新完成！总更新了 2 篇文章"), std::string::npos);
    EXPECT_EQ(m_server->Posts(0).size() + m_server->Posts(1).size(), 2u);
}

// With 选择框完成关机 the countdown runs on the terminal and a signal stops it; the save
// before it keeps the settings as they were, not this run's --mode and --sites, and keeps
// the selected row.
TEST_F(RunCliTest, CountdownStopsOnASignalAndTheSaveKeepsTheStoredChoices) {
    const auto settings = WriteSettings("0", true);
    const auto out = m_dir / "out";
    const pid_t pid = StartCli(settings, {"run", "--mode", "sync", "--sites", "2"}, out);
    ASSERT_GE(pid, 0);
    for (int i = 0; i < 500 && ReadAll(out).find("距离关机还有 29 秒") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string text = ReadAll(out);
    EXPECT_NE(text.find("更新完毕，准备关机..\n距离关机还有 30 秒\n距离关机还有 29 秒\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("已停止关机倒计时！"), std::string::npos);
    EXPECT_EQ(text.find("更新完成！"), std::string::npos);
    EXPECT_EQ(m_server->Posts(1).size(), 4u);
    const std::string saved = charset::GbkToUtf8(ReadAll(settings));
    EXPECT_NE(saved.find("同步循环=假"), std::string::npos) << saved;
    EXPECT_NE(saved.find("先后独立=真"), std::string::npos);
    EXPECT_EQ(saved.find("启用=假"), std::string::npos);
    EXPECT_NE(saved.find("现行项=1\r\n"), std::string::npos);  // the selected row stays
}

}  // namespace
