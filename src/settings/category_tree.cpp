#include "settings/category_tree.h"

#include <algorithm>

#include "core/number_text.h"

namespace {

constexpr std::string_view kFormatLine = "QLTREE1";

}  // namespace

bool CategoryTree::HasChildren(std::size_t item) const {
    return item + 1 < items.size() && items[item + 1].level > items[item].level;
}

std::string CategoryTree::CheckedValues() const {
    std::string values;
    for (const CategoryItem& item : items) {
        if (item.state != kChecked) continue;
        if (!values.empty()) values += ',';
        values += item.value;
    }
    return values;
}

std::size_t CategoryTree::CheckedCount() const {
    std::size_t n = 0;
    for (const CategoryItem& item : items) n += item.state == kChecked;
    return n;
}

std::vector<std::string> CategoryTree::CheckedValueList() const {
    std::vector<std::string> values;
    for (const CategoryItem& item : items)
        if (item.state == kChecked) values.push_back(item.value);
    return values;
}

void CategoryTree::CheckValues(const std::vector<std::string>& values) {
    for (CategoryItem& item : items)
        if (std::find(values.begin(), values.end(), item.value) != values.end())
            item.state = kChecked;
    FixParents();
}

void CategoryTree::SetAllChecks(std::int32_t mode) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        CategoryItem& item = items[i];
        if (HasChildren(i))
            item.state = kMixed;
        else if (mode == 1)
            item.state = kChecked;
        else if (mode == -1)
            item.state = kUnchecked;
        else
            item.state = item.state == kChecked ? kUnchecked : kChecked;
    }
}

void CategoryTree::CheckChanged(std::size_t item, std::int32_t state) {
    if (item >= items.size()) return;
    items[item].state = HasChildren(item) ? kMixed : state;
}

void CategoryTree::SelectionChanged(std::size_t item) {
    if (item >= items.size() || HasChildren(item) || CheckedCount() > 1) return;
    for (CategoryItem& other : items)
        if (other.state == kChecked) other.state = kUnchecked;
    items[item].state = kChecked;
}

void CategoryTree::FixParents() {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (HasChildren(i))
            items[i].state = kMixed;
        else if (items[i].state == kMixed)
            items[i].state = kUnchecked;
    }
}

std::string CategoryTree::Serialize() const {
    if (items.empty()) return {};
    std::string bytes(kFormatLine);
    bytes += "\r\n";
    for (const CategoryItem& item : items) {
        bytes += std::to_string(item.level) + "\t" + std::to_string(item.state) + "\t" +
                 item.value + "\t" + item.text + "\r\n";
    }
    return bytes;
}

CategoryTree CategoryTree::Parse(std::string_view bytes) {
    CategoryTree tree;
    std::size_t start = 0;
    bool first = true;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 2;
        if (first) {
            first = false;
            if (line != kFormatLine) return tree;
            continue;
        }
        const std::size_t a = line.find('\t');
        const std::size_t b = a == std::string_view::npos ? a : line.find('\t', a + 1);
        const std::size_t c = b == std::string_view::npos ? b : line.find('\t', b + 1);
        if (c == std::string_view::npos) continue;
        CategoryItem item;
        item.level = TextToInt(line.substr(0, a)) > 0 ? 1 : 0;
        const std::int32_t state = TextToInt(line.substr(a + 1, b - a - 1));
        item.state = state == kChecked ? kChecked : kUnchecked;
        item.value = std::string(line.substr(b + 1, c - b - 1));
        item.text = std::string(line.substr(c + 1));
        // A child needs a parent above it.
        if (item.level == 1 && tree.items.empty()) item.level = 0;
        tree.items.push_back(std::move(item));
    }
    tree.FixParents();
    return tree;
}
