// Category lists read from a site's pages (emlog 5.x's sort.php and write page, emlog
// pro's sort.php): whatever a page holds, the tree has two levels, starts at the top level,
// and survives its own storage in 分类数据.

#include <cstddef>
#include <cstdint>

#include "emlog/categories.h"
#include "emlog/pro_categories.h"
#include "fuzz_input.h"

namespace {

void CheckTree(const CategoryTree& tree) {
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
        const CategoryItem& item = tree.items[i];
        fuzz::Check(item.level == 0 || item.level == 1, "two levels");
        fuzz::Check(i > 0 || item.level == 0, "a child never comes first");
    }
    const CategoryTree back = CategoryTree::Parse(tree.Serialize());
    fuzz::Check(back.items.size() == tree.items.size(), "分类数据 keeps every item");
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
        fuzz::Check(back.items[i].text == tree.items[i].text, "the text comes back");
        fuzz::Check(back.items[i].value == tree.items[i].value, "the id comes back");
        fuzz::Check(back.items[i].level == tree.items[i].level, "the level comes back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page = fuzz::AsView(data, size);
    CheckTree(CategoriesFromSortPage(page));
    CheckTree(CategoriesFromWritePage(page));
    CheckTree(CategoriesFromProSortPage(page));
    return 0;
}
