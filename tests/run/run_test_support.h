#pragma once

// A recording host, a loopback sandbox with a few sites, article folders and the
// controller that runs them: the pieces every run test builds on.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/charset.h"
#include "core/events.h"
#include "core/platform/paths.h"
#include "core/platform/shutdown.h"
#include "run/run_controller.h"
#include "run/run_host.h"
#include "run/shutdown_countdown.h"
#include "sandbox/sandbox_server.h"
#include "settings/site_config.h"

inline std::string Gbk(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}
inline std::string Utf8(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

// Nothing in these tests may switch the machine off, whatever a test does.
inline const bool kNoShutdownGuard = [] {
    ::setenv("QINGLUAN_NO_SHUTDOWN", "1", 1);
    platform::SetShutdownActionForTesting([] { return false; });
    return true;
}();

struct LogRow {
    std::string time, site, message;  // UTF-8
};

// Records what the run does to the windows (texts as UTF-8) and checks that every call
// arrives on the thread that started the run.
class RecordingHost : public RunHost {
public:
    explicit RecordingHost(SiteList& sites) : m_sites(sites) {}

    BasicSettings settings;
    std::vector<std::string> events;
    std::vector<LogRow> rows;
    std::vector<bool> rowEnabled;
    std::vector<std::string> messages;
    std::string viewLogCaption = "查看日志";
    std::string startCaption = "开始站群更新";
    std::string locateCaption;
    bool logVisible = false;
    int saves = 0;
    int countdowns = 0;
    bool stopCountdown = false;  // press 停止关机！ instead of letting it run out
    std::vector<std::string> countdownLabels;
    std::thread::id uiThread = std::this_thread::get_id();
    int offThreadCalls = 0;
    // Called after every row reaches the view (on the user-interface thread).
    std::function<void(const LogRow&)> onRow;

    BasicSettings ReadRunSettings() override {
        Check();
        return settings;
    }
    void SetStartCaption(const std::string& caption) override {
        Check();
        startCaption = Utf8(caption);
        events.push_back("caption:" + startCaption);
    }
    void SetRunControlsEnabled(bool enabled) override {
        Check();
        events.push_back(enabled ? "controls:on" : "controls:off");
    }
    void SetSiteStopVisible(bool visible) override {
        Check();
        events.push_back(visible ? "stop:shown" : "stop:hidden");
    }
    void SetSiteStopEnabled(bool) override { Check(); }
    bool IsSiteRowChecked(std::int32_t site) override {
        Check();
        return m_sites[static_cast<std::size_t>(site) - 1].启用;
    }
    void SetSiteRowEnabled(std::int32_t site, bool enabled) override {
        Check();
        if (rowEnabled.size() < m_sites.size()) rowEnabled.resize(m_sites.size(), true);
        rowEnabled[static_cast<std::size_t>(site) - 1] = enabled;
    }
    void ClearLogView() override {
        Check();
        rows.clear();
    }
    void AppendLogRow(const std::string& time, const std::string& site,
                      const std::string& message) override {
        Check();
        rows.push_back({time, Utf8(site), Utf8(message)});
        if (onRow) onRow(rows.back());
    }
    void SetLocateCaption(const std::string& caption) override {
        Check();
        locateCaption = Utf8(caption);
    }
    void SetLogWindowVisible(bool visible) override {
        Check();
        logVisible = visible;
    }
    std::string ViewLogCaption() override { return Gbk(viewLogCaption); }
    void SetViewLogCaption(const std::string& caption) override { viewLogCaption = Utf8(caption); }
    void BringLogToFront() override { Check(); }
    void RevealFile(const std::string&) override {}
    void ShowCompletionMessage(const std::string& message) override {
        Check();
        messages.push_back(Utf8(message));
    }
    void SaveAllSettings() override { ++saves; }
    void RunShutdownCountdown(ShutdownCountdown& countdown) override {
        ++countdowns;
        while (countdown.TimerRunning()) {
            if (stopCountdown) {
                messages.push_back(Utf8(countdown.StopClicked()));
                break;
            }
            countdown.Tick([&] { countdownLabels.push_back(Utf8(countdown.LabelText())); });
        }
    }

    // Rows of one site column (UTF-8), in view order.
    std::vector<std::string> MessagesOf(const std::string& siteText) const {
        std::vector<std::string> out;
        for (const auto& row : rows)
            if (row.site == siteText) out.push_back(row.message);
        return out;
    }

private:
    void Check() {
        if (std::this_thread::get_id() != uiThread) ++offThreadCalls;
    }
    SiteList& m_sites;
};

// Options of one sandbox site and its article folder for a test.
struct SiteSetup {
    int articles = 3;
    std::int32_t quota = 0;
    float pause = 0.0f;
    bool deletePosted = false;
    std::string password;  // empty: the sandbox's; "-" leaves the record's password empty
    bool missingFolder = false;
    bool gbkSite = false;  // with pro: a pro site (UTF-8 only) whose record says GBK
    bool pro = false;
    bool captcha = false;        // pro with its login captcha on
    bool silentNotices = false;  // 5.x whose list shows no notice after a save, as 6.1
};

class RunFixture : public ::testing::Test {
protected:
    void TearDown() override {
        SetPumpEventsHook({});
        if (m_server) m_server->Stop();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    // Starts the sandbox with the sites, writes their article folders and the records.
    void MakeSites(const std::vector<SiteSetup>& setups, std::int32_t latencyMs = 0) {
        ASSERT_TRUE(kNoShutdownGuard);
        m_folder = std::filesystem::temp_directory_path() /
                   ("qingluan-run-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        platform::SetDataFolder(m_folder.string());
        sandbox::ServerOptions options;
        options.latencyMs = latencyMs;
        for (std::size_t i = 0; i < setups.size(); ++i) {
            sandbox::SiteOptions site;
            site.prefix = "blog" + std::to_string(i + 1);
            site.charset =
                setups[i].gbkSite ? sandbox::SiteCharset::Gbk : sandbox::SiteCharset::Utf8;
            site.categories = {{1, "技术", "", 0}, {2, "生活", "", 0}};
            site.pro = setups[i].pro || setups[i].captcha;
            site.loginCaptcha = setups[i].captcha;
            site.silentNotices = setups[i].silentNotices;
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
        sites.clear();
        for (std::size_t i = 0; i < setups.size(); ++i) {
            const SiteSetup& setup = setups[i];
            SiteConfig site;
            site.启用 = true;
            site.域名 = m_server->Domain(i);
            site.后台 = m_server->AdminDir(i);
            site.编码 = setup.gbkSite ? 1 : 0;
            site.用户 = "admin";
            site.密码 = setup.password.empty()  ? "admin888"
                        : setup.password == "-" ? ""
                                                : setup.password;
            site.分类ID = "1,2";
            site.更新数量 = setup.quota;
            site.间隔秒1 = setup.pause;
            site.删除已更新文章 = setup.deletePosted;
            site.文件过滤 = "*.txt";
            const auto folder = m_folder / ("articles" + std::to_string(i + 1));
            site.文章目录 = *platform::GbkPath(folder);
            if (!setup.missingFolder) std::filesystem::create_directories(folder);
            for (int k = 1; k <= setup.articles; ++k) WriteArticle(i, ArticleTitle(i, k));
            sites.push_back(std::move(site));
        }
        host = std::make_unique<RecordingHost>(sites);
        controller = std::make_unique<RunController>(sites, *host);
        controller->SetShutdownAction([this] {
            ++shutdownRequests;
            return false;
        });
    }

    static std::string ArticleTitle(std::size_t site, int k) {
        return "站点" + std::to_string(site + 1) + "第" + std::to_string(k) + "篇文章";
    }

    // One GBK article file "<title>.txt" in the site's folder.
    void WriteArticle(std::size_t site, const std::string& title) {
        const auto folder = m_folder / ("articles" + std::to_string(site + 1));
        std::ofstream out(folder / (title + ".txt"), std::ios::binary);
        out << Gbk("这是《" + title + "》的正文。\r\n第二段落，讲一些生活和技术的事情。\r\n");
    }

    std::size_t FilesLeft(std::size_t site) const {
        const auto folder = m_folder / ("articles" + std::to_string(site + 1));
        std::size_t n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            (void)entry;
            ++n;
        }
        return n;
    }

    // The site column text of site i (0-based).
    std::string SiteText(std::size_t i) const { return Utf8(sites[i].域名) + "(admin)"; }

    // Titles the sandbox stored for site i, sorted.
    std::vector<std::string> PostedTitles(std::size_t i) const {
        std::vector<std::string> titles;
        for (const auto& post : m_server->Posts(i)) titles.push_back(post.title);
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    // Runs a whole update with the start button (left click).
    void RunOnce(bool syncCycle = false) {
        host->settings.同步循环 = syncCycle;
        host->settings.先后独立 = !syncCycle;
        controller->StartButtonClicked();
    }

    sandbox::SandboxServer& Server() { return *m_server; }

    SiteList sites;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<RunController> controller;
    int shutdownRequests = 0;
    std::filesystem::path m_folder;

private:
    std::unique_ptr<sandbox::SandboxServer> m_server;
};
