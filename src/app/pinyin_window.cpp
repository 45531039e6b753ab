#include "app/pinyin_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/form_controls.h"
#include "app/qt_tool_view.h"
#include "app/widget_factory.h"
#include "tools/pinyin_converter.h"

using namespace ui;

namespace {

QPlainTextEdit* TextBox(QWidget* parent, const char* name) {
    auto* box = Named(new QPlainTextEdit(parent), name);
    box->setTabChangesFocus(true);
    return box;
}

}  // namespace

PinyinWindow::PinyinWindow(ConfigStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store) {
    setObjectName(U("汉字拼音转换器"));
    setWindowTitle(U("汉字拼音转换器"));
    BuildUi();
    m_view = std::make_unique<QtToolView>(this);
    m_converter = std::make_unique<PinyinConverter>(*m_view);
    m_controls = std::make_unique<QtFormWindow>(this);
    m_converter->Opened(m_store, m_controls->Controls());
}

PinyinWindow::~PinyinWindow() = default;

void PinyinWindow::closeEvent(QCloseEvent* event) {
    m_converter->Closed(m_store, m_controls->Controls());
    event->accept();
}

void PinyinWindow::BuildUi() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(8);

    auto* input = new QHBoxLayout;
    auto* text = TextBox(this, "编辑框汉字");
    text->setPlaceholderText(U("在这里输入或粘贴汉字"));
    input->addWidget(text, 1);
    auto* paste = Named(new QPushButton(U("粘贴\n汉字"), this), "按钮粘贴汉字");
    paste->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    paste->setFixedWidth(paste->fontMetrics().horizontalAdvance(U("粘贴")) + 28);
    input->addWidget(paste);
    root->addLayout(input, 1);

    // The four case options are one group: exactly one is selected.
    auto* options = new QGridLayout;
    options->setHorizontalSpacing(14);
    auto* cases = new QButtonGroup(this);
    const char* const radios[][2] = {{"单选框全部小写", "全部小写"},
                                     {"单选框全部大写", "全部大写"},
                                     {"单选框拼音首大写", "拼音首大写"},
                                     {"单选框首字母大写", "首字母大写"}};
    int column = 0;
    for (const auto& [name, caption] : radios) {
        auto* radio = Named(new QRadioButton(U(caption), this), name);
        cases->addButton(radio);
        options->addWidget(radio, 0, column++);
        if (column == 3) radio->setChecked(true);  // 拼音首大写
    }
    auto* initials = Named(new QCheckBox(U("首拼模式"), this), "选择框首拼模式");
    auto* letters = Named(new QCheckBox(U("清除非字母"), this), "选择框清除非字母");
    auto* spaces = Named(new QCheckBox(U("保留空格"), this), "选择框保留空格");
    auto* lines = Named(new QCheckBox(U("保留换行"), this), "选择框保留换行");
    letters->setChecked(true);
    lines->setChecked(true);
    options->addWidget(initials, 1, 0);
    options->addWidget(letters, 1, 1);
    options->addWidget(spaces, 1, 2);
    options->addWidget(lines, 1, 3);
    options->setColumnStretch(4, 1);
    root->addLayout(options);

    auto* buttons = new QHBoxLayout;
    auto* convert = Named(new QPushButton(U("转换拼音"), this), "按钮转换拼音");
    auto* copy = Named(new QPushButton(U("复制结果"), this), "按钮复制结果");
    convert->setDefault(true);
    buttons->addWidget(convert);
    buttons->addWidget(copy);
    buttons->addStretch(1);
    root->addLayout(buttons);

    auto* result = TextBox(this, "编辑框结果");
    root->addWidget(result, 1);

    connect(convert, &QPushButton::clicked, this, [this] { m_converter->ConvertClicked(); });
    connect(paste, &QPushButton::clicked, this, [this] { m_converter->PasteClicked(); });
    connect(copy, &QPushButton::clicked, this, [this] { m_converter->CopyClicked(); });
    connect(letters, &QCheckBox::clicked, this, [this] { m_converter->LettersOnlyClicked(); });
    resize(520, 420);
}
