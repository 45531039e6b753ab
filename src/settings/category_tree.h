#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A site's category tree as the editor shows it: items in tree order, two levels, each
// with a check state. Items that have children are kept in state kMixed, so only leaves
// are ever chosen and 分类ID never names a parent.
struct CategoryItem {
    std::string text;        // GBK
    std::string value;       // the category id
    std::int32_t level = 0;  // 0 top level, 1 child of the nearest level-0 item above
    std::int32_t state = 0;  // kUnchecked, kChecked or kMixed
};

class CategoryTree {
public:
    static constexpr std::int32_t kUnchecked = 0;
    static constexpr std::int32_t kChecked = 1;
    static constexpr std::int32_t kMixed = 2;

    std::vector<CategoryItem> items;

    bool HasChildren(std::size_t item) const;
    // Values of the items in state kChecked, in tree order, joined by ",".
    std::string CheckedValues() const;
    std::size_t CheckedCount() const;
    // The same values one by one.
    std::vector<std::string> CheckedValueList() const;
    // Checks every item whose value is listed (a re-read keeps the user's choices by
    // category id), then FixParents.
    void CheckValues(const std::vector<std::string>& values);
    // 1 checks every leaf, -1 unchecks every leaf, 0 inverts each leaf; parents stay kMixed.
    void SetAllChecks(std::int32_t mode);

    // The check box of `item` was set to `state`: a parent goes back to kMixed.
    void CheckChanged(std::size_t item, std::int32_t state);
    // `item` became the selected one: with at most one item checked, the single choice
    // moves to it when it is a leaf; with several checked nothing changes.
    void SelectionChanged(std::size_t item);
    // Parents get kMixed; leaves keep their state. Run after the items were replaced.
    void FixParents();

    // 分类数据: one line per item, "level<TAB>state<TAB>value<TAB>text", CR LF after each,
    // behind a first line naming the format. Parse takes what Serialize wrote; anything
    // else (an empty value, damaged bytes) gives the items it can read, never a failure.
    std::string Serialize() const;
    static CategoryTree Parse(std::string_view bytes);
};
