#include "app/site_view.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVariant>

#include "app/form_controls.h"
#include "app/qt_text.h"
#include "app/text_dialog.h"

namespace {

const QString& MessageTitle() {
    static const QString title = QStringLiteral("岚舟：");
    return title;
}

Qt::CheckState ToQt(std::int32_t state) {
    switch (state) {
        case CategoryTree::kChecked:
            return Qt::Checked;
        case CategoryTree::kMixed:
            return Qt::PartiallyChecked;
        default:
            return Qt::Unchecked;
    }
}

std::int32_t FromQt(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return CategoryTree::kChecked;
        case Qt::PartiallyChecked:
            return CategoryTree::kMixed;
        default:
            return CategoryTree::kUnchecked;
    }
}

// Items the user can tick, but whose third state the editor sets: Qt's automatic
// tri-state would check a parent's children along with it.
constexpr Qt::ItemFlags kTreeItemFlags =
    Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;

}  // namespace

QtSiteView::QtSiteView(QWidget* root, QListWidget* list, QTreeWidget* tree, QGroupBox* listGroup)
    : m_root(root), m_list(list), m_tree(tree), m_listGroup(listGroup) {}

QWidget* QtSiteView::Control(const std::string& control) const {
    auto& cached = m_controls[control];
    if (!cached) cached = m_root->findChild<QWidget*>(Q(control));
    return cached;
}

std::int32_t QtSiteView::RowCount() const {
    return m_list->count();
}

std::string QtSiteView::RowText(std::int32_t row) const {
    const QListWidgetItem* item = m_list->item(row);
    return item ? G(item->text()) : std::string();
}

bool QtSiteView::RowChecked(std::int32_t row) const {
    const QListWidgetItem* item = m_list->item(row);
    return item && item->checkState() == Qt::Checked;
}

bool QtSiteView::RowGreyed(std::int32_t row) const {
    const QListWidgetItem* item = m_list->item(row);
    return item && !(item->flags() & Qt::ItemIsEnabled);
}

void QtSiteView::SetRow(std::int32_t row, const std::string& text, bool checked) {
    QListWidgetItem* item = m_list->item(row);
    if (!item) return;
    const QSignalBlocker block(m_list);
    item->setText(Q(text));
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void QtSiteView::SetRowChecked(std::int32_t row, bool checked) {
    QListWidgetItem* item = m_list->item(row);
    if (!item) return;
    const QSignalBlocker block(m_list);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void QtSiteView::AppendRow(const std::string& text, bool checked) {
    const QSignalBlocker block(m_list);
    auto* item = new QListWidgetItem(Q(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    m_list->addItem(item);
}

void QtSiteView::RemoveRow(std::int32_t row) {
    if (row < 0 || row >= m_list->count()) return;
    const QSignalBlocker block(m_list);
    const bool wasSelected = SelectedRow() == row;
    delete m_list->takeItem(row);
    // A list box loses its selection with the selected row; Qt would move it to a
    // neighbour, and the editor decides itself which row to select next.
    if (wasSelected) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
    }
}

void QtSiteView::ClearRows() {
    const QSignalBlocker block(m_list);
    m_list->clear();
}

std::int32_t QtSiteView::SelectedRow() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item && item->isSelected() ? m_list->row(item) : -1;
}

void QtSiteView::SelectRow(std::int32_t row) {
    const QSignalBlocker block(m_list);
    if (row < 0 || row >= m_list->count()) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
        return;
    }
    m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_list->scrollToItem(m_list->item(row));
}

void QtSiteView::SetListTitle(const std::string& title) {
    m_listGroup->setTitle(Q(title));
}

std::string QtSiteView::Text(const std::string& control) const {
    QWidget* widget = Control(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return G(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return G(combo->currentText());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return G(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return G(label->text());
    return {};
}

void QtSiteView::SetText(const std::string& control, const std::string& text) {
    QWidget* widget = Control(control);
    if (!widget) return;
    const QSignalBlocker block(widget);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(Q(text));
        // Long folders show from their start, not their end.
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Q(text));
    }
}

std::int32_t QtSiteView::Index(const std::string& control) const {
    auto* combo = qobject_cast<QComboBox*>(Control(control));
    return combo ? combo->currentIndex() : 0;
}

void QtSiteView::SetIndex(const std::string& control, std::int32_t index) {
    auto* combo = qobject_cast<QComboBox*>(Control(control));
    if (!combo) return;
    const QSignalBlocker block(combo);
    // An index from a hand-edited file that names no item leaves the list on its first.
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
}

bool QtSiteView::Checked(const std::string& control) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(control));
    return button && button->isChecked();
}

void QtSiteView::SetChecked(const std::string& control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(Control(control));
    if (!button) return;
    const QSignalBlocker block(button);
    button->setChecked(checked);
}

