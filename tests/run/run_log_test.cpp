#include "run/run_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <regex>
#include <thread>

#include "core/clock.h"
#include "core/platform/files.h"
#include "run/ui_relay.h"
#include "run_test_support.h"

namespace {

TEST(RunLogDuration, OneNumberOneUnit) {
    const struct {
        std::int64_t ms;
        const char* text;
    } cases[] = {
        {0, "0 毫秒"},           {532, "532 毫秒"},  {999, "999 毫秒"},     {1000, "1 秒"},
        {2500, "2.5 秒"},        {59999, "60 秒"},   {60000, "1 分"},       {210000, "3.5 分"},
        {7200000, "2 时"},       {86400000, "1 天"}, {90061000, "1.04 天"}, {2592000000LL, "1 月"},
        {31104000000LL, "1 年"}, {1234, "1.23 秒"},  {1235, "1.24 秒"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(FormatDuration(c.ms)), c.text) << c.ms;
}

// A fixed local time for the log's name and time column.
clock_::WallTime LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

class RunLogFile : public RunFixture {
protected:
    void TearDown() override {
        clock_::SetNowForTesting({});
        RunFixture::TearDown();
    }
    std::string LogBytes(const char* name) {
        const auto bytes = platform::ReadWholeFile(platform::JoinPath(
            platform::JoinPath(*platform::GbkPath(m_folder), Gbk("日志")), name));
        return bytes ? *bytes : std::string("<missing>");
    }
};

TEST_F(RunLogFile, BytesOfRowsDashesAndSummary) {
    MakeSites({{.articles = 0, .quota = 0}, {.articles = 0, .quota = 7}});
    sites[1].启用 = false;
    clock_::SetNowForTesting([] { return LocalTime(2024, 3, 7, 9, 5, 31); });
    UiRelay ui;
    RunLog log(sites, *host, ui);
    log.OpenRunLog();
    EXPECT_EQ(host->locateCaption, "点击定位日志文件：2024-03-07 09-05-31.txt");
    log.WriteLogRow(Gbk("开始"), 0);
    log.WriteLogRow("", 1);
    log.WriteLogRow(Gbk("第二站"), 2);
    log.WriteLogRow(Gbk("无此站"), 3);
    sites[0].run.posted = 2;
    sites[0].run.articlesRead = 5;
    log.WriteRunSummary(2, clock_::TickMs(), host->settings);
    const std::string site1 = sites[0].域名 + "(admin)";
    const std::string site2 = sites[1].域名 + "(admin)";
    const std::string expectedStart =
        "09:05:31\t" + Gbk("全局") + "\t" + Gbk("开始") + "\r\n" + std::string(35, '-') + "\r\n" +
        "09:05:31\t" + site2 + "\t" + Gbk("第二站") + "\r\n" + "09:05:31\t\t" + Gbk("无此站") +
        "\r\n" + "09:05:31\t" + Gbk("全局") + "\t" + Gbk("站群更新结束，当前时间点是：") +
        "2024-03-07 09:05:31\r\n" + "09:05:31\t" + Gbk("全局") + "\t" +
        Gbk("下面是本次更新的站点情况一览表") + "\r\n" + "09:05:31\t" + site1 + "\t" +
        Gbk("实际更新 2 篇（设置更新 5 篇，读取文章数 5 篇）") + "\r\n" + "09:05:31\t" +
        Gbk("全局") + "\t" + Gbk("总更新了 2 篇文章，更新耗费 ");
    const std::string bytes = LogBytes("2024-03-07 09-05-31.txt");
    ASSERT_GE(bytes.size(), expectedStart.size()) << Utf8(bytes);
    EXPECT_EQ(bytes.substr(0, expectedStart.size()), expectedStart) << Utf8(bytes);
    EXPECT_TRUE(
        std::regex_match(Utf8(bytes.substr(expectedStart.size())), std::regex("[0-9]+ 毫秒\r\n")))
        << Utf8(bytes);
    // The view got the same rows, an empty message as an empty row.
    ASSERT_EQ(host->rows.size(), 8u);
    EXPECT_EQ(host->rows[1].message, "");
    EXPECT_EQ(host->rows[3].site, "");
    // Rows after the summary reach the view only.
    log.WriteLogRow(Gbk("之后"), 0);
    EXPECT_EQ(LogBytes("2024-03-07 09-05-31.txt"), bytes);
    EXPECT_EQ(host->rows.size(), 9u);
}

TEST_F(RunLogFile, SameSecondAppendsAndUnwritableFolderKeepsTheView) {
    MakeSites({{.articles = 0}});
    clock_::SetNowForTesting([] { return LocalTime(2024, 1, 2, 3, 4, 5); });
    UiRelay ui;
    RunLog log(sites, *host, ui);
    log.OpenRunLog();
    log.WriteLogRow(Gbk("第一次"), 0);
    log.OpenRunLog();
    log.WriteLogRow(Gbk("第二次"), 0);
    // The second run of the same second keeps the first one's rows, a blank line between.
    EXPECT_EQ(LogBytes("2024-01-02 03-04-05.txt"),
              "03:04:05\t" + Gbk("全局") + "\t" + Gbk("第一次") + "\r\n\r\n03:04:05\t" +
                  Gbk("全局") + "\t" + Gbk("第二次") + "\r\n");
    // A file where the folder should be: no log file, the view still fills.
    platform::SetDataFolder(*platform::GbkPath(m_folder / "blocked"));
    platform::WriteWholeFile(*platform::GbkPath(m_folder / "blocked"), "x");
    log.OpenRunLog();
    log.WriteLogRow(Gbk("照常"), 0);
    ASSERT_FALSE(host->rows.empty());
    EXPECT_EQ(host->rows.back().message, "照常");
}

// Rows of many threads: whole, and in each thread's order, in the file and the view.
TEST_F(RunLogFile, ConcurrentRowsStayWholeAndInOrderPerSite) {
    MakeSites({{.articles = 0}, {.articles = 0}, {.articles = 0}, {.articles = 0}});
    UiRelay ui;
    RunLog log(sites, *host, ui);
    log.OpenRunLog();
    std::vector<std::thread> writers;
    for (int site = 1; site <= 4; ++site)
        writers.emplace_back([&log, site] {
            for (int i = 0; i < 200; ++i) log.WriteLogRow(std::to_string(i), site);
        });
    for (auto& writer : writers) writer.join();
    ui.Drain();
    log.WriteRunSummary(0, clock_::TickMs(), host->settings);
    for (std::size_t site = 0; site < 4; ++site) {
        const auto messages = host->MessagesOf(SiteText(site));
        ASSERT_GE(messages.size(), 200u);
        for (int i = 0; i < 200; ++i)
            EXPECT_EQ(messages[static_cast<std::size_t>(i)], std::to_string(i));
    }
    const std::string bytes = *platform::ReadWholeFile(log.FilePath());
    std::vector<int> next(4, 0);
    std::size_t start = 0;
    int lines = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = bytes.substr(start, end - start);
        start = end + 2;
        ++lines;
        for (std::size_t site = 0; site < 4; ++site) {
            const std::string prefix = "\t" + sites[site].域名 + "(admin)\t";
            const auto at = line.find(prefix);
            if (at == std::string::npos || line.find(Gbk("实际更新")) != std::string::npos)
                continue;
            EXPECT_EQ(line.substr(at + prefix.size()), std::to_string(next[site]++));
        }
    }
    for (int n : next) EXPECT_EQ(n, 200);
}

TEST_F(RunLogFile, ToggleAndLocate) {
    MakeSites({{.articles = 0}});
    UiRelay ui;
    RunLog log(sites, *host, ui);
    log.ToggleLogWindow();
    EXPECT_TRUE(host->logVisible);
    EXPECT_EQ(host->viewLogCaption, "关闭日志");
    log.ToggleLogWindow();
    EXPECT_FALSE(host->logVisible);
    EXPECT_EQ(host->viewLogCaption, "查看日志");
}

}  // namespace
