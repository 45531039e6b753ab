#include "app/form_controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVariant>

#include "app/qt_text.h"
#include "settings/text_request.h"

namespace {

class WidgetControl : public FormControl {
public:
    explicit WidgetControl(QWidget* widget) : m_widget(widget) {}
    std::string Name() const override { return G(m_widget->objectName()); }
    std::string Tag() const override {
        const QByteArray bytes = m_widget->property(kTagProperty).toByteArray();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    void SetTag(const std::string& tag) override {
        m_widget->setProperty(kTagProperty,
                              QByteArray(tag.data(), static_cast<qsizetype>(tag.size())));
    }

protected:
    QWidget* m_widget;
};

class ButtonControl : public WidgetControl {
public:
    explicit ButtonControl(QAbstractButton* button) : WidgetControl(button), m_button(button) {}
    bool Checked() const override { return m_button->isChecked(); }
    void SetChecked(bool checked) override {
        const QSignalBlocker block(m_button);
        m_button->setChecked(checked);
    }

private:
    QAbstractButton* m_button;
};

class LineEditControl : public WidgetControl {
public:
    explicit LineEditControl(QLineEdit* edit) : WidgetControl(edit), m_edit(edit) {}
    std::string Text() const override { return G(m_edit->text()); }
    void SetText(const std::string& text) override {
        const QSignalBlocker block(m_edit);
        m_edit->setText(Q(text));
    }

private:
    QLineEdit* m_edit;
};

// A multi-line box holds LF lines; the system's texts end lines with CR LF.
class PlainTextControl : public WidgetControl {
public:
    explicit PlainTextControl(QPlainTextEdit* edit) : WidgetControl(edit), m_edit(edit) {}
    std::string Text() const override {
        return text_request::FromBoxLines(G(m_edit->toPlainText()));
    }
    void SetText(const std::string& text) override {
        const QSignalBlocker block(m_edit);
        m_edit->setPlainText(Q(text_request::ToBoxLines(text)));
    }

private:
    QPlainTextEdit* m_edit;
};

class ComboControl : public WidgetControl {
public:
    explicit ComboControl(QComboBox* combo) : WidgetControl(combo), m_combo(combo) {}
    std::string Text() const override { return G(m_combo->currentText()); }
    void SetText(const std::string& text) override {
        const QSignalBlocker block(m_combo);
        if (m_combo->isEditable()) m_combo->setEditText(Q(text));
    }
    std::int32_t Index() const override { return m_combo->currentIndex(); }
    void SetIndex(std::int32_t index) override {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(index >= -1 && index < m_combo->count() ? index : -1);
    }
    std::vector<std::string> Items() const override {
        std::vector<std::string> items;
        for (int i = 0; i < m_combo->count(); ++i) items.push_back(G(m_combo->itemText(i)));
        return items;
    }
    void SetItems(const std::vector<std::string>& items) override {
        const QSignalBlocker block(m_combo);
        m_combo->clear();
        for (const auto& item : items) m_combo->addItem(Q(item));
    }

private:
    QComboBox* m_combo;
};

// 列表框 and 选择列表框: a QListWidget, its rows checkable for the latter.
class ListControl : public WidgetControl {
public:
    explicit ListControl(QListWidget* list) : WidgetControl(list), m_list(list) {}
    std::int32_t Index() const override { return m_list->currentRow(); }
    void SetIndex(std::int32_t index) override {
        const QSignalBlocker block(m_list);
        m_list->setCurrentRow(index >= 0 && index < m_list->count() ? index : -1);
    }
    std::vector<std::string> Items() const override {
        std::vector<std::string> items;
        for (int i = 0; i < m_list->count(); ++i) items.push_back(G(m_list->item(i)->text()));
        return items;
    }
    void SetItems(const std::vector<std::string>& items) override {
        const QSignalBlocker block(m_list);
        const bool checkable = IsCheckList();
        m_list->clear();
        for (const auto& text : items) {
            auto* item = new QListWidgetItem(Q(text), m_list);
            if (checkable) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
        }
    }
    std::vector<std::int32_t> SelectedRows() const override {
        std::vector<std::int32_t> rows;
        for (int i = 0; i < m_list->count(); ++i)
            if (m_list->item(i)->isSelected()) rows.push_back(i);
        return rows;
    }
    void SetSelectedRows(const std::vector<std::int32_t>& rows) override {
        const QSignalBlocker block(m_list);
        m_list->clearSelection();
        for (const std::int32_t row : rows)
            if (QListWidgetItem* item = m_list->item(row)) item->setSelected(true);
    }
    std::vector<std::int32_t> CheckedRows() const override {
        std::vector<std::int32_t> rows;
        for (int i = 0; i < m_list->count(); ++i)
            if (m_list->item(i)->checkState() == Qt::Checked) rows.push_back(i);
        return rows;
    }
    void SetCheckedRows(const std::vector<std::int32_t>& rows) override {
        const QSignalBlocker block(m_list);
        for (int i = 0; i < m_list->count(); ++i) m_list->item(i)->setCheckState(Qt::Unchecked);
        for (const std::int32_t row : rows)
            if (QListWidgetItem* item = m_list->item(row)) item->setCheckState(Qt::Checked);
    }

private:
    bool IsCheckList() const { return m_list->objectName().startsWith(QStringLiteral("选择列表框")); }
    QListWidget* m_list;
};

}  // namespace

std::unique_ptr<FormControl> MakeFormControl(QWidget* widget) {
    if (!widget || widget->objectName().isEmpty()) return nullptr;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return std::make_unique<ButtonControl>(button);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return std::make_unique<LineEditControl>(edit);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        return std::make_unique<PlainTextControl>(edit);
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return std::make_unique<ComboControl>(combo);
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return std::make_unique<ListControl>(list);
    return std::make_unique<WidgetControl>(widget);
}

QtFormWindow::QtFormWindow(QWidget* window) {
    // findChildren walks the object tree in creation order, which is the window's own.
    for (QWidget* child : window->findChildren<QWidget*>()) {
        auto control = MakeFormControl(child);
        if (!control) continue;
        m_controls.push_back(control.get());
        m_owned.push_back(std::move(control));
    }
}
