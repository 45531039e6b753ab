#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "core/events.h"
#include "core/number_text.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"
#include "settings_test_support.h"

// The store as a window uses it: event handlers run inside its operations, files come from
// other editors, and the process runs in the user's locale.
namespace {

SiteConfig Site(int n) {
    SiteConfig site;
    site.启用 = true;
    site.用户 = "user" + std::to_string(n);
    site.密码 = "pw" + std::to_string(n);
    site.域名 = "site" + std::to_string(n) + ".example";
    site.后台 = "admin" + std::to_string(n);
    site.标签数1 = n;
    site.文章目录 = G("/文章/") + std::to_string(n);
    site.文件过滤 = "*." + std::to_string(n);
    site.间隔秒1 = 0.5f * static_cast<float>(n);
    site.别名起始值 = 900 + n;
    return site;
}

// A row's check box saved by a handler in the middle of the global save: every site's keys
// still land in its own section.
TEST(StoreUnderEvents, CheckBoxSavedMidSaveKeepsEverySiteInItsSection) {
    for (const int at : {1, 50, 120, 200}) {
        TempFolder folder;
        ConfigStore store;
        ASSERT_TRUE(store.Bind(folder / "s.ini"));
        SiteList sites{Site(1), Site(2), Site(3)};
        int pumps = 0;
        SetPumpEventsHook([&] {
            if (++pumps == at) SaveSiteEnabled(store, sites, 0, false);
        });
        SaveAllSettings(store, BasicSettings{}, sites, 0);
        SetPumpEventsHook({});
        ASSERT_GE(pumps, at);
        store.Close();

        ConfigStore again;
        ASSERT_TRUE(again.Bind(folder / "s.ini"));
        SiteList back;
        LoadSiteRecords(again, back);
        ASSERT_EQ(back.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            SiteConfig expected = sites[i];
            EXPECT_EQ(SiteKeyValues(back[i]), SiteKeyValues(expected))
                << "pump " << at << " site " << i;
        }
    }
}

// Files from a Linux editor (LF) or through a text-mode copy (CR CR LF) load whole, and the
// first save keeps every value.
TEST(StoreUnderEvents, ForeignLineEndsLoadAndSurviveASave) {
    const std::string crlf =
        G("[基本配置]\r\n同时站点数=7\r\n[站点配置]\r\n站点数=2\r\n现行项=1\r\n"
          "[站点序号_1]\r\n启用=真\r\n域名=a.com\r\n用户=u\r\n密码=p\r\n"
          "[站点序号_2]\r\n启用=真\r\n域名=b.com\r\n");
    auto replaced = [&](const std::string& by) {
        std::string out;
        for (std::size_t i = 0; i < crlf.size(); ++i) {
            if (crlf.compare(i, 2, "\r\n") == 0) {
                out += by;
                ++i;
            } else {
                out += crlf[i];
            }
        }
        return out;
    };
    for (const char* ends : {"\n", "\r\r\n", "\r\n"}) {
        TempFolder folder;
        WriteFile(folder / "s.ini", replaced(ends));
        ConfigStore store;
        ASSERT_TRUE(store.Bind(folder / "s.ini"));
        EXPECT_EQ(store.Content(), crlf);
        BasicSettings settings;
        LoadBasicSettings(store, settings);
        EXPECT_EQ(settings.同时站点数, "7");
        SiteList sites;
        EXPECT_EQ(LoadSiteRecords(store, sites), 1);
        ASSERT_EQ(sites.size(), 2u);
        EXPECT_TRUE(sites[0].启用 && sites[1].启用);
        EXPECT_EQ(sites[1].用户, "u");  // inherited: the sections were told apart
        ASSERT_TRUE(SaveAllSettings(store, settings, sites, 1));
        store.Close();
        ConfigStore again;
        ASSERT_TRUE(again.Bind(folder / "s.ini"));
        SiteList back;
        LoadSiteRecords(again, back);
        ASSERT_EQ(back.size(), 2u);
        EXPECT_TRUE(back[0].启用 && back[1].启用);
        EXPECT_EQ(back[1].域名, "b.com");
    }
    // A CR without an LF is left as it was.
    EXPECT_EQ(NormaliseLineEnds("a\rb\r"), "a\rb\r");
}

// A locale with a decimal comma, made for the test (Debian ships only C locales); without
// localedef the test has nothing to show and is skipped.
TEST(StoreUnderEvents, NumbersIgnoreTheProcessLocale) {
    TempFolder folder;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + folder.path() + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef could not build de_DE";
    ::setenv("LOCPATH", folder.path().c_str(), 1);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        ::unsetenv("LOCPATH");
        GTEST_SKIP() << "the de_DE locale did not load";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5");  // the locale is really in force
    EXPECT_EQ(FormatNumber(static_cast<double>(0.01f)), "0.009999999776483");
    EXPECT_EQ(FormatNumber(2.5), "2.5");
    EXPECT_DOUBLE_EQ(TextToNumber("0.009999999776483"), 0.009999999776483);
    {
        ConfigStore store;
        ASSERT_TRUE(store.Bind(folder / "s.ini"));
        store.SelectSection("x");
        store.WriteNumber("n", 1.25);
        EXPECT_DOUBLE_EQ(store.ReadNumber("n", 0), 1.25);
        EXPECT_NE(store.Content().find("n=1.25"), std::string::npos);
    }
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
}

// A drop-down that loses its selection when its items are replaced, as a real one does.
class ResettingCombo : public FormControl {
public:
    std::string Name() const override { return G("组合框列表"); }
    std::int32_t Index() const override { return m_index; }
    void SetIndex(std::int32_t index) override {
        m_index = index >= 0 && static_cast<std::size_t>(index) < m_items.size() ? index : -1;
    }
    std::vector<std::string> Items() const override { return m_items; }
    void SetItems(const std::vector<std::string>& items) override {
        m_items = items;
        m_index = -1;
    }

private:
    std::vector<std::string> m_items{"a", "b", "c"};
    std::int32_t m_index = 2;
};

TEST(StoreUnderEvents, DropDownGetsItsItemsBeforeItsIndex) {
    TempFolder folder;
    ConfigStore store;
    ASSERT_TRUE(store.Bind(folder / "s.ini"));
    ResettingCombo saved;
    FormWindow window{&saved};
    store.PersistWindow(window, ConfigStore::Direction::Save, "w", {}, true, false);
    ResettingCombo restored;
    restored.SetItems({"x"});
    FormWindow again{&restored};
    store.PersistWindow(again, ConfigStore::Direction::Restore, "w", {}, true, false);
    EXPECT_EQ(restored.Items(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(restored.Index(), 2);
}

}  // namespace
