#include "settings/site_records.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

#include "core/platform/paths.h"
#include "settings/settings_file.h"
#include "settings_test_support.h"

namespace {

class SiteRecordsTest : public ::testing::Test {
protected:
    void Bind(const std::string& utf8Content) {
        WriteFile(m_file, G(utf8Content.c_str()));
        ASSERT_TRUE(m_store.Bind(m_file));
    }
    TempFolder m_folder;
    std::string m_file = m_folder / "s.ini";
    ConfigStore m_store;
};

SiteConfig SampleSite(int n) {
    SiteConfig site;
    site.启用 = n % 2 == 0;
    site.用户 = "user" + std::to_string(n);
    site.密码 = "pw";
    site.域名 = "site" + std::to_string(n) + ".example";
    site.编码 = 1;
    site.后台 = "admin";
    site.标签数据 = G("标签1\r\n标签2\r\n标签3");
    site.标签数1 = 3;
    site.标签数2 = 5;
    site.分类数据 = std::string("\x01\x00tree", 6);
    site.分类ID = "1,2";
    site.别名类型 = 6;
    site.别名起始值 = 900 + n;
    site.文章目录 = G("/用于更新的文章所在目录");
    site.文件过滤 = "*.*";
    site.间隔秒1 = 0.01f;
    site.段落标签 = true;
    return site;
}

bool SamePersisted(const SiteConfig& a, const SiteConfig& b) {
    return SiteKeyValues(a) == SiteKeyValues(b);
}

TEST_F(SiteRecordsTest, GroupAInheritsGroupBTakesFixedDefaults) {
    Bind(
        "[站点配置]\r\n站点数=3\r\n现行项=1\r\n"
        "[站点序号_1]\r\n用户=u1\r\n域名=a.com\r\n后台=\r\n别名类型=4\r\n别名起始值=5\r\n"
        "标签数1=2.9\r\n间隔秒1=0.009999999776483\r\n"
        "[站点序号_2]\r\n域名=b.com\r\n");
    SiteList sites(1);  // loaded records go behind the ones already listed
    EXPECT_EQ(LoadSiteRecords(m_store, sites), 1);
    ASSERT_EQ(sites.size(), 4u);
    const SiteConfig& first = sites[1];
    EXPECT_EQ(first.用户, "u1");
    EXPECT_EQ(first.后台, "admin");  // empty loads as "admin"
    EXPECT_EQ(first.标签数1, 2);     // truncated toward zero
    EXPECT_EQ(first.别名起始值, 5);
    EXPECT_EQ(first.间隔秒1, 0.01f);
    const SiteConfig& second = sites[2];
    EXPECT_EQ(second.用户, "u1");  // inherited
    EXPECT_EQ(second.域名, "b.com");
    EXPECT_EQ(second.标签数1, 2);
    EXPECT_EQ(second.别名类型, 0);  // group B: fixed defaults
    EXPECT_EQ(second.别名起始值, 900);
    EXPECT_EQ(second.别名递增值, 1);
    EXPECT_EQ(second.间隔秒1, 0.0f);
    // A missing section repeats the previous site's group A values.
    EXPECT_EQ(SiteRowText(sites[3]), "b.com(u1)");
}

TEST_F(SiteRecordsTest, SelectedRowAndFileWithoutSites) {
    Bind("[站点配置]\r\n站点数=1\r\n");
    SiteList sites;
    EXPECT_EQ(LoadSiteRecords(m_store, sites), 0);  // missing 现行项 selects the first row
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(sites[0].后台, "admin");
    EXPECT_EQ(SiteRowText(sites[0]), "()");
    Bind("[站点配置]\r\n站点数=0\r\n现行项=-1");
    SiteList none;
    EXPECT_EQ(LoadSiteRecords(m_store, none), -1);
    EXPECT_TRUE(none.empty());
}

TEST_F(SiteRecordsTest, SaveWritesEveryKeyWithItsType) {
    ASSERT_TRUE(m_store.Bind(m_file));
    SiteList sites = {SampleSite(1)};
    ASSERT_TRUE(SaveSiteRecords(m_store, sites, 0));
    const std::string file = ReadFile(m_file);
    // New keys go under the header, so a fresh section lists them in reverse order.
    EXPECT_EQ(file.find(G("[站点配置]\r\n现行项=0\r\n站点数=1\r\n[站点序号_1]\r\n段落标签=真\r\n")),
              0u);
    EXPECT_NE(file.find(G("\r\n间隔秒1=0.009999999776483\r\n")), std::string::npos);
    EXPECT_NE(file.find(G("\r\n标签数据=标签1┊*┊标签2┊*┊标签3\r\n")), std::string::npos);
    EXPECT_NE(file.find(G("\r\n别名起始值=901\r\n")), std::string::npos);
    EXPECT_TRUE(file.ends_with(G("\r\n启用=假")));
    EXPECT_EQ(file.find(G("分类数据")), std::string::npos);
    EXPECT_EQ(ReadFile(m_folder / charset::GbkToUtf8(G("inibin/站点序号_1-分类数据.ibn"))),
              sites[0].分类数据);
}

TEST_F(SiteRecordsTest, GlobalSaveLoadsBackIdentically) {
    ASSERT_TRUE(m_store.Bind(m_file));
    BasicSettings settings;
    settings.同步循环 = true;
    settings.循环间隔秒 = "2.5";
    settings.导入路径 = G("/导入/a.ini");
    SiteList sites;
    for (int n = 1; n <= 5; ++n) sites.push_back(SampleSite(n));
    sites[3].标签数据.clear();
    ASSERT_TRUE(SaveAllSettings(m_store, settings, sites, 2));
    const std::string saved = ReadFile(m_file);
    m_store.Close();

    ConfigStore again;
    ASSERT_TRUE(again.Bind(m_file));
    BasicSettings loaded;
    loaded.选择框失败时重复尝试 = false;
    LoadBasicSettings(again, loaded);
    EXPECT_TRUE(loaded.同步循环);
    EXPECT_EQ(loaded.循环间隔秒, "2.5");
    EXPECT_EQ(loaded.导入路径, settings.导入路径);
    EXPECT_TRUE(loaded.选择框失败时重复尝试);
    SiteList back;
    EXPECT_EQ(LoadSiteRecords(again, back), 2);
    ASSERT_EQ(back.size(), sites.size());
    for (std::size_t i = 0; i < sites.size(); ++i)
        EXPECT_TRUE(SamePersisted(back[i], sites[i])) << i;
    // Saving what was loaded changes nothing.
    ASSERT_TRUE(SaveAllSettings(again, loaded, back, 2));
    EXPECT_EQ(ReadFile(m_file), saved);
}

// A pause too small for a number is no pause, one too large the longest float; either
// way the value saved is a number that loads back as itself.
TEST_F(SiteRecordsTest, OutOfRangePausesStayFiniteThroughSaveAndLoad) {
    Bind(
        "[站点配置]\r\n站点数=4\r\n"
        "[站点序号_1]\r\n间隔秒1=1e-400\r\n[站点序号_2]\r\n间隔秒1=1e39\r\n"
        "[站点序号_3]\r\n间隔秒1=-1e400\r\n[站点序号_4]\r\n间隔秒1=1e-50");
    SiteList sites;
    LoadSiteRecords(m_store, sites);
    ASSERT_EQ(sites.size(), 4u);
    EXPECT_EQ(sites[0].间隔秒1, 0.0f);
    EXPECT_EQ(sites[1].间隔秒1, FLT_MAX);
    EXPECT_EQ(sites[2].间隔秒1, -FLT_MAX);
    EXPECT_EQ(sites[3].间隔秒1, 0.0f);

    sites.push_back(SampleSite(5));
    sites.back().间隔秒1 = std::numeric_limits<float>::infinity();
    ASSERT_TRUE(SaveSiteRecords(m_store, sites, 0));
    const std::string file = ReadFile(m_file);
    EXPECT_EQ(file.find("inf"), std::string::npos);
    EXPECT_NE(file.find(G("\r\n间隔秒1=3.402823466385e+38\r\n")), std::string::npos);

    ConfigStore again;
    m_store.Close();
    ASSERT_TRUE(again.Bind(m_file));
    SiteList back;
    LoadSiteRecords(again, back);
    ASSERT_EQ(back.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(back[i].间隔秒1, sites[i].间隔秒1) << i;
    EXPECT_EQ(back[4].间隔秒1, FLT_MAX);
    ASSERT_TRUE(SaveSiteRecords(again, back, 0));
    EXPECT_EQ(ReadFile(m_file), file);  // and a second round changes nothing
}

TEST_F(SiteRecordsTest, PruneStopsAtTheFirstMissingSection) {
    Bind(
        "[站点配置]\r\n站点数=1\r\n[站点序号_1]\r\n域名=a\r\n[站点序号_2]\r\n域名=b\r\n"
        "[站点序号_3]\r\n域名=c\r\n[站点序号_5]\r\n域名=e");
    ASSERT_TRUE(PruneSiteSections(m_store, 1));
    EXPECT_EQ(ReadFile(m_file),
              G("[站点配置]\r\n站点数=1\r\n[站点序号_1]\r\n域名=a\r\n[站点序号_5]\r\n域名=e"));
}

TEST_F(SiteRecordsTest, SaveSiteEnabledWritesTheRowsSection) {
    Bind("[站点序号_2]\r\n启用=假\r\n域名=b");
    SiteList sites(2);
    EXPECT_TRUE(SaveSiteEnabled(m_store, sites, 1, true));
    EXPECT_TRUE(sites[1].启用);
    EXPECT_EQ(ReadFile(m_file), G("[站点序号_2]\r\n启用=真\r\n域名=b"));
    EXPECT_FALSE(SaveSiteEnabled(m_store, sites, 5, true));
}

TEST_F(SiteRecordsTest, SettingsFileBesideTheData) {
    EXPECT_EQ(ProgramTitle(), G("岚舟·青鸾助手"));
    platform::SetDataFolder(m_folder.path());
    EXPECT_EQ(SettingsFilePath(), m_folder.path() + "/" + G("岚舟·青鸾助手.ini"));
    EXPECT_TRUE(OpenSettings(ProgramTitle()));
    EXPECT_TRUE(std::filesystem::exists(m_folder / "岚舟·青鸾助手.ini"));
    SettingsStore().Close();
}

}  // namespace
