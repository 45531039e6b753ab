// Categories and article deletion on emlog pro sites, behind the same operations as on
// 5.x.

#include "emlog/pro_categories.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emlog/article_delete.h"
#include "emlog/categories.h"
#include "emlog/pro_test_sites.h"
#include "emlog/publish.h"

namespace {

// "text@level" per item, texts back in UTF-8, "+" for checked, "~" for a parent.
std::vector<std::string> Items(const CategoryTree& tree) {
    std::vector<std::string> out;
    for (const CategoryItem& item : tree.items) {
        std::string entry = charset::GbkToUtf8(item.text) + "@" + std::to_string(item.level);
        if (item.state == CategoryTree::kChecked) entry += "+";
        if (item.state == CategoryTree::kMixed) entry += "~";
        out.push_back(entry);
    }
    return out;
}

std::string Row(const char* sid, const char* pid, const char* name, const char* cellClass) {
    const bool child = std::string(pid) != "0";
    return std::string(child ? "<tr class=\"tree-child tree-child-of-" + std::string(pid) +
                                   "\" data-pid=\"" + pid + "\">"
                             : "<tr class=\"tree-parent\" data-id=\"" + std::string(sid) + "\">") +
           "<td class=\"" + cellClass + "\"><a href=\"#\" class=\"em-modal\" data-sid=\"" + sid +
           "\" data-sortname=\"" + name + "\" data-pid=\"" + pid + "\">" + name + "</a></td>" +
           "<td>x</td></tr>";
}

TEST(ProSortPageTest, RowsGiveTheTree) {
    const std::string token = "<input name=\"token\" id=\"token\" value=\"ab\" type=\"hidden\" />";
    struct Case {
        const char* name;
        std::string html;
        std::vector<std::string> expected;
        bool found;
    };
    const Case cases[] = {
        {"parents with their children, names unescaped",
         "<table>" + Row("1", "0", "新闻", "tree-name") + Row("4", "1", "国内", "tree-name") +
             Row("3", "0", "A&amp;B &lt;x&gt;", "tree-name pl-3") + "</table>" + token,
         {"新闻[1]@0~", "国内[4]@1", "A&B <x>[3]@0"},
         true},
        {"a child before any parent goes to the top",
         "<table>" + Row("7", "2", "体育", "tree-name") + "</table>" + token,
         {"体育[7]@0"},
         true},
        {"no categories: the sort page is still an answer", "<table></table>" + token, {}, true},
        {"the sign-in page is no answer", "<form><input name=\"user\"></form>", {}, false},
    };
    for (const Case& c : cases) {
        bool found = !c.found;
        const CategoryTree tree = CategoriesFromProSortPage(Gbk(c.html.c_str()), &found);
        EXPECT_EQ(Items(tree), c.expected) << c.name;
        EXPECT_EQ(found, c.found) << c.name;
    }
}

TEST(ProRequestBodiesTest, FormsAreExactAndUtf8) {
    CategoryFields fields;
    fields.name = Gbk("中&");
    fields.alias = "zh";
    fields.pid = "3";
    fields.templateName = "log_list";
    fields.description = Gbk("说明 1");
    EXPECT_EQ(ProCategoryFormBody(fields, "t0k"),
              "sortname=%E4%B8%AD%26&alias=zh&pid=3&sortimg=&title=&description=%E8%AF%B4%E6%98%8E"
              "%201&kw=&page_count=&template=log_list&sid=&token=t0k");
    EXPECT_EQ(ProDeleteArticleBody(12, "t0k"),
              "draft=0&blog%5B%5D=12&token=t0k&operate=del&author=&sort=");
}

class ProCategoryOpsTest : public ProSitesTest {};

// A pro site's record may say GBK: the pages are read and written in UTF-8 all the same.
TEST_F(ProCategoryOpsTest, ReadCreateAndDeleteThroughTheCommonOperations) {
    for (const std::int32_t charsetSetting : {0, 1}) {
        SiteConfig site = Site(kProSite, charsetSetting);
        ASSERT_TRUE(Login(site, false));
        CategoryTree before;
        before.items = {{"", "2", 1, CategoryTree::kChecked}};
        CategoryRead read = ReadCategories(site, before);
        EXPECT_TRUE(read.answered);
        EXPECT_EQ(Items(read.tree), (std::vector<std::string>{"技术[1]@0~", "PHP笔记[2]@1+"}));

        CategoryFields fields;
        fields.name = Gbk("体育&健身");
        fields.alias = "tiyu" + std::to_string(charsetSetting);
        fields.pid = "1";
        fields.templateName = "log_list";
        fields.description = Gbk("描述 = 1");
        ASSERT_TRUE(CreateCategory(site, fields));
        const auto categories = Server().Categories(kProSite);
        ASSERT_EQ(categories.size(), 3u);
        EXPECT_EQ(categories[2].name, "体育&健身");
        EXPECT_EQ(categories[2].parent, 1);
        EXPECT_EQ(categories[2].templateName, "log_list");
        EXPECT_EQ(categories[2].description, "描述 = 1");
        const std::string id = std::to_string(categories[2].id);
        EXPECT_EQ(
            Items(ReadCategories(site, before).tree),
            (std::vector<std::string>{"技术[1]@0~", "PHP笔记[2]@1+", "体育&健身[" + id + "]@1"}));

        // Failures come back to the same sort.php: only the notice tells them apart.
        EXPECT_FALSE(CreateCategory(site, fields)) << "the alias is taken";
        fields.name.clear();
        fields.alias.clear();
        EXPECT_FALSE(CreateCategory(site, fields)) << "no name";

        EXPECT_TRUE(DeleteCategory(site, categories[2].id));
        EXPECT_TRUE(DeleteCategory(site, 999)) << "pro confirms any id";
        const std::string token = site.token;
        site.token = "wrong";
        fields.name = Gbk("令牌");
        EXPECT_FALSE(CreateCategory(site, fields));
        EXPECT_FALSE(DeleteCategory(site, 1));
        EXPECT_EQ(Server().Categories(kProSite).size(), 2u);
    }
}

TEST_F(ProCategoryOpsTest, ArticleDeletionCountsOnlyDeletedIds) {
    SiteConfig site = Site(kProSite);
    ASSERT_TRUE(Login(site, false));
    for (const char* title : {"一", "二"}) ASSERT_TRUE(Publish(site, Gbk(title), Gbk("正文")));
    const auto posts = Server().Posts(kProSite);
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_TRUE(DeleteArticle(site, posts[1].id));
    EXPECT_FALSE(DeleteArticle(site, posts[1].id)) << "gone: pro's 权限不足！ page";
    EXPECT_FALSE(DeleteArticle(site, 0));
    site.token = "bad";
    EXPECT_FALSE(DeleteArticle(site, posts[0].id));
    ASSERT_EQ(Server().Posts(kProSite).size(), 1u);
    EXPECT_EQ(Server().Posts(kProSite)[0].title, "一");
}

}  // namespace
