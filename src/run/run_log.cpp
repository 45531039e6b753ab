#include "run/run_log.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/charset.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/format_now.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "run/run_host.h"
#include "run/run_texts.h"
#include "run/ui_relay.h"

namespace {

// Two decimals at most, no trailing zeros or point.
std::string TwoDecimals(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

bool Below(double value, double limit) {
    return value < limit - 0.0000001;
}

}  // namespace

std::string FormatDuration(std::int64_t d) {
    const RunTexts& t = Texts();
    if (d < 1000) return std::to_string(d) + t.millis;
    const double s = static_cast<double>(d) / 1000.0;
    if (Below(s, 60)) return TwoDecimals(s) + t.seconds;
    const double m = s / 60;
    if (Below(m, 60)) return TwoDecimals(m) + t.minutes;
    const double h = m / 60;
    if (Below(h, 24)) return TwoDecimals(h) + t.hours;
    const double days = h / 24;
    if (Below(days, 30)) return TwoDecimals(days) + t.days;
    const double months = days / 30;
    if (Below(months, 12)) return TwoDecimals(months) + t.months;
    return TwoDecimals(months / 12) + t.years;
}

std::int32_t SiteQuota(const SiteConfig& site, const BasicSettings& settings) {
    return settings.启用全局更新数量 ? TextToInt(settings.全局更新数量) : site.更新数量;
}

RunLog::RunLog(const SiteList& sites, RunHost& host, UiRelay& ui)
    : m_sites(sites), m_host(host), m_ui(ui) {}

void RunLog::OpenRunLog() {
    std::string name = FormatNow(TimeFormat::DateTime);
    for (char& c : name)
        if (c == ':') c = '-';
    static const std::string folderName = charset::Utf8ToGbk("日志");
    const std::string folder = platform::JoinPath(platform::DataFolder(), folderName);
    std::string path = platform::JoinPath(folder, name + ".txt");
    {
        std::lock_guard lock(m_mutex);
        if (m_file.is_open()) m_file.close();
        m_file.clear();
        // A folder or file that cannot be made drops the file lines; the view goes on.
        if (platform::CreateFolders(folder)) {
            // Two runs in the same second share the name: the second one adds to the file
            // instead of wiping the first one's log.
            std::error_code ec;
            const auto existing = std::filesystem::file_size(platform::NativePath(path), ec);
            m_file.open(platform::NativePath(path), std::ios::binary | std::ios::app);
            if (m_file.is_open() && !ec && existing > 0) m_file << "\r\n";
        }
        m_path = path;
    }
    const std::string caption = Texts().locatePrefix + platform::FileNameOf(path);
    m_ui.Post([this, caption] {
        m_host.SetLocateCaption(caption);
        m_host.ClearLogView();
    });
}

std::string RunLog::SiteText(std::int32_t site) const {
    if (site == 0) return Texts().globalSite;
    if (site < 1 || static_cast<std::size_t>(site) > m_sites.size()) return {};
    const SiteConfig& config = m_sites[static_cast<std::size_t>(site) - 1];
    return config.域名 + "(" + config.用户 + ")";
}

void RunLog::WriteLogRow(const std::string& message, std::int32_t site) {
    const std::string text(gbk::UntilZero(message));
    std::lock_guard lock(m_mutex);
    const std::string time = FormatNow(TimeFormat::Time);
    const std::string siteText = SiteText(site);
    if (m_file.is_open()) {
        const std::string line =
            text.empty() ? std::string(35, '-') : time + "\t" + siteText + "\t" + text;
        m_file << line << "\r\n";
        m_file.flush();
    }
    // Queued under the same lock, so the view gets rows in the order of the file.
    m_ui.Post([this, time, siteText, text] { m_host.AppendLogRow(time, siteText, text); });
}

void RunLog::WriteRunSummary(std::int32_t totalPosted, std::int64_t startTick,
                             const BasicSettings& settings) {
    const RunTexts& t = Texts();
    for (std::size_t i = 0; i < m_sites.size(); ++i)
        m_ui.Post([this, i] { m_host.SetSiteRowEnabled(static_cast<std::int32_t>(i + 1), true); });
    WriteLogRow(t.runEnd + FormatNow(TimeFormat::DateTime), 0);
    WriteLogRow(t.tableHead, 0);
    for (std::size_t i = 0; i < m_sites.size(); ++i) {
        const SiteConfig& site = m_sites[i];
        if (!site.启用) continue;
        const std::int32_t quota = SiteQuota(site, settings);
        const std::int32_t shown = quota > 0 ? quota : site.run.articlesRead;
        WriteLogRow(t.summaryPosted + std::to_string(site.run.posted) + t.summaryQuota +
                        std::to_string(shown) + t.summaryRead +
                        std::to_string(site.run.articlesRead) + t.summaryRight,
                    static_cast<std::int32_t>(i + 1));
        PumpEvents();
        m_ui.Drain();
    }
    WriteLogRow(t.totalLeft + std::to_string(totalPosted) + t.totalMiddle +
                    FormatDuration(clock_::TickMs() - startTick),
                0);
    std::lock_guard lock(m_mutex);
    if (m_file.is_open()) m_file.close();
}

void RunLog::ToggleLogWindow() {
    if (m_host.ViewLogCaption() == Texts().viewLog) {
        m_host.SetLogWindowVisible(true);
        m_host.SetViewLogCaption(Texts().closeLog);
        m_host.BringLogToFront();
    } else {
        m_host.SetLogWindowVisible(false);
        m_host.SetViewLogCaption(Texts().viewLog);
    }
}

void RunLog::LocateLogFile() {
    const std::string path = FilePath();
    if (!path.empty() && platform::FileExists(path)) m_host.RevealFile(path);
}

std::string RunLog::FilePath() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}
