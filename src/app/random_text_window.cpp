#include "app/random_text_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/form_controls.h"
#include "app/qt_tool_view.h"
#include "app/widget_factory.h"
#include "tools/random_text_generator.h"

using namespace ui;

namespace {

QLineEdit* NumberBox(QWidget* parent, const char* name, const char* text) {
    auto* edit = Named(new QLineEdit(U(text), parent), name);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

// The generate buttons keep one width, the same for both, whichever caption they show.
QPushButton* GenerateButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = Named(new QPushButton(U(caption), parent), name);
    const QFontMetrics metrics = button->fontMetrics();
    int widest = 0;
    for (const char* text : {"生成随机汉字", "生成随机数字字母", "点我停止生成", "正在停止中"})
        widest = std::max(widest, metrics.horizontalAdvance(U(text)));
    button->setFixedWidth(widest + 32);
    return button;
}

}  // namespace

RandomTextWindow::RandomTextWindow(ConfigStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store) {
    setObjectName(U("随机文本生成器"));
    setWindowTitle(U("随机文本生成器"));
    BuildUi();
    m_view = std::make_unique<QtToolView>(this);
    m_generator = std::make_unique<RandomTextGenerator>(*m_view);
    m_controls = std::make_unique<QtFormWindow>(this);
    m_generator->Opened(m_store, m_controls->Controls());
}

RandomTextWindow::~RandomTextWindow() = default;

void RandomTextWindow::closeEvent(QCloseEvent* event) {
    m_generator->Stop();
    m_generator->Closed(m_store, m_controls->Controls());
    event->accept();
}

void RandomTextWindow::hideEvent(QHideEvent* event) {
    m_generator->Stop();
    QWidget::hideEvent(event);
}

void RandomTextWindow::BuildUi() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(8);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);

    auto* numbers = new QHBoxLayout;
    numbers->setSpacing(6);
    numbers->addWidget(NumberBox(this, "编辑框字数1", "3"));
    numbers->addWidget(new QLabel(U("到"), this));
    numbers->addWidget(NumberBox(this, "编辑框字数2", "5"));
    numbers->addWidget(new QLabel(U("个"), this));
    numbers->addSpacing(24);
    numbers->addWidget(new QLabel(U("生成组数："), this));
    numbers->addWidget(NumberBox(this, "编辑框组数", "100"));
    numbers->addStretch(1);
    grid->addWidget(new QLabel(U("每组字数："), this), 0, 0);
    grid->addLayout(numbers, 0, 1, 1, 2);

    auto* tables = new QHBoxLayout;
    tables->setSpacing(12);
    auto* tableGroup = new QButtonGroup(this);
    const char* const radios[][2] = {
        {"单选框最常用", "最常用"}, {"单选框一般常用", "一般常用"}, {"单选框次要常用", "次要常用"}};
    for (const auto& [name, caption] : radios) {
        auto* radio = Named(new QRadioButton(U(caption), this), name);
        tableGroup->addButton(radio);
        tables->addWidget(radio);
    }
    tableGroup->buttons().front()->setChecked(true);
    tables->addWidget(Check(this, "选择框转为繁体", "转为繁体", false));
    tables->addStretch(1);
    auto* hanzi = GenerateButton(this, "按钮生成汉字", "生成随机汉字");
    grid->addWidget(new QLabel(U("汉字类型："), this), 1, 0);
    grid->addLayout(tables, 1, 1);
    grid->addWidget(hanzi, 1, 2);

    auto* kinds = new QHBoxLayout;
    kinds->setSpacing(12);
    kinds->addWidget(Check(this, "选择框有数字", "有数字", false));
    kinds->addWidget(Check(this, "选择框有小字母", "有小字母", true));
    kinds->addWidget(Check(this, "选择框有大字母", "有大字母", true));
    kinds->addWidget(Check(this, "选择框转为全角", "转为全角", false));
    kinds->addStretch(1);
    auto* alnum = GenerateButton(this, "按钮生成数母", "生成随机数字字母");
    grid->addWidget(new QLabel(U("数母成分："), this), 2, 0);
    grid->addLayout(kinds, 2, 1);
    grid->addWidget(alnum, 2, 2);
    grid->setColumnStretch(1, 1);
    root->addLayout(grid);

    auto* result = Named(new QPlainTextEdit(this), "编辑框结果");
    result->setLineWrapMode(QPlainTextEdit::NoWrap);
    root->addWidget(result, 1);

    auto* bottom = new QHBoxLayout;
    auto* copy = Named(new QPushButton(U("复制结果"), this), "按钮复制结果");
    bottom->addStretch(1);
    bottom->addWidget(copy);
    root->addLayout(bottom);

    connect(hanzi, &QPushButton::clicked, this, [this] { m_generator->GenerateHanziClicked(); });
    connect(alnum, &QPushButton::clicked, this, [this] { m_generator->GenerateAlnumClicked(); });
    connect(copy, &QPushButton::clicked, this, [this] { m_generator->CopyClicked(); });
    resize(600, 460);
}