std::string QtSiteView::Tag(const std::string& control) const {
    QWidget* widget = Control(control);
    if (!widget) return {};
    const QByteArray bytes = widget->property(kTagProperty).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtSiteView::SetTag(const std::string& control, const std::string& tag) {
    if (QWidget* widget = Control(control))
        widget->setProperty(kTagProperty,
                            QByteArray(tag.data(), static_cast<qsizetype>(tag.size())));
}

bool QtSiteView::Enabled(const std::string& control) const {
    QWidget* widget = Control(control);
    return !widget || widget->isEnabled();
}

void QtSiteView::SetEnabled(const std::string& control, bool on) {
    if (QWidget* widget = Control(control)) widget->setEnabled(on);
}

void QtSiteView::SetVisible(const std::string& control, bool on) {
    if (QWidget* widget = Control(control)) widget->setVisible(on);
}

void QtSiteView::SetCaption(const std::string& control, const std::string& caption) {
    QWidget* widget = Control(control);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(Q(caption));
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(Q(caption));
}

std::string QtSiteView::Caption(const std::string& control) const {
    QWidget* widget = Control(control);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return G(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return G(label->text());
    return {};
}

QTreeWidgetItem* QtSiteView::TreeItemAt(std::int32_t index) const {
    if (index < 0) return nullptr;
    std::int32_t at = 0;
    for (int top = 0; top < m_tree->topLevelItemCount(); ++top) {
        QTreeWidgetItem* item = m_tree->topLevelItem(top);
        if (at++ == index) return item;
        for (int child = 0; child < item->childCount(); ++child)
            if (at++ == index) return item->child(child);
    }
    return nullptr;
}

std::int32_t QtSiteView::TreeIndexOf(const QTreeWidgetItem* wanted) const {
    if (!wanted) return -1;
    std::int32_t at = 0;
    for (int top = 0; top < m_tree->topLevelItemCount(); ++top) {
        const QTreeWidgetItem* item = m_tree->topLevelItem(top);
        if (item == wanted) return at;
        ++at;
        for (int child = 0; child < item->childCount(); ++child, ++at)
            if (item->child(child) == wanted) return at;
    }
    return -1;
}

CategoryTree QtSiteView::Tree() const {
    CategoryTree tree;
    for (int top = 0; top < m_tree->topLevelItemCount(); ++top) {
        const QTreeWidgetItem* item = m_tree->topLevelItem(top);
        tree.items.push_back({G(item->text(0)), G(item->data(0, Qt::UserRole).toString()), 0,
                              FromQt(item->checkState(0))});
        for (int child = 0; child < item->childCount(); ++child) {
            const QTreeWidgetItem* leaf = item->child(child);
            tree.items.push_back({G(leaf->text(0)), G(leaf->data(0, Qt::UserRole).toString()), 1,
                                  FromQt(leaf->checkState(0))});
        }
    }
    return tree;
}

void QtSiteView::ShowTree(const CategoryTree& tree) {
    const QSignalBlocker block(m_tree);
    // The same items with other check states (the editor's check rules) are updated in
    // place: the rules run from the tree's own item signals, and rebuilding would delete
    // the item whose change is being delivered.
    const CategoryTree shown = Tree();
    bool sameShape = shown.items.size() == tree.items.size();
    for (std::size_t i = 0; sameShape && i < tree.items.size(); ++i)
        sameShape = shown.items[i].level == tree.items[i].level &&
                    shown.items[i].text == tree.items[i].text &&
                    shown.items[i].value == tree.items[i].value;
    if (sameShape) {
        for (std::size_t i = 0; i < tree.items.size(); ++i)
            TreeItemAt(static_cast<std::int32_t>(i))->setCheckState(0, ToQt(tree.items[i].state));
        return;
    }
    m_tree->clear();
    QTreeWidgetItem* parent = nullptr;
    for (const CategoryItem& category : tree.items) {
        QTreeWidgetItem* item = category.level > 0 && parent ? new QTreeWidgetItem(parent)
                                                             : new QTreeWidgetItem(m_tree);
        if (category.level == 0 || !parent) parent = item;
        item->setText(0, Q(category.text));
        item->setData(0, Qt::UserRole, Q(category.value));
        item->setFlags(kTreeItemFlags);
        item->setCheckState(0, ToQt(category.state));
    }
    m_tree->expandAll();
}

std::int32_t QtSiteView::TreeSelectedIndex() const {
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item && item->isSelected() ? TreeIndexOf(item) : -1;
}

void QtSiteView::SelectTreeItem(std::int32_t index) {
    const QSignalBlocker block(m_tree);
    QTreeWidgetItem* item = TreeItemAt(index);
    if (!item) {
        m_tree->setCurrentItem(nullptr);
        m_tree->clearSelection();
        return;
    }
    m_tree->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
}

void QtSiteView::ShowMessage(const std::string& text) {
    QMessageBox::information(m_root, MessageTitle(), Q(text));
}

bool QtSiteView::AskOkCancel(const std::string& text) {
    return QMessageBox::question(m_root, MessageTitle(), Q(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<std::string> QtSiteView::AskText(const std::string& title, const std::string& prompt,
                                               const std::string& initial) {
    TextRequest request;
    request.text = initial;
    request.prompt = prompt;
    request.title = title;
    request.inputMode = true;
    const TextResult result = ::AskText(request, m_root);
    if (!result.ok) return std::nullopt;
    return result.text;
}
