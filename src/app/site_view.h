#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <string>

#include "settings/site_editor.h"

class QGroupBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The site editor's view over the main window's widgets: 列表框 (a QListWidget with check
// boxes), the editor controls found by their objectName, the category tree 树型框 and the
// message boxes. Every change made for the editor runs with the widget's signals blocked,
// so what the editor sets never comes back to it as a user's edit.
class QtSiteView : public SiteEditorView {
public:
    // `root` holds the controls; list, tree and the list's group box are its children.
    QtSiteView(QWidget* root, QListWidget* list, QTreeWidget* tree, QGroupBox* listGroup);

    std::int32_t RowCount() const override;
    std::string RowText(std::int32_t row) const override;
    bool RowChecked(std::int32_t row) const override;
    bool RowGreyed(std::int32_t row) const override;
    void SetRow(std::int32_t row, const std::string& text, bool checked) override;
    void SetRowChecked(std::int32_t row, bool checked) override;
    void AppendRow(const std::string& text, bool checked) override;
    void RemoveRow(std::int32_t row) override;
    void ClearRows() override;
    std::int32_t SelectedRow() const override;
    void SelectRow(std::int32_t row) override;
    void SetListTitle(const std::string& title) override;

    std::string Text(const std::string& control) const override;
    void SetText(const std::string& control, const std::string& text) override;
    std::int32_t Index(const std::string& control) const override;
    void SetIndex(const std::string& control, std::int32_t index) override;
    bool Checked(const std::string& control) const override;
    void SetChecked(const std::string& control, bool checked) override;
    std::string Tag(const std::string& control) const override;
    void SetTag(const std::string& control, const std::string& tag) override;
    bool Enabled(const std::string& control) const override;
    void SetEnabled(const std::string& control, bool on) override;
    void SetVisible(const std::string& control, bool on) override;
    void SetCaption(const std::string& control, const std::string& caption) override;
    std::string Caption(const std::string& control) const override;

    CategoryTree Tree() const override;
    void ShowTree(const CategoryTree& tree) override;
    std::int32_t TreeSelectedIndex() const override;
    void SelectTreeItem(std::int32_t index) override;
    // The tree item at a position in tree order, and back (-1 for none).
    QTreeWidgetItem* TreeItemAt(std::int32_t index) const;
    std::int32_t TreeIndexOf(const QTreeWidgetItem* item) const;

    void ShowMessage(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;

    // The widget of a control, by its GBK name; nullptr when the window has none.
    QWidget* Control(const std::string& control) const;

private:
    QWidget* m_root;
    QListWidget* m_list;
    QTreeWidget* m_tree;
    QGroupBox* m_listGroup;
    mutable std::map<std::string, QPointer<QWidget>> m_controls;
};
