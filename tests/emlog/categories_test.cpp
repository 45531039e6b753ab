#include "emlog/categories.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/charset.h"
#include "emlog/article_delete.h"
#include "emlog/emlog_test_sites.h"
#include "emlog/login.h"
#include "emlog/publish.h"

namespace {

std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

// "text@level" per item, texts back in UTF-8, for one readable comparison.
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

TEST(CategoryPagesTest, BothSourcesGiveTheTreeAsTheSiteListsIt) {
    struct Case {
        const char* name;
        bool sortPage;
        const char* html;
        std::vector<std::string> expected;
        bool found;
    };
    const Case cases[] = {
        {"sort.php: a child before any top-level item goes to the top",
         true,
         "<table width=\"100%\" id=\"adm_sort_list\" class=\"item_list\"><tbody>"
         "<tr><td class=\"sortname\">---- <a href=\"sort.php?action=mod_sort&sid=7\">体育</a></td>"
         "<tr><td class=\"sortname\">\n<a href=\"sort.php?action=mod_sort&sid=1\">新闻</a>\n</td>"
         "<tr><td class=\"sortname\">---- <a href=\"sort.php?action=mod_sort&sid=4\">国内</a></td>"
         "<tr><td class=\"sortname\">\n<a href=\"sort.php?action=mod_sort&sid=3\">A&amp;B</a>\n"
         "</td><td class=\"alias\">x</td></tbody></table>",
         {"体育[7]@0", "新闻[1]@0~", "国内[4]@1", "A&amp;B[3]@0"},
         true},
        {"sort.php: cells outside the item_list table do not count",
         true,
         "<table class=\"other\"><tbody><td class=\"sortname\"><a href=\"x?sid=9\">外</a></td>"
         "</tbody></table>",
         {},
         false},
        {"sort.php: a fresh install's empty table is an answer",
         true,
         "<table class=\"item_list\">\n<thead></thead>\n<tbody>\n</tbody>\n</table>",
         {},
         true},
        {"write page: -1 skipped, entities decoded, a non-number is id 0",
         false,
         "<select name=\"sort\" id=\"sort\" style=\"width:130px;\">\n"
         "<option value=\"-1\">选择分类...</option>\n<option value=\"1\">新闻</option>\n"
         "<option value=\"4\">&nbsp; &nbsp; &nbsp; 国内</option>\n"
         "<option value=\"3\">A&amp;B</option>\n<option value=\"x\">坏</option>\n</select>",
         {"新闻[1]@0~", "国内[4]@1", "A&B[3]@0", "坏[0]@0"},
         true},
        {"write page: options of another select do not count",
         false,
         "<select id=\"tags\"><option value=\"2\">标签</option></select>",
         {},
         false},
    };
    for (const Case& c : cases) {
        bool found = !c.found;
        const std::string page = Gbk(c.html);
        const CategoryTree tree = c.sortPage ? CategoriesFromSortPage(page, &found)
                                             : CategoriesFromWritePage(page, &found);
        EXPECT_EQ(Items(tree), c.expected) << c.name;
        EXPECT_EQ(found, c.found) << c.name;
    }
}

TEST(CategoryRequestBodiesTest, FormsAreExactAndEncodedInTheSiteCharset) {
    CategoryFields fields;
    fields.name = Gbk("体育&健身");
    fields.alias = "ti yu";
    fields.pid = "12";
    fields.templateName = "log_list";
    fields.description = Gbk("中");
    EXPECT_EQ(CategoryFormBody(fields, "abc123", false),
              "taxis=&sortname=%CC%E5%D3%FD%26%BD%A1%C9%ED&alias=ti%20yu&pid=12"
              "&template=log_list&description=%D6%D0&token=abc123");
    EXPECT_EQ(CategoryFormBody(fields, "", true),
              "taxis=&sortname=%E4%BD%93%E8%82%B2%26%E5%81%A5%E8%BA%AB&alias=ti%20yu&pid=12"
              "&template=log_list&description=%E4%B8%AD&token=");
    EXPECT_EQ(DeleteArticleBody(42, "t0k"), "pid=&blog%5B%5D=42&token=t0k&operate=del&top=&sort=0");
    EXPECT_EQ(DeleteArticleBody(-3, ""), "pid=&blog%5B%5D=-3&token=&operate=del&top=&sort=0");
}

class CategoryOpsTest : public EmlogSitesTest {
protected:
    SiteConfig LoggedIn(std::size_t index) {
        SiteConfig site = Site(index);
        EXPECT_TRUE(Login(site, false));
        return site;
    }
};

TEST_F(CategoryOpsTest, ReadsFromSortPageOrElseTheWritePageInBothCharsets) {
    for (const std::size_t index : {kUtf8Site, kGbkSite}) {
        SiteConfig site = LoggedIn(index);
        const auto before = Server().Counters(index).requests;
        CategoryRead read = ReadCategories(site, {});
        EXPECT_TRUE(read.answered);
        EXPECT_EQ(Items(read.tree), (std::vector<std::string>{"技术[1]@0~", "PHP笔记[2]@1"}))
            << index;
        EXPECT_EQ(Server().Counters(index).requests - before, 1);  // sort.php sufficed

        // sort.php broken: the write page's select gives the same tree.
        sandbox::Faults faults;
        faults.page = "sort.php";
        faults.httpStatus = 500;
        Server().SetFaults(index, faults);
        read = ReadCategories(site, {});
        EXPECT_TRUE(read.answered);
        EXPECT_EQ(Items(read.tree), (std::vector<std::string>{"技术[1]@0~", "PHP笔记[2]@1"}))
            << index;
        // Neither page: no answer, as opposed to an empty list.
        faults.page.clear();
        Server().SetFaults(index, faults);
        read = ReadCategories(site, {});
        EXPECT_FALSE(read.answered);
        EXPECT_TRUE(read.tree.items.empty());
        Server().ClearFaults(index);
    }
}

TEST_F(CategoryOpsTest, ReReadKeepsChecksByIdAndDropsVanishedOnes) {
    SiteConfig site = LoggedIn(kUtf8Site);
    CategoryFields fields;
    fields.name = Gbk("体育");
    fields.alias = "sports";
    ASSERT_TRUE(CreateCategory(site, fields));  // id 3
    CategoryTree before = ReadCategories(site, {}).tree;
    ASSERT_EQ(before.items.size(), 3u);
    before.items[1].state = CategoryTree::kChecked;  // PHP笔记[2]
    before.items[2].state = CategoryTree::kChecked;  // 体育[3]
    ASSERT_TRUE(DeleteCategory(site, 3));
    fields.name = Gbk("新闻");
    fields.alias = "";
    fields.pid = "2";                           // not a top-level one: emlog puts it at the top
    ASSERT_TRUE(CreateCategory(site, fields));  // id 4
    const CategoryTree after = ReadCategories(site, before).tree;
    EXPECT_EQ(Items(after), (std::vector<std::string>{"技术[1]@0~", "PHP笔记[2]@1+", "新闻[4]@0"}));
    EXPECT_EQ(after.CheckedValues(), "2");
}

TEST_F(CategoryOpsTest, CreateAndDeleteAreJudgedByTheirNotices) {
    for (const std::size_t index : {kUtf8Site, kGbkSite}) {
        SiteConfig site = LoggedIn(index);
        CategoryFields fields;
        fields.name = Gbk("体育&健身");
        fields.alias = "tiyu";
        fields.pid = "1";
        fields.templateName = "log_list";
        fields.description = Gbk("描述 = 1");
        EXPECT_TRUE(CreateCategory(site, fields)) << index;
        const auto categories = Server().Categories(index);
        ASSERT_EQ(categories.size(), 3u);
        EXPECT_EQ(categories[2].name, "体育&健身");
        EXPECT_EQ(categories[2].parent, 1);
        EXPECT_FALSE(CreateCategory(site, fields)) << "the alias is taken";
        fields.alias = "123";
        EXPECT_FALSE(CreateCategory(site, fields)) << "an all-digit alias";

        EXPECT_TRUE(DeleteCategory(site, 3));
        EXPECT_TRUE(DeleteCategory(site, 999)) << "emlog confirms any id";
        site.token = "wrong";
        EXPECT_FALSE(DeleteCategory(site, 1));
        EXPECT_EQ(Server().Categories(index).size(), 2u);
    }
}

TEST_F(CategoryOpsTest, MarkersMustBeExact) {
    SiteConfig site = LoggedIn(kUtf8Site);
    sandbox::Faults faults;
    faults.markers = sandbox::MarkerFault::WrongCase;  // "</SPAN>": ASCII case is ignored
    Server().SetFaults(kUtf8Site, faults);
    CategoryFields fields;
    fields.name = Gbk("大小写");
    EXPECT_TRUE(CreateCategory(site, fields));
    EXPECT_TRUE(DeleteCategory(site, 3));
    faults.markers = sandbox::MarkerFault::Missing;
    Server().SetFaults(kUtf8Site, faults);
    fields.name = Gbk("无提示");
    EXPECT_FALSE(DeleteCategory(site, 4)) << "no notice";
    fields.alias = "wu";
    EXPECT_TRUE(CreateCategory(site, fields)) << "the redirect to sort.php?active_add=1";
    EXPECT_EQ(Server().Categories(kUtf8Site).size(), 3u);
    EXPECT_FALSE(CreateCategory(site, fields)) << "sort.php?error_d=1: the alias is taken";
    EXPECT_EQ(Server().Categories(kUtf8Site).size(), 3u);
}

// emlog sends the browser to admin_log.php?active_del=1 only after deleting: that counts
// when the list shows no notice.
TEST_F(CategoryOpsTest, ArticleDeletionIsConfirmedByItsRedirect) {
    SiteConfig site = LoggedIn(kUtf8Site);
    for (const char* title : {"一", "二"}) ASSERT_TRUE(Publish(site, Gbk(title), Gbk("正文")));
    sandbox::Faults faults;
    faults.page = "admin_log.php";
    faults.markers = sandbox::MarkerFault::Missing;
    Server().SetFaults(kUtf8Site, faults);
    EXPECT_TRUE(DeleteArticle(site, 2));
    EXPECT_FALSE(DeleteArticle(site, 2)) << "gone: emlog's 权限不足！ page";
    EXPECT_EQ(Server().Posts(kUtf8Site).size(), 1u);
}

TEST_F(CategoryOpsTest, DefaultTemplateComesFromTheAddForm) {
    SiteConfig site = LoggedIn(kUtf8Site);
    EXPECT_EQ(DefaultCategoryTemplate(site), "log_list");
    sandbox::Faults faults;
    faults.httpStatus = 500;
    Server().SetFaults(kUtf8Site, faults);
    EXPECT_EQ(DefaultCategoryTemplate(site), "log_list");
}

TEST_F(CategoryOpsTest, ArticleDeletionCountsOnlyConfirmedIds) {
    SiteConfig site = LoggedIn(kGbkSite);
    for (const char* title : {"一", "二"}) ASSERT_TRUE(Publish(site, Gbk(title), Gbk("正文")));
    ASSERT_EQ(Server().Posts(kGbkSite).size(), 2u);
    EXPECT_TRUE(DeleteArticle(site, 2));
    EXPECT_FALSE(DeleteArticle(site, 2)) << "gone: emlog's 权限不足！ page";
    EXPECT_FALSE(DeleteArticle(site, 0));
    site.token = "bad";
    EXPECT_FALSE(DeleteArticle(site, 1));
    EXPECT_EQ(Server().Posts(kGbkSite).size(), 1u);
}

}  // namespace
