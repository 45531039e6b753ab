// qingluan-cli schedule: the time-point file beside the settings, and the scheduled start
// in the foreground against the sandbox, stopped by SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>

#include "cli_runner.h"
#include "sandbox_cli_fixture.h"

namespace {

std::string Utf8File(const std::filesystem::path& path) {
    return charset::GbkToUtf8(ReadAll(path));
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// The local time of day `seconds` from now, HH:MM:SS.
std::string TimeIn(int seconds) {
    const std::time_t t = std::time(nullptr) + seconds;
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &tm);
    return text;
}

class ScheduleCliTest : public SandboxCliTest {
protected:
    // A failed check must not leave the task running.
    void TearDown() override {
        if (m_pid > 0) Finish();
        SandboxCliTest::TearDown();
    }

    void StartSchedule(const std::filesystem::path& settings, const std::vector<std::string>& args,
                       const std::filesystem::path& out) {
        m_pid = StartCli(settings, args, out);
        ASSERT_GT(m_pid, 0);
    }

    // SIGTERM; the exit code, -1 when the program did not exit by itself.
    int Finish() {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        const pid_t pid = std::exchange(m_pid, 0);
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    // Once the task waits on its empty list, a point two seconds ahead: the task reads the
    // changed file, so how long the program took to start does not matter.
    void AddWhenWaiting(const std::filesystem::path& settings, const std::filesystem::path& out) {
        ASSERT_TRUE(WaitUntil(
            [&] { return ReadAll(out).find("no ticked time point") != std::string::npos; }, 15000))
            << ReadAll(out);
        ASSERT_EQ(RunCli(m_dir, settings, {"schedule", "add", TimeIn(2)}).exitCode, 0);
    }

    pid_t m_pid = 0;
};

TEST_F(ScheduleCliTest, EditsTheTimePointFileBesideTheSettings) {
    const auto settings = WriteSettings("0");
    const auto file = m_dir / "时间点.计划任务";
    EXPECT_EQ(RunCli(m_dir, settings, {"schedule", "list"}).out, "");
    EXPECT_EQ(RunCli(m_dir, settings, {"schedule", "add", "8:30:00"}).out, "1 08:30:00\n");
    EXPECT_EQ(RunCli(m_dir, settings, {"schedule", "add", "21:05:09"}).exitCode, 0);
    EXPECT_EQ(RunCli(m_dir, settings, {"schedule", "tick", "1", "off"}).exitCode, 0);
    EXPECT_EQ(Utf8File(file), "08:30:00||0||假\r\n21:05:09||0||真\r\n");
    EXPECT_EQ(RunCli(m_dir, settings, {"schedule", "list"}).out, "1 假 08:30:00\n2 真 21:05:09\n");
    EXPECT_EQ(RunCli(m_dir, settings, {"schedule", "remove", "1"}).exitCode, 0);
    EXPECT_EQ(Utf8File(file), "21:05:09||0||真\r\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"schedule", "add", "24:00:00"},
          {"schedule", "add", "soon"},
          {"schedule", "remove", "2"},
          {"schedule", "remove", "0"},
          {"schedule", "tick", "1", "yes"},
          {"schedule", "tick", "x", "on"}}) {
        const auto result = RunCli(m_dir, settings, args);
        EXPECT_EQ(result.exitCode, 2) << args[1] << " " << args[2];
        EXPECT_NE(result.err.find("qingluan-cli: schedule "), std::string::npos) << result.err;
    }
    EXPECT_EQ(Utf8File(file), "21:05:09||0||真\r\n");
    EXPECT_NE(RunCli(m_dir, m_dir / "missing.ini", {"schedule", "run"}).exitCode, 0);
}

// A time point two seconds ahead: one run, as the scheduler starts it (no completion
// message; 选择框完成关机 is off for it with --no-shutdown), its log file, and the task
// waits for the next point until SIGTERM.
TEST_F(ScheduleCliTest, RunsTheUpdateOnceAtTheTimePoint) {
    const auto settings = WriteSettings("0", true);
    const auto out = m_dir / "out";
    StartSchedule(settings, {"schedule", "run", "--no-shutdown"}, out);
    AddWhenWaiting(settings, out);
    // The run is over when its closing rows are out and the next point is announced.
    const bool ran =
        WaitUntil([&] { return Count(ReadAll(out), "next time point: ") >= 2; }, 15000);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(Finish(), 0);
    const std::string text = ReadAll(out);
    ASSERT_TRUE(ran) << text;
    EXPECT_EQ(Count(text, "时间点已到，开始更新："), 1u) << text;
    EXPECT_EQ(Count(text, "站群更新开始，当前时间点是："), 1u);
    EXPECT_EQ(text.find("更新完成！"), std::string::npos);
    EXPECT_EQ(text.find("距离关机"), std::string::npos);
    EXPECT_NE(text.find("schedule stopped"), std::string::npos);
    EXPECT_EQ(m_server->Posts(0).size() + m_server->Posts(1).size(), 8u);
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "日志"))
        logs.push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_NE(Utf8File(logs[0]).find("站群更新开始"), std::string::npos);
}

// SIGTERM during a scheduled run stops the run as the stop button does, with its
// summary, and then the task.
TEST_F(ScheduleCliTest, ASignalStopsTheRunFirstThenTheTask) {
    const auto settings = WriteSettings("30");
    const auto out = m_dir / "out";
    StartSchedule(settings, {"schedule", "run"}, out);
    AddWhenWaiting(settings, out);
    const bool posted = WaitUntil(
        [&] { return !m_server->Posts(0).empty() && !m_server->Posts(1).empty(); }, 15000);
    EXPECT_EQ(Finish(), 0);
    const std::string text = ReadAll(out);
    ASSERT_TRUE(posted) << text;
    EXPECT_NE(text.find("已停止更新，本次成功更新 1 篇"), std::string::npos) << text;
    EXPECT_NE(text.find("schedule stopped"), std::string::npos);
    EXPECT_EQ(m_server->Posts(0).size() + m_server->Posts(1).size(), 2u);
}

}  // namespace
