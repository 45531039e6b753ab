// Figures of the settings file: a global save of 1000 sites into a fresh file and over
// an existing one, and the start-up load of those 1000 sites. Goal: each under 200 ms.
// Then a file of 8000 sites whose section headers carry a blank after the "]" and lack
// a few keys, as hand-edited or older files do: its load and its resave.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/charset.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

SiteList MakeSites(int count, bool withCategories) {
    SiteList sites(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SiteConfig& site = sites[static_cast<std::size_t>(i)];
        site.启用 = true;
        site.用户 = "admin";
        site.密码 = "secret" + std::to_string(i);
        site.域名 = "blog" + std::to_string(i) + ".example.com";
        site.后台 = "admin";
        site.标签数据 = charset::Utf8ToGbk("标签1\r\n标签2\r\n标签3\r\n标签4\r\n标签5\r\n标签6");
        site.标签数1 = 3;
        site.标签数2 = 5;
        site.内容摘要数1 = 85;
        site.内容摘要数2 = 127;
        if (withCategories) site.分类数据 = "category tree " + std::to_string(i);
        site.分类ID = "1,2,3";
        site.别名左边 = "tb_";
        site.别名右边 = "_soft";
        site.文章目录 = charset::Utf8ToGbk("/srv/文章/") + std::to_string(i);
        site.文件过滤 = "*.*";
        site.间隔秒1 = 0.01f;
    }
    return sites;
}

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

// changeCategories: the existing-file save also changes every site's 分类数据, so all
// 1000 side files are replaced too (each is a file creation plus a rename).
void Run(const char* label, bool withCategories, bool changeCategories) {
    char pattern[] = "/tmp/qingluan-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string file = folder + "/settings.ini";
    const SiteList sites = MakeSites(1000, withCategories);
    const BasicSettings settings;

    ConfigStore store;
    store.Bind(file);
    auto start = std::chrono::steady_clock::now();
    const bool fresh = SaveAllSettings(store, settings, sites, 0);
    const double freshMs = Ms(start);

    SiteList changed = sites;
    for (auto& site : changed) {
        site.密码 += "x";
        if (changeCategories) site.分类数据 += "y";
    }
    start = std::chrono::steady_clock::now();
    const bool existing = SaveAllSettings(store, settings, changed, 0);
    const double existingMs = Ms(start);
    store.Close();

    start = std::chrono::steady_clock::now();
    ConfigStore startup;
    startup.Bind(file);
    BasicSettings loaded;
    LoadBasicSettings(startup, loaded);
    SiteList back;
    LoadSiteRecords(startup, back);
    const double loadMs = Ms(start);

    std::printf("%s (file %ju bytes):\n", label,
                static_cast<std::uintmax_t>(std::filesystem::file_size(file)));
    std::printf("  SaveAllSettings 1000 sites, fresh file:    %8.1f ms%s\n", freshMs,
                fresh ? "" : "  (FAILED)");
    std::printf("  SaveAllSettings 1000 sites, existing file: %8.1f ms%s\n", existingMs,
                existing ? "" : "  (FAILED)");
    std::printf("  start-up load of 1000 sites:               %8.1f ms (%zu records)\n", loadMs,
                back.size());
    std::filesystem::remove_all(folder);
}

// Linear, not quadratic: ten times the sites should take about ten times as long.
void Scaling() {
    for (const int count : {1000, 10000}) {
        char pattern[] = "/tmp/qingluan-bench-XXXXXX";
        const std::string folder = mkdtemp(pattern);
        ConfigStore store;
        store.Bind(folder + "/settings.ini");
        const SiteList sites = MakeSites(count, false);
        const auto start = std::chrono::steady_clock::now();
        SaveAllSettings(store, BasicSettings{}, sites, 0);
        std::printf("scaling: SaveAllSettings of %5d sites into a fresh file: %8.1f ms\n", count,
                    Ms(start));
        store.Close();
        std::filesystem::remove_all(folder);
    }
}

// Each "[站点序号_N]" header gets a blank after it, and each site section loses the
// keys in `dropped`: a search for those keys may not stop at such a header.
std::string WithTrailingBlanks(const std::string& bytes, const std::vector<std::string>& dropped) {
    const std::string siteHeader = "[" + charset::Utf8ToGbk("站点序号_");
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 64);
    bool inSite = false;
    for (std::size_t start = 0; start <= bytes.size();) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line[0] == '[') {
            inSite = line.compare(0, siteHeader.size(), siteHeader) == 0;
            if (inSite) line += ' ';
        } else if (inSite) {
            bool drop = false;
            for (const auto& key : dropped)
                if (line.compare(0, key.size() + 1, key + "=") == 0) drop = true;
            if (drop) continue;
        }
        if (!out.empty()) out += "\r\n";
        out += line;
    }
    return out;
}

void TrailingBlanks(int count) {
    char pattern[] = "/tmp/qingluan-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string file = folder + "/settings.ini";
    const SiteList sites = MakeSites(count, false);
    {
        ConfigStore store;
        store.Bind(file);
        SaveAllSettings(store, BasicSettings{}, sites, 0);
        const std::string bytes = store.Content();
        store.Close();
        std::ofstream(file, std::ios::binary | std::ios::trunc) << WithTrailingBlanks(
            bytes, {charset::Utf8ToGbk("编码"), charset::Utf8ToGbk("首行标题"),
                    charset::Utf8ToGbk("段落标签")});
    }

    auto start = std::chrono::steady_clock::now();
    ConfigStore store;
    store.Bind(file);
    BasicSettings loaded;
    LoadBasicSettings(store, loaded);
    SiteList back;
    LoadSiteRecords(store, back);
    const double loadMs = Ms(start);

    start = std::chrono::steady_clock::now();
    const bool saved = SaveAllSettings(store, loaded, back, 0);
    const double saveMs = Ms(start);
    store.Close();

    std::printf(
        "%d sites, a blank after each site header, 3 keys missing per site (file %ju bytes):\n",
        count, static_cast<std::uintmax_t>(std::filesystem::file_size(file)));
    std::printf("  start-up load:                             %8.1f ms (%zu records)\n", loadMs,
                back.size());
    std::printf("  SaveAllSettings over it:                   %8.1f ms%s\n", saveMs,
                saved ? "" : "  (FAILED)");
    std::filesystem::remove_all(folder);
}

}  // namespace

int main() {
    Run("sites without category data", false, false);
    Run("sites with category data, unchanged by the second save", true, false);
    Run("sites with category data, all 1000 side files changed", true, true);
    Scaling();
    TrailingBlanks(8000);
    return 0;
}
