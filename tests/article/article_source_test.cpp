#include "article/article_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/charset.h"
#include "core/platform/paths.h"
#include "temp_folder.h"

namespace {

std::string G(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

class ArticleSourceTest : public ::testing::Test {
protected:
    void Files(std::initializer_list<std::string> names) {
        for (const auto& name : names) m_folder.Write(name, "x");
    }
    // The file names a scan listed, sorted (enumeration order is the file system's).
    std::vector<std::string> Names(ScanVariant variant, const std::string& filter) {
        m_site.文章目录 = m_folder.Gbk();
        m_site.文件过滤 = filter;
        std::vector<std::string> names;
        for (const auto& path : ScanArticles(m_site, variant)) {
            EXPECT_EQ(path.substr(0, m_folder.Gbk().size() + 1),
                      m_folder.Gbk() + platform::kPathSeparator);
            names.push_back(path.substr(m_folder.Gbk().size() + 1));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    using V = std::vector<std::string>;
    TempFolder m_folder;
    SiteConfig m_site;
};

TEST_F(ArticleSourceTest, PatternScanModes) {
    Files({"x.txt", "Y.Txt", ".txt", "x.txt.bak", "a.txt", "ab.txt", "abc.txt", "xa.txt", "p.htm",
           "p.html", "README"});
    struct Case {
        const char* filter;
        V names;
    };
    const Case cases[] = {
        {"*.TXT", {".txt", "Y.Txt", "a.txt", "ab.txt", "abc.txt", "x.txt", "xa.txt"}},
        {"a?.txt", {"a.txt", "ab.txt"}},
        {"*.htm", {"p.htm"}},
        {"*.txt|*.htm",
         {".txt", "Y.Txt", "a.txt", "ab.txt", "abc.txt", "p.htm", "x.txt", "xa.txt"}},
        {"readme", {"README"}},
        {"*.*",
         {".txt", "README", "Y.Txt", "a.txt", "ab.txt", "abc.txt", "p.htm", "p.html", "x.txt",
          "x.txt.bak", "xa.txt"}},
        {"",
         {".txt", "README", "Y.Txt", "a.txt", "ab.txt", "abc.txt", "p.htm", "p.html", "x.txt",
          "x.txt.bak", "xa.txt"}},
        {"(", {}},
        {"*[x]*", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Names(ScanVariant::PatternScan, c.filter), c.names) << c.filter;
}

TEST_F(ArticleSourceTest, FindFileScanItems) {
    Files({"x.txt", "Y.TXT", "a.htm", "a.html", "ab.txt", "a.txt", "README"});
    struct Case {
        const char* filter;
        V names;
    };
    const Case cases[] = {
        {"*.txt|*.htm", {"Y.TXT", "a.htm", "a.txt", "ab.txt", "x.txt"}},
        {"*.txt|*.txt", {"Y.TXT", "Y.TXT", "a.txt", "a.txt", "ab.txt", "ab.txt", "x.txt", "x.txt"}},
        {"a?.txt", {"ab.txt"}},  // "?" is exactly one character here
        {"*.*", {"README", "Y.TXT", "a.htm", "a.html", "a.txt", "ab.txt", "x.txt"}},
        {"", {"README", "Y.TXT", "a.htm", "a.html", "a.txt", "ab.txt", "x.txt"}},
        {"readme||x.txt|", {"README", "x.txt"}},
        {"*.htm", {"a.htm"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Names(ScanVariant::FindFileScan, c.filter), c.names) << c.filter;
}

TEST_F(ArticleSourceTest, ListOrderPerItem) {
    Files({"1.txt", "2.htm", "3.txt", "4.htm"});
    m_site.文章目录 = m_folder.Gbk();
    m_site.文件过滤 = "*.txt|*.htm";
    const auto list = FindFileScan(m_site);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].substr(list[0].size() - 4), ".txt");
    EXPECT_EQ(list[1].substr(list[1].size() - 4), ".txt");
    EXPECT_EQ(list[2].substr(list[2].size() - 4), ".htm");
}

TEST_F(ArticleSourceTest, WriteBackIntoTheSite) {
    Files({"a.txt"});
    const std::string folder = m_folder.Gbk();
    const std::string expected = folder + platform::kPathSeparator + "a.txt";
    for (const std::string& given : {folder, folder + platform::kPathSeparator}) {
        m_site.文章目录 = given;
        m_site.文件过滤 = "";
        EXPECT_EQ(PatternScan(m_site), V{expected});
        EXPECT_EQ(m_site.文章目录, given);  // the completed folder stays local
        EXPECT_EQ(m_site.文件过滤, "*");
        m_site.文件过滤 = "";
        EXPECT_EQ(FindFileScan(m_site), V{expected});
        EXPECT_EQ(m_site.文章目录, folder + platform::kPathSeparator);
        EXPECT_EQ(m_site.文件过滤, "*.*");
    }
}

TEST_F(ArticleSourceTest, SubFoldersAndMissingFolders) {
    Files({"a.txt"});
    std::filesystem::create_directories(m_folder.Native() / "sub.txt");
    std::ofstream(m_folder.Native() / "sub.txt" / "inner.txt") << "x";
    EXPECT_EQ(Names(ScanVariant::PatternScan, "*"), V{"a.txt"});
    EXPECT_EQ(Names(ScanVariant::FindFileScan, "*.txt"), V{"a.txt"});

    for (const std::string& folder : {m_folder.Gbk() + "/nope", std::string()}) {
        m_site.文章目录 = folder;
        m_site.文件过滤 = "*";
        EXPECT_TRUE(PatternScan(m_site).empty()) << folder;
        EXPECT_TRUE(FindFileScan(m_site).empty()) << folder;
    }
    EXPECT_EQ(m_site.文章目录, "");  // an empty folder never becomes the root
}

TEST_F(ArticleSourceTest, GbkNamesAndNamesOutsideGbk) {
    const std::string chinese = G("春天的笔记.txt");
    Files({chinese});
    // A name GBK cannot represent (Hangul and an emoji) is left out rather than mangled.
    std::ofstream(m_folder.Native() / "\xED\x95\x9C\xEA\xB8\x80.txt") << "x";
    std::ofstream(m_folder.Native() / "\xF0\x9F\x98\x80.txt") << "x";
    EXPECT_EQ(Names(ScanVariant::PatternScan, "*.txt"), V{chinese});
    EXPECT_EQ(Names(ScanVariant::PatternScan, G("春*")), V{chinese});
    EXPECT_EQ(Names(ScanVariant::FindFileScan, G("春?的*")), V{chinese});
    EXPECT_EQ(Names(ScanVariant::FindFileScan, G("春??的*")), V{});
    EXPECT_EQ(Names(ScanVariant::FindFileScan, "*"), V{chinese});
}

TEST_F(ArticleSourceTest, HostileFilters) {
    Files({"a.txt", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.txt", "(x)[y]{z}.txt"});
    std::string longFilter;
    for (int i = 0; i < 2000; ++i) longFilter += "*a?";  // 6,000 characters
    longFilter += std::string(4000, '*');
    for (const auto variant : {ScanVariant::PatternScan, ScanVariant::FindFileScan}) {
        EXPECT_TRUE(Names(variant, longFilter).empty());
        EXPECT_EQ(Names(variant, "(x)[y]{z}.txt"), V{"(x)[y]{z}.txt"});
        Names(variant, "\\^$+.{}[]=()-\"|?*");  // returns, whatever it lists
    }
    EXPECT_EQ(Names(ScanVariant::PatternScan, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"), V{});
}

TEST(WildcardMatches, Cases) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*", "", true},
        {"*.*", "README", true},
        {"*.txt", "A.TXT", true},
        {"*.txt", "a.txt.bak", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"", "a", false},
        {"**a**", "xay", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatches(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
    EXPECT_TRUE(WildcardMatches(G("?文"), G("中文")));  // "?" is one GBK character
    EXPECT_TRUE(WildcardMatches("?", G("中")));
    EXPECT_FALSE(WildcardMatches("??", G("中")));
}

TEST(ArticleSourceLarge, TenThousandFiles) {
    TempFolder folder;
    for (int i = 0; i < 10000; ++i) {
        std::string name = std::to_string(i);
        name.insert(0, 1, 'f');
        name.append(i % 2 ? ".txt" : ".htm");
        std::ofstream(folder.Native() / name);
    }
    SiteConfig site;
    site.文章目录 = folder.Gbk();
    site.文件过滤 = "f1*.txt|*.htm";
    EXPECT_EQ(PatternScan(site).size(), 5000u + 556u);
    EXPECT_EQ(FindFileScan(site).size(), 5000u + 556u);
    site.文件过滤 = "*.TXT";
    EXPECT_EQ(PatternScan(site).size(), 5000u);
}

}  // namespace
