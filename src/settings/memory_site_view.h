#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/site_editor.h"

// A SiteEditorView without a window: rows and controls kept in memory, messages
// collected. The command line edits sites through it, so it takes the same decisions as
// the main window; the tests read what a window would have shown.
class MemorySiteView : public SiteEditorView {
public:
    struct Row {
        std::string text;
        bool checked = false;
        bool greyed = false;
    };

    std::vector<Row> rows;
    std::int32_t selected = -1;
    std::string listTitle;
    std::map<std::string, std::string> texts, tags, captions;
    std::map<std::string, std::int32_t> indices;
    std::map<std::string, bool> checks, enabled, visible;
    CategoryTree tree;
    std::int32_t treeSelected = -1;
    std::vector<std::string> messages;  // every message and question, in order
    // The answer to each OK/Cancel question (default OK).
    std::function<bool(const std::string&)> answer;
    std::function<std::optional<std::string>(const std::string& initial)> textAnswer;

    std::int32_t RowCount() const override { return static_cast<std::int32_t>(rows.size()); }
    std::string RowText(std::int32_t row) const override { return At(row).text; }
    bool RowChecked(std::int32_t row) const override { return At(row).checked; }
    bool RowGreyed(std::int32_t row) const override { return At(row).greyed; }
    void SetRow(std::int32_t row, const std::string& text, bool checked) override;
    void SetRowChecked(std::int32_t row, bool checked) override;
    void AppendRow(const std::string& text, bool checked) override;
    void RemoveRow(std::int32_t row) override;
    void ClearRows() override;
    std::int32_t SelectedRow() const override { return selected; }
    void SelectRow(std::int32_t row) override;
    void SetListTitle(const std::string& title) override { listTitle = title; }

    std::string Text(const std::string& control) const override;
    void SetText(const std::string& control, const std::string& text) override;
    std::int32_t Index(const std::string& control) const override;
    void SetIndex(const std::string& control, std::int32_t index) override;
    bool Checked(const std::string& control) const override;
    void SetChecked(const std::string& control, bool checked) override;
    std::string Tag(const std::string& control) const override;
    void SetTag(const std::string& control, const std::string& tag) override;
    bool Enabled(const std::string& control) const override;
    void SetEnabled(const std::string& control, bool on) override { enabled[control] = on; }
    void SetVisible(const std::string& control, bool on) override { visible[control] = on; }
    void SetCaption(const std::string& control, const std::string& caption) override;
    std::string Caption(const std::string& control) const override;

    CategoryTree Tree() const override { return tree; }
    void ShowTree(const CategoryTree& shown) override { tree = shown; }
    std::int32_t TreeSelectedIndex() const override { return treeSelected; }
    void SelectTreeItem(std::int32_t index) override;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskOkCancel(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;

private:
    const Row& At(std::int32_t row) const;
};
