#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "settings/settings_file.h"
#include "settings/site_records.h"
#include "settings_test_support.h"

namespace {

std::string SavedFile(int sites) {
    TempFolder folder;
    ConfigStore store;
    store.Bind(folder / "s.ini");
    SiteList list(static_cast<std::size_t>(sites));
    for (int i = 0; i < sites; ++i)
        list[static_cast<std::size_t>(i)].域名 = "d" + std::to_string(i);
    SaveAllSettings(store, BasicSettings{}, list, 0);
    return store.Content();
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(random());
    return bytes;
}

struct BadFile {
    const char* name;
    std::function<std::string()> content;
    std::size_t sites;
    // Bytes of the original that a save must keep (the whole original when empty).
    std::function<void(const std::string& original, const std::string& saved)> check;
};

// Line ends become CR LF on loading; every other byte stays.
void KeepsOriginalAsPrefix(const std::string& original, const std::string& saved) {
    EXPECT_TRUE(saved.starts_with(NormaliseLineEnds(original)));
}

TEST(BadSettingsFiles, LoadAndSaveWithoutLoss) {
    const std::string big = G("[杂项]\r\n") + std::string(50 << 20, 'x') + "\r\n";
    const BadFile cases[] = {
        {"empty", [] { return std::string(); }, 0, KeepsOriginalAsPrefix},
        {"cut mid-line",
         [] {
             const std::string full = SavedFile(3);
             return full.substr(0, full.rfind(G("域名=")) + 5);
         },
         3, nullptr},
        {"binary garbage", [] { return RandomBytes(1 << 20); }, 0, KeepsOriginalAsPrefix},
        {"50 MB", [&] { return big + SavedFile(2); }, 2,
         [&](const std::string&, const std::string& saved) {
             EXPECT_TRUE(saved.starts_with(big));
         }},
        {"header without ]", [] { return G("[站点配置\r\n站点数=2\r\n[站点序号_1\r\n域名=a"); }, 0,
         KeepsOriginalAsPrefix},
        {"duplicate sections and keys",
         [] {
             return G(
                 "[站点配置]\r\n站点数=1\r\n站点数=5\r\n[站点序号_1]\r\n域名=first\r\n"
                 "域名=second\r\n[站点序号_1]\r\n域名=third");
         },
         1,
         [](const std::string&, const std::string& saved) {
             EXPECT_NE(saved.find(G("域名=second")), std::string::npos);
             EXPECT_NE(saved.find(G("[站点序号_1]\r\n域名=third")), std::string::npos);
         }},
        {"站点数 100000",
         [] { return G("[站点配置]\r\n站点数=100000\r\n[站点序号_1]\r\n[站点序号_2]\r\n"); },
         2 + kMaxMissingTailSites, nullptr},
        {"站点数 -5", [] { return G("[站点配置]\r\n站点数=-5\r\n[站点序号_1]"); }, 0, nullptr},
        {"站点数 abc", [] { return G("[站点配置]\r\n站点数=abc\r\n[站点序号_1]"); }, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string file = folder / "s.ini";
        const std::string original = c.content();
        WriteFile(file, original);
        ConfigStore store;
        ASSERT_TRUE(store.Bind(file));
        BasicSettings settings;
        LoadBasicSettings(store, settings);
        SiteList sites;
        LoadSiteRecords(store, sites);
        EXPECT_EQ(sites.size(), c.sites);
        ASSERT_TRUE(SaveAllSettings(store, settings, sites, 0));
        const std::string saved = ReadFile(file);
        if (c.check) c.check(original, saved);
        // What was saved loads back as the same records.
        ConfigStore again;
        again.Bind(file, ConfigStore::BindMode::ReadOnly);
        SiteList back;
        LoadSiteRecords(again, back);
        ASSERT_EQ(back.size(), sites.size());
        for (std::size_t i = 0; i < sites.size(); ++i)
            EXPECT_EQ(SiteKeyValues(back[i]), SiteKeyValues(sites[i]));
    }
}

}  // namespace
