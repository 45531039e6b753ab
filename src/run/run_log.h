#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

#include "settings/basic_settings.h"
#include "settings/site_config.h"

class RunHost;
class UiRelay;

// "532 毫秒", "2.5 秒", "3.5 分", "2 时", …: one number, rounded to two decimals,
// without trailing zeros, and one unit.
std::string FormatDuration(std::int64_t milliseconds);

// The run's log: rows in the host's log view and lines in a dated GBK file under the
// data folder's "日志" folder. Rows may come from any thread; each row reaches the file
// and the view whole, and the view gets them on the user-interface thread in the order
// they were written.
class RunLog {
public:
    RunLog(const SiteList& sites, RunHost& host, UiRelay& ui);

    // New log file named by the current time, view cleared.
    void OpenRunLog();
    // One row; site 0 is the whole run ("全局"), a number outside the list gives an
    // empty site column. An empty message is written to the file as 35 "-".
    void WriteLogRow(const std::string& message, std::int32_t site);
    // The end lines and the per-site table, then closes the file. On the
    // user-interface thread, after all jobs have ended.
    void WriteRunSummary(std::int32_t totalPosted, std::int64_t startTick,
                         const BasicSettings& settings);

    // Behind 按钮查看日志 and 按钮定位日志.
    void ToggleLogWindow();
    void LocateLogFile();

    // The current (or last) log file's path, GBK; empty before the first run.
    std::string FilePath() const;

    // The text of the site column for a site number.
    std::string SiteText(std::int32_t site) const;

private:
    const SiteList& m_sites;
    RunHost& m_host;
    UiRelay& m_ui;
    mutable std::mutex m_mutex;  // one row at a time, file line and view row together
    std::ofstream m_file;
    std::string m_path;
};

// The quota of a site for this run: 全局更新数量 when 启用全局更新数量 is checked,
// else the site's 更新数量; 0 or less means none.
std::int32_t SiteQuota(const SiteConfig& site, const BasicSettings& settings);
