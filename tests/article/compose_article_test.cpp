#include "article/compose_article.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/charset.h"
#include "core/platform/paths.h"
#include "temp_folder.h"

namespace {

std::string G(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string Sep() {
    return std::string(1, platform::kPathSeparator);
}

TEST(ComposeHelpers, TitleFromFileName) {
    const std::string s = Sep();
    struct Case {
        std::string path;
        std::string title;
    };
    const Case cases[] = {
        {"a" + s + "b" + s + "note.txt", "note"},
        {"a" + s + "two.dots.htm", "two.dots"},
        {"a" + s + "nodot", "nodot"},
        {"a" + s + ".txt", ""},
        {"plain.txt", "plain"},
        {"dir.d" + s + "name", "name"},
        {G("目录") + s + G("[#12#]春天.txt"), G("[#12#]春天")},
    };
    for (const auto& c : cases) EXPECT_EQ(TitleFromFileName(c.path), c.title) << c.path;
}

TEST(ComposeHelpers, StripTags) {
    struct Case {
        const char* text;
        const char* stripped;
    };
    const Case cases[] = {
        {"<p>a</p>b", "ab"},   {"<a<b>>", "<a>"},  // a span formed only by the removal stays
        {"1 < 2 > 0", "1  0"}, {"x <unclosed", "x <unclosed"},
        {"><>", ">"},          {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StripTags(c.text), c.stripped) << c.text;
}

TEST(ComposeHelpers, TakeFirstLineTitle) {
    struct Case {
        std::string body;
        std::string title;
        std::string rest;
    };
    const std::string wide = "\xA1\xA1";
    const Case cases[] = {
        {"First\r\nsecond\r\n", "First", "second\r\n"},
        {"\r\n  \r\n<p></p>\r\n<h1> Head </h1>\nbody", "Head", "body"},
        {wide + G("标题") + wide + "\nx", G("标题"), "x"},
        {"only line", "only line", ""},
        {"\r\n \r\n<br>\r\n", "old", ""},  // nothing visible: title stays, body empties
        {"", "old", ""},
    };
    for (const auto& c : cases) {
        std::string title = "old";
        std::string body = c.body;
        TakeFirstLineTitle(title, body);
        EXPECT_EQ(title, c.title) << c.body;
        EXPECT_EQ(body, c.rest) << c.body;
    }
}

TEST(ComposeHelpers, WrapParagraphs) {
    struct Case {
        const char* body;
        const char* wrapped;
    };
    const Case cases[] = {
        {"a\r\n\r\nb", "<p>a</p>\r\n<p>b</p>\r\n"},
        {"a\n\nb\n", "<p>a</p>\r\n<p>b</p>\r\n"},
        {"  \r\n", "<p>  </p>\r\n"},
        {"\r\n\n", ""},
        {"x\ry", "<p>x\ry</p>\r\n"},
    };
    for (const auto& c : cases) {
        std::string body = c.body;
        WrapParagraphs(body);
        EXPECT_EQ(body, c.wrapped) << c.body;
    }
}

TEST(ComposeHelpers, CategoryListAndPicker) {
    SiteConfig site;
    site.分类ID = "5,,7";
    PrepareCategoryList(site);
    EXPECT_EQ(site.prep.categoryIds, (std::vector<std::int32_t>{5, 0, 7}));
    std::multiset<std::int32_t> drawn;
    for (int i = 0; i < 3; ++i) drawn.insert(ChooseCategory(site));
    EXPECT_EQ(drawn, (std::multiset<std::int32_t>{0, 5, 7}));  // each once before repeats

    site.分类ID = " 12, -3,x,4.9";
    PrepareCategoryList(site);
    EXPECT_EQ(site.prep.categoryIds, (std::vector<std::int32_t>{12, -3, 0, 4}));
    EXPECT_EQ(site.prep.categoryPicker.Remaining(), 0u);

    site.分类ID = "";
    PrepareCategoryList(site);
    EXPECT_TRUE(site.prep.categoryIds.empty());
    EXPECT_EQ(ChooseCategory(site), 0);
}

class ComposeArticleTest : public ::testing::Test {
protected:
    std::optional<ArticleText> Compose(const std::string& gbkName, const std::string& bytes) {
        return ComposeArticle(m_folder.Write(gbkName, bytes), m_site);
    }
    TempFolder m_folder;
    SiteConfig m_site;
};

TEST_F(ComposeArticleTest, TitleBodyAndMarkerFromFileName) {
    m_site.文件编码 = 1;
    const auto article = Compose(G("[#12#]春天笔记.txt"), G("正文\r\n第二行"));
    ASSERT_TRUE(article);
    EXPECT_EQ(article->title, G("春天笔记"));
    EXPECT_EQ(article->category, 12);
    EXPECT_EQ(article->body, G("正文\r\n第二行"));
    EXPECT_EQ(m_site.prep.chosenCategory, 12);
}

TEST_F(ComposeArticleTest, MarkerCases) {
    struct Case {
        std::string name;
        std::string title;
        std::int32_t category;
    };
    const Case cases[] = {
        {"x[#7#].txt", "", 7},
        {"[#3#][#4#]y.txt", "[#4#]y", 3},
        {"[#abc#]t.txt", "t", 0},
        {"pre[#2#]post.txt", "post", 2},
    };
    for (const auto& c : cases) {
        const auto article = Compose(c.name, "body");
        ASSERT_TRUE(article) << c.name;
        EXPECT_EQ(article->title, c.title) << c.name;
        EXPECT_EQ(article->category, c.category) << c.name;
    }
}

TEST_F(ComposeArticleTest, FallbackCategoryAndUntitled) {
    m_site.分类ID = "9";
    PrepareCategoryList(m_site);
    const auto article = Compose(".txt", "text");
    ASSERT_TRUE(article);
    EXPECT_EQ(article->title, G("未命名标题"));
    EXPECT_EQ(article->category, 9);

    m_site.分类ID = "";
    PrepareCategoryList(m_site);
    EXPECT_EQ(Compose("n.txt", "text")->category, 0);
}

TEST_F(ComposeArticleTest, BlankFileWithFirstLineTitle) {
    m_site.首行标题 = true;
    const auto article = Compose("blank.txt", "\r\n\r\n   \r\n");
    ASSERT_TRUE(article);  // still posted
    EXPECT_EQ(article->title, "blank");
    EXPECT_EQ(article->body, "");
}

TEST_F(ComposeArticleTest, HtmlBody) {
    m_site.首行标题 = true;
    m_site.段落标签 = true;
    const std::string html =
        "<html><head><title>t</title></head><body class = \"x\">\r\n<h1>[#5#]Big news</h1>\r\n"
        "<a href = \"u\">1 + 1 = 2</a>\r\n\r\nend</body></html>";
    const auto article = Compose("page.htm", html);
    ASSERT_TRUE(article);
    EXPECT_EQ(article->title, "Big news");
    EXPECT_EQ(article->category, 5);
    EXPECT_EQ(article->body, "<p><a href=\"u\">1 + 1=2</a></p>\r\n<p>end</p>\r\n");
}

TEST_F(ComposeArticleTest, HtmlWithoutBodyEndStaysWhole) {
    const std::string html = "<html><body>a = b";
    const auto article = Compose("open.htm", html);
    ASSERT_TRUE(article);
    EXPECT_EQ(article->body, html);  // untightened
}

TEST_F(ComposeArticleTest, Utf8FileIsDecoded) {
    const auto article = Compose("u.txt",
                                 "\xEF\xBB\xBF"
                                 "\xE4\xB8\xAD\xE6\x96\x87");
    ASSERT_TRUE(article);
    EXPECT_EQ(article->body, G("中文"));
}

TEST_F(ComposeArticleTest, MissingEmptyAndBinaryFiles) {
    EXPECT_FALSE(ComposeArticle(platform::JoinPath(m_folder.Gbk(), "missing.txt"), m_site));
    EXPECT_FALSE(Compose("empty.txt", ""));
    EXPECT_FALSE(Compose("zero.txt", std::string("\0abc", 4)));  // text ends at the zero
    std::string binary;
    for (int i = 0; i < 200000; ++i) binary.push_back(static_cast<char>((i * 7919 + 13) % 255 + 1));
    const auto article = Compose("binary.bin", binary);  // no crash; some text comes out
    ASSERT_TRUE(article);
    EXPECT_EQ(article->title, "binary");
}

}  // namespace
