// The batch tools over a group with an emlog pro site: the same operations and report
// lines as for the 5.x sites.

#include <gtest/gtest.h>

#include "batch_tools_fixture.h"
#include "emlog/login.h"
#include "emlog/publish.h"
#include "tools/batch_tools.h"

namespace {

class BatchProTest : public BatchToolsTest {
protected:
    BatchProTest() { thirdSitePro = true; }

    void PublishArticles(std::size_t index, int n) {
        SiteConfig site = Record(index);
        ASSERT_TRUE(Login(site, false));
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(Publish(site, G("文章") + std::to_string(i), G("正文")));
    }

    std::string D(std::size_t index) { return Server().Domain(index); }
};

TEST_F(BatchProTest, ReadCreateAndDeleteTreatBothKindsAlike) {
    PublishArticles(0, 3);
    PublishArticles(2, 3);
    batch.ChooseScope(G("单选框全部"));

    tools->BatchReadCategories();
    for (const std::size_t i : {0u, 2u}) {
        const CategoryTree tree = CategoryTree::Parse(sites[i].分类数据);
        ASSERT_EQ(tree.items.size(), 1u) << i;
        EXPECT_EQ(U(tree.items[0].text), "父类[12]") << i;
    }

    batch.textAnswer = [](const TextRequest& request) {
        return request.inputMode ? TextResult{true, G("体育|tiyu\r\n体育|tiyu\r\n")} : TextResult{};
    };
    batch.SetText(G("编辑框父类ID"), "12");
    tools->BatchCreateCategories(false);
    EXPECT_EQ(LastMessage(), D(0) + " 成功 1 失败 1\r\n" + D(1) + " 成功 1 失败 1\r\n" + D(2) +
                                 " 成功 1 失败 1\r\n");
    for (const std::size_t i : {0u, 1u, 2u}) {
        const auto categories = Server().Categories(i);
        ASSERT_EQ(categories.size(), 2u) << i;
        EXPECT_EQ(categories[1].name, "体育") << i;
        EXPECT_EQ(categories[1].parent, 12) << i;
    }

    batch.SetText(G("编辑框起始ID"), "1");
    batch.SetText(G("编辑框终止ID"), "4");
    tools->BatchDeleteArticles();
    EXPECT_EQ(LastMessage(), D(0) + " 已删除成功 3 失败 1\r\n" + D(1) + " 已删除成功 0 失败 4\r\n" +
                                 D(2) + " 已删除成功 3 失败 1\r\n");
    EXPECT_TRUE(Server().Posts(2).empty());
}

}  // namespace
