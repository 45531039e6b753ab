#include "settings/memory_site_view.h"

const MemorySiteView::Row& MemorySiteView::At(std::int32_t row) const {
    static const Row none;
    return row >= 0 && static_cast<std::size_t>(row) < rows.size()
               ? rows[static_cast<std::size_t>(row)]
               : none;
}

void MemorySiteView::SetRow(std::int32_t row, const std::string& text, bool checked) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
    rows[static_cast<std::size_t>(row)].text = text;
    rows[static_cast<std::size_t>(row)].checked = checked;
}

void MemorySiteView::SetRowChecked(std::int32_t row, bool checked) {
    if (row >= 0 && static_cast<std::size_t>(row) < rows.size())
        rows[static_cast<std::size_t>(row)].checked = checked;
}

void MemorySiteView::AppendRow(const std::string& text, bool checked) {
    rows.push_back({text, checked, false});
}

void MemorySiteView::RemoveRow(std::int32_t row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
    rows.erase(rows.begin() + row);
    // A list box loses its selection when the selected row goes.
    if (selected == row)
        selected = -1;
    else if (selected > row)
        selected -= 1;
}

void MemorySiteView::ClearRows() {
    rows.clear();
    selected = -1;
}

void MemorySiteView::SelectRow(std::int32_t row) {
    selected = row >= 0 && static_cast<std::size_t>(row) < rows.size() ? row : -1;
}

std::string MemorySiteView::Text(const std::string& control) const {
    const auto it = texts.find(control);
    return it == texts.end() ? std::string() : it->second;
}

void MemorySiteView::SetText(const std::string& control, const std::string& text) {
    texts[control] = text;
}

std::int32_t MemorySiteView::Index(const std::string& control) const {
    const auto it = indices.find(control);
    return it == indices.end() ? 0 : it->second;
}

void MemorySiteView::SetIndex(const std::string& control, std::int32_t index) {
    indices[control] = index;
}

bool MemorySiteView::Checked(const std::string& control) const {
    const auto it = checks.find(control);
    return it != checks.end() && it->second;
}

void MemorySiteView::SetChecked(const std::string& control, bool checked) {
    checks[control] = checked;
}

std::string MemorySiteView::Tag(const std::string& control) const {
    const auto it = tags.find(control);
    return it == tags.end() ? std::string() : it->second;
}

void MemorySiteView::SetTag(const std::string& control, const std::string& tag) {
    tags[control] = tag;
}

bool MemorySiteView::Enabled(const std::string& control) const {
    const auto it = enabled.find(control);
    return it == enabled.end() || it->second;
}

void MemorySiteView::SetCaption(const std::string& control, const std::string& caption) {
    captions[control] = caption;
}

std::string MemorySiteView::Caption(const std::string& control) const {
    const auto it = captions.find(control);
    return it == captions.end() ? std::string() : it->second;
}

void MemorySiteView::SelectTreeItem(std::int32_t index) {
    treeSelected = index >= 0 && static_cast<std::size_t>(index) < tree.items.size() ? index : -1;
}

bool MemorySiteView::AskOkCancel(const std::string& text) {
    messages.push_back(text);
    return answer ? answer(text) : true;
}

std::optional<std::string> MemorySiteView::AskText(const std::string&, const std::string&,
                                                   const std::string& initial) {
    return textAnswer ? textAnswer(initial) : std::nullopt;
}
