// Start-up of the main window on a settings file with 1000 sites: from binding the file to
// the shown window (goal: under 1 s), and the exit save of the same list. Offscreen unless
// a platform is set.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

constexpr int kSites = 1000;
constexpr int kRounds = 5;

std::string Gbk(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}

// A settings file as a global save writes it, with every key of every site.
void WriteSettings(const std::string& path) {
    SiteList sites;
    for (int i = 0; i < kSites; ++i) {
        SiteConfig site;
        site.启用 = i % 3 != 0;
        site.用户 = "admin";
        site.密码 = "secret";
        site.域名 = "site" + std::to_string(i) + ".example.com";
        site.后台 = "admin";
        site.标签数据 = Gbk("标签1\r\n标签2\r\n标签3");
        site.文章目录 = Gbk("/srv/文章/") + std::to_string(i);
        site.文件过滤 = "*.txt";
        site.间隔秒1 = 0.5f;
        site.别名类型 = i % 7;
        sites.push_back(site);
    }
    ConfigStore store;
    store.Bind(path);
    SaveAllSettings(store, BasicSettings{}, sites, kSites / 2);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QINGLUAN_NO_SHUTDOWN", "1");
    QApplication app(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / "qingluan-bench-startup";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    platform::SetDataFolder(folder.string());
    const std::string path = platform::JoinPath(folder.string(), ProgramTitle() + ".ini");
    WriteSettings(path);

    std::vector<double> startMs, saveMs;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        ConfigStore store;
        store.Bind(path);
        MainWindow window(store, MainWindowOptions{false, false});
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fputs("startup: the window was not shown\n", stderr);
            return 1;
        }
        QCoreApplication::processEvents();
        startMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (window.Sites().size() != static_cast<std::size_t>(kSites)) {
            std::fprintf(stderr, "startup: %zu sites loaded, %d expected\n", window.Sites().size(), kSites);
            return 1;
        }
        // The exit's save: every site section written again, published once.
        clock.restart();
        SaveAllSettings(store, BasicSettings{}, window.Sites(), kSites / 2);
        saveMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("startup: %d sites, settings file %.1f KB\n", kSites,
                static_cast<double>(std::filesystem::file_size(platform::NativePath(path))) / 1024.0);
    std::printf("startup: bind + load + build + show: median %.1f ms, first %.1f ms (goal < 1000 ms)\n",
                Median(startMs), startMs.front());
    std::printf("startup: global save of the list: median %.1f ms\n", Median(saveMs));
    std::filesystem::remove_all(folder);
    return 0;
}
