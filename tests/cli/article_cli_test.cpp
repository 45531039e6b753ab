// qingluan-cli scan and preview, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class ArticleCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-c-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir / "articles");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Articles() const { return (m_dir / "articles").string(); }
    void WriteArticle(const std::string& utf8Name, const std::string& bytes) const {
        std::ofstream(m_dir / "articles" / utf8Name, std::ios::binary) << bytes;
    }
    // Writes the settings file with the given sites (texts in UTF-8 are converted).
    void WriteSites(SiteList sites) const {
        ConfigStore store;
        ASSERT_TRUE(store.Bind(*platform::GbkPath(m_dir / "settings.ini")));
        ASSERT_TRUE(SaveSiteRecords(store, sites, -1));
    }
    SiteConfig Site(const std::string& filter) const {
        SiteConfig site;
        site.域名 = "127.0.0.1";
        site.文章目录 = *platform::GbkPath(Articles());
        site.文件过滤 = filter;
        return site;
    }

    CliResult Run(const std::vector<std::string>& args) const {
        return RunCli(m_dir, m_dir / "settings.ini", args);
    }

    std::filesystem::path m_dir;
};

TEST_F(ArticleCli, ScanListsPathsInUtf8) {
    WriteArticle("\xE6\x98\xA5.txt", "a");  // 春.txt
    WriteArticle("b.htm", "b");
    WriteArticle("c.bak", "c");
    WriteSites({Site("*.txt|*.htm"), Site("")});
    const std::string sep(1, platform::kPathSeparator);

    auto result = Run({"scan", "--site", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], Articles() + sep + "\xE6\x98\xA5.txt");  // .txt items before .htm
    EXPECT_EQ(lines[1], Articles() + sep + "b.htm");

    result = Run({"scan", "--site", "2", "--variant", "pattern"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    lines = Lines(result.out);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<std::string>{Articles() + sep + "b.htm", Articles() + sep + "c.bak",
                                        Articles() + sep + "\xE6\x98\xA5.txt"}));
}

TEST_F(ArticleCli, ScanRejectsBadArguments) {
    WriteSites({Site("*")});
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"scan"},
                                               {"scan", "--site", "0"},
                                               {"scan", "--site", "2"},
                                               {"scan", "--site", "x"},
                                               {"scan", "--site", "1", "--variant", "regex"},
                                               {"scan", "--site", "1", "extra"}}) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_TRUE(result.out.empty()) << args.back();
        EXPECT_FALSE(result.err.empty()) << args.back();
    }
}

TEST_F(ArticleCli, ScanWithoutSettingsFile) {
    const auto result = Run({"scan", "--site", "1"});
    EXPECT_EQ(result.exitCode, 2);
}

TEST_F(ArticleCli, PreviewShowsWhatWouldBePosted) {
    WriteArticle("note.txt", "\xE6\x98\xA5\xE5\xA4\xA9 = spring\r\nsecond line\r\n");
    SiteConfig site = Site("*.txt");
    site.文件编码 = 2;
    site.分类ID = "4";
    site.标签数据 = "alpha\r\nbeta";
    site.标签数1 = 2;
    site.标签数2 = 2;
    site.内容摘要数1 = 4;
    site.内容摘要数2 = 4;
    site.别名类型 = 6;
    site.别名起始值 = 900;
    site.段落标签 = true;
    WriteSites({site});

    const auto result = Run({"preview", Articles() + "/note.txt", "--site", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string body = "<p>\xE6\x98\xA5\xE5\xA4\xA9 = spring</p>\r\n<p>second line</p>\r\n";
    const auto lines = Lines(result.out);
    ASSERT_GE(lines.size(), 6u) << result.out;
    EXPECT_EQ(lines[0], "title: note");
    EXPECT_EQ(lines[1], "category: 4");
    EXPECT_TRUE(lines[2] == "tags: alpha,beta" || lines[2] == "tags: beta,alpha") << lines[2];
    EXPECT_EQ(lines[3].rfind("excerpt: \xE6\x98\xA5\xE5\xA4\xA9", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "alias: 900");  // the site was just prepared
    EXPECT_EQ(lines[5], "body:");
    const std::string marker = "body:\n";
    EXPECT_EQ(result.out.substr(result.out.find(marker) + marker.size()), body);
}

TEST_F(ArticleCli, PreviewRejectsBadInput) {
    WriteArticle("empty.txt", "");
    WriteSites({Site("*")});
    const std::vector<std::vector<std::string>> cases = {
        {"preview", Articles() + "/missing.txt", "--site", "1"},
        {"preview", Articles() + "/empty.txt", "--site", "1"},
        {"preview", Articles() + "/empty.txt", "--site", "9"},
        {"preview", Articles() + "/empty.txt"},
        {"preview", "--site", "1"},
        {"preview", Articles(), "--site", "1"},
    };
    for (const auto& args : cases) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args[1];
        EXPECT_TRUE(result.out.empty()) << args[1];
    }
}

// A run skips an article whose body comes out empty, with the row "文章不存在：" and the
// path; preview must say so and why instead of showing it as postable.
TEST_F(ArticleCli, PreviewReportsWhatARunWouldSkip) {
    SiteList sites(4, Site("*"));
    sites[0].首行标题 = true;
    sites[1].首行标题 = true;
    sites[1].段落标签 = true;
    sites[2].段落标签 = true;
    WriteSites(sites);
    struct Case {
        const char* name;
        const char* text;  // written as GBK
        int site;
        const char* reason;  // nullptr: posted
    };
    const std::vector<Case> cases = {
        {"title-only.txt", "只有标题\r\n", 1, "首行标题"},
        {"title-only-no-break.txt", "只有标题", 1, "首行标题"},
        {"title-then-blank.txt", "标题\r\n\r\n\r\n", 2, "首行标题"},
        {"blank-lines.txt", "\r\n\r\n", 3, "段落标签"},
        {"empty.txt", "", 4, "gives no text"},
        // the same files where they do give a body
        {"title-and-body.txt", "标题\r\n正文\r\n", 1, nullptr},
        {"title-then-blank.txt", "标题\r\n\r\n\r\n", 1, nullptr},
        {"blank-lines.txt", "\r\n\r\n", 4, nullptr},
    };
    for (const auto& c : cases) {
        WriteArticle(c.name, charset::Utf8ToGbk(c.text));
        const std::string path = Articles() + "/" + c.name;
        const auto result = Run({"preview", path, "--site", std::to_string(c.site)});
        const std::string what = std::string(c.name) + " on site " + std::to_string(c.site);
        if (!c.reason) {
            EXPECT_EQ(result.exitCode, 0) << what << ": " << result.err;
            EXPECT_NE(result.out.find("\nbody:\n"), std::string::npos) << what;
            continue;
        }
        EXPECT_EQ(result.exitCode, 2) << what;
        EXPECT_EQ(result.out, "") << what;
        EXPECT_NE(result.err.find("would skip"), std::string::npos) << what << ": " << result.err;
        EXPECT_NE(result.err.find("文章不存在：" + path), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << what << ": " << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

}  // namespace
