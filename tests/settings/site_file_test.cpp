#include "settings/site_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/platform/files.h"
#include "settings/memory_site_view.h"
#include "settings/site_records.h"
#include "settings_test_support.h"

namespace {

std::string U(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

// A site with every kind of value set, a category tree of its own included.
SiteConfig Sample(const std::string& domain, const std::string& user, bool enabled) {
    SiteConfig site = DesignSiteValues();
    site.启用 = enabled;
    site.域名 = domain;
    site.用户 = user;
    site.密码 = "pw-" + domain;
    site.编码 = 1;
    site.标签数据 = G("体育\r\n新闻");
    site.别名类型 = 6;
    site.别名起始值 = 42;
    site.间隔秒1 = 0.25f;
    site.删除已更新文章 = true;
    CategoryTree tree;
    tree.items = {{G("新闻"), "3", 0, CategoryTree::kMixed},
                  {G("国内"), "4", 1, CategoryTree::kChecked},
                  {G("体育") + domain, "9", 0, CategoryTree::kUnchecked}};
    site.分类数据 = tree.Serialize();
    site.分类ID = tree.CheckedValues();
    site.分类选择项 = 1;
    return site;
}

unsigned Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

// The main window's list and editor over a site list, with nothing running unless said.
class SiteFileTest : public ::testing::Test {
protected:
    void Show(const SiteList& list) {
        sites = list;
        editor.RefreshRows();
    }
    SiteImportResult Import(const std::string& path) {
        return ImportSiteFile(path, sites, editor, view, [this] { return running; });
    }
    std::string LastMessage() const { return view.messages.empty() ? "" : U(view.messages.back()); }

    TempFolder folder;
    std::string file = folder / "export.ini";
    SiteList sites;
    MemorySiteView view;
    bool running = false;
    SiteEditor editor{sites, view, nullptr, [this] { return !running; }};
};

TEST_F(SiteFileTest, ExportThenImportIntoAnEmptyListGivesTheSameSites) {
    const SiteList original = {Sample("a.example", "admin", true),
                               Sample("b.example", G("甲"), false),
                               Sample("c.example/blog", "admin", true)};
    ASSERT_EQ(ExportSiteFile(file, original, 1, view), SiteFileOutcome::Done);
    EXPECT_EQ(LastMessage(), "导出站点配置成功：" + file + "\r\n\r\n下次你可以重新导入进来！");
    EXPECT_TRUE(platform::FileExists(folder / ("inibin/" + G("站点序号_2-分类数据.ibn"))));

    MemorySiteView other;
    SiteList imported;
    SiteEditor otherEditor(imported, other, nullptr, nullptr);
    const auto result = ImportSiteFile(file, imported, otherEditor, other, nullptr);
    EXPECT_EQ(result.added, 3);
    EXPECT_TRUE(other.messages.empty());
    ASSERT_EQ(imported.size(), original.size());
    for (std::size_t i = 0; i < original.size(); ++i) {
        EXPECT_EQ(SiteKeyValues(imported[i]), SiteKeyValues(original[i])) << i;
        EXPECT_EQ(CategoryTree::Parse(imported[i].分类数据).Serialize(), original[i].分类数据);
        EXPECT_EQ(other.rows[i].text, SiteRowText(original[i]));
        EXPECT_EQ(other.rows[i].checked, original[i].启用);
    }
    // the file's saved selection (row 1) is not taken over
    EXPECT_EQ(other.selected, -1);
    EXPECT_EQ(U(other.listTitle).find("emlog网站列表(3)"), 0u);
}

TEST_F(SiteFileTest, ExportIntoAnExistingFileKeepsItsOtherSections) {
    const std::string before =
        G("[基本配置]\r\n同时站点数=9\r\n[站点配置]\r\n站点数=3\r\n[站点序号_1]\r\n域名=old1\r\n"
          "[站点序号_3]\r\n域名=old3\r\n[批处理工具]\r\n编辑框父类ID=12");
    WriteFile(file, before);
    ::chmod(file.c_str(), 0640);
    ASSERT_EQ(ExportSiteFile(file, {Sample("a.example", "admin", true)}, 0, view),
              SiteFileOutcome::Done);
    const std::string after = ReadFile(file);
    for (const char* kept : {"[基本配置]\r\n同时站点数=9\r\n", "[站点序号_3]\r\n域名=old3\r\n",
                             "[批处理工具]\r\n编辑框父类ID=12"})
        EXPECT_NE(after.find(G(kept)), std::string::npos) << kept;
    EXPECT_EQ(after.find(G("域名=old1")), std::string::npos);
    EXPECT_EQ(Mode(file), 0640u);  // the user's own file keeps its mode

    // 站点数 limits the import: the stale third section is not read back
    EXPECT_EQ(Import(file).added, 1);
}

TEST_F(SiteFileTest, ANewExportFileIsTheOwnersOnly) {
    const mode_t old = ::umask(022);
    const auto outcome = ExportSiteFile(file, {Sample("a.example", "admin", true)}, 0, view);
    ::umask(old);
    ASSERT_EQ(outcome, SiteFileOutcome::Done);
    EXPECT_EQ(Mode(file), 0600u);
    EXPECT_NE(ReadFile(file).find("pw-a.example"), std::string::npos);
}

TEST_F(SiteFileTest, AnExportThatCannotBeWrittenSaysSo) {
    const std::string missingFolder = folder / "no/such/folder/x.ini";
    EXPECT_EQ(ExportSiteFile(missingFolder, {Sample("a.example", "admin", true)}, 0, view),
              SiteFileOutcome::Failed);
    EXPECT_EQ(LastMessage().find("导出站点配置失败：" + missingFolder), 0u) << LastMessage();

    // a file another holder keeps (the program's own settings file, bound elsewhere)
    ConfigStore holder;
    ASSERT_TRUE(holder.Bind(file));
    EXPECT_EQ(ExportSiteFile(file, {Sample("a.example", "admin", true)}, 0, view),
              SiteFileOutcome::Failed);
    EXPECT_EQ(LastMessage().find("导出站点配置失败："), 0u);
}

TEST_F(SiteFileTest, ImportSkipsSitesAlreadyListed) {
    ASSERT_EQ(
        ExportSiteFile(file,
                       {Sample("a.example", "admin", true), Sample("b.example", "admin", true),
                        Sample("a.example", "admin", false), Sample("a.example", "other", true)},
                       0, view),
        SiteFileOutcome::Done);
    Show({Sample("b.example", "admin", true), Sample("z.example", "admin", true)});
    view.SelectRow(1);
    view.messages.clear();
    const auto result = Import(file);
    EXPECT_EQ(result.added, 2);
    ASSERT_EQ(sites.size(), 4u);
    EXPECT_EQ(SiteRowText(sites[2]), "a.example(admin)");
    EXPECT_EQ(SiteRowText(sites[3]), "a.example(other)");
    EXPECT_EQ(view.rows.size(), 4u);
    EXPECT_EQ(view.selected, 1);
    // a row of the list, and a second site of the file itself, count as already listed
    EXPECT_EQ(result.skipped, (std::vector<std::string>{"b.example(admin)", "a.example(admin)"}));
    EXPECT_EQ(LastMessage(),
              "以下 2 个站点在网站列表中已有相同的‘域名(用户名)’，没有导入：\r\n"
              "b.example(admin)\r\na.example(admin)");
}

TEST_F(SiteFileTest, ImportIsRefusedWhileAnUpdateRuns) {
    ASSERT_EQ(ExportSiteFile(file, {Sample("a.example", "admin", true)}, 0, view),
              SiteFileOutcome::Done);
    running = true;
    const auto result = Import(file);
    EXPECT_EQ(result.outcome, SiteFileOutcome::Refused);
    EXPECT_TRUE(sites.empty());
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(LastMessage(), "站群更新正在进行，不能导入站点配置文件，请在更新结束后再试！");
}

TEST_F(SiteFileTest, ImportOfAMissingFileAddsNothingAndCreatesNothing) {
    const auto result = Import(file);
    EXPECT_EQ(result.added, 0);
    EXPECT_FALSE(platform::FileExists(file));
    EXPECT_TRUE(view.messages.empty());
}

}  // namespace
