#include "app/batch_tools_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/app_icon.h"
#include "app/file_filter.h"
#include "app/form_controls.h"
#include "app/qt_text.h"
#include "app/text_dialog.h"
#include "app/widget_factory.h"
#include "settings/config_store.h"

using namespace ui;

namespace {

// A batch button shows its progress in two lines (the domain, then the counts).
QPushButton* BatchButton(QWidget* parent, const char* name, const char* caption) {
    QPushButton* button = Button(parent, name, caption);
    button->setMinimumSize(200, 2 * button->fontMetrics().height() + 12);
    return button;
}

// Control texts end lines with CR LF, a button's caption with LF.
QString CaptionText(const std::string& caption) {
    return Q(caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

BatchToolsWindow::BatchToolsWindow(ConfigStore& store, QWidget* owner)
    : QWidget(owner, Qt::Window), m_store(store), m_owner(owner) {
    setObjectName(QStringLiteral("批处理工具"));
    setWindowTitle(U("批处理工具"));
    setWindowIcon(AppIcon());
    BuildUi();
    Connect();
}

BatchToolsWindow::~BatchToolsWindow() = default;

void BatchToolsWindow::BuildUi() {
    auto* root = new QVBoxLayout(this);
    QWidget* w = this;
    root->addLayout(Row({Label(w, "标签执行网站", "执行批处理的网站："),
                         Radio(w, "单选框选定", "当前网站", true),
                         Radio(w, "单选框勾选", "勾选网站"), Radio(w, "单选框全部", "全部网站")}));

    auto* import = Named(new QGroupBox(U("批量导入站点和批量读取分类列表"), w), "分组框导入");
    auto* importGrid = new QGridLayout(import);
    importGrid->addWidget(Check(import, "选择框读取分类列表", "读取分类列表", true), 0, 0);
    importGrid->addWidget(Check(import, "选择框全选分类列表", "全选分类列表"), 0, 1);
    importGrid->addWidget(BatchButton(import, "按钮批量导入", "批量导入站点"), 0, 2);
    importGrid->addWidget(Check(import, "选择框跳过已读站点", "跳过已读过分类的站点"), 1, 0, 1, 2);
    importGrid->addWidget(BatchButton(import, "按钮批量读取", "批量读取已有站点的分类列表"), 1, 2);
    importGrid->setColumnStretch(1, 1);
    root->addWidget(import);

    auto* create = Named(new QGroupBox(U("批量创建分类"), w), "分组框创建分类");
    auto* createGrid = new QGridLayout(create);
    auto* mode = Named(new QComboBox(create), "组合框分类方式");
    mode->addItems({U("所有站点创建相同分类"), U("每个站点创建不同分类")});
    auto* count1 = Edit(create, "编辑框分类数1", "5", 40);
    auto* count2 = Edit(create, "编辑框分类数2", "10", 40);
    count1->setEnabled(false);
    count2->setEnabled(false);
    createGrid->addLayout(
        Row({Label(create, "标签父栏ID", "父栏ID："), Edit(create, "编辑框父类ID", "0", 56), mode}),
        0, 0);
    createGrid->addLayout(Row({Label(create, "标签分类数", "每站点创建分类数："), count1,
                               Label(create, "标签到", "到"), count2}),
                          1, 0);
    m_create = BatchButton(create, "按钮创建分类", "批量创建分类");
    m_create->setToolTip(U("左键：输入分类列表；右键：选择文件，文件名为父分类ID"));
    m_create->installEventFilter(this);
    createGrid->addWidget(m_create, 0, 1, 2, 1, Qt::AlignVCenter);
    root->addWidget(create);

    auto* remove = Named(new QGroupBox(U("批量删除"), w), "分组框删除");
    auto* removeGrid = new QGridLayout(remove);
    const auto rangeRow = [&](int row, const char* from, const char* to, const char* button,
                              const char* caption) {
        removeGrid->addWidget(Label(remove, "", "起始ID："), row, 0);
        removeGrid->addWidget(Edit(remove, from, "1", 64), row, 1);
        removeGrid->addWidget(Label(remove, "", "终止ID："), row, 2);
        removeGrid->addWidget(Edit(remove, to, "500", 64), row, 3);
        removeGrid->addWidget(BatchButton(remove, button, caption), row, 5);
    };
    rangeRow(0, "编辑框起始ID1", "编辑框终止ID1", "按钮删除分类", "批量删除分类");
    rangeRow(1, "编辑框起始ID", "编辑框终止ID", "按钮删除文章", "批量删除文章");
    removeGrid->setColumnStretch(4, 1);
    root->addWidget(remove);

    auto* tools = Named(new QGroupBox(U("小工具"), w), "分组框工具");
    tools->setLayout(Row({Button(tools, "按钮汉字拼音转换器", "汉字拼音转换器"),
                          Button(tools, "按钮随机文本生成器", "随机文本生成器")}));
    root->addWidget(tools);

    // Two texts the operations remember between uses, saved with the window's states: the
    // last category list and the last import text (its own side file: it can be long).
    for (const char* name : {"编辑框分类列表", "编辑框域名列表"}) {
        auto* box = Named(new QPlainTextEdit(w), name);
        box->hide();
    }
    findChild<QWidget*>(U("编辑框域名列表"))
        ->setProperty(kTagProperty, QByteArray(G(U("字节集方式")).c_str()));
    root->addStretch(1);
}

void BatchToolsWindow::Connect() {
    auto on = [this](const char* name, auto handler) {
        connect(findChild<QPushButton*>(U(name)), &QPushButton::clicked, this, handler);
    };
    auto call = [](const std::function<void()>& action) {
        if (action) action();
    };
    on("按钮批量读取", [this, call] { call(m_actions.readCategories); });
    on("按钮批量导入", [this, call] { call(m_actions.importSites); });
    on("按钮删除分类", [this, call] { call(m_actions.deleteCategories); });
    on("按钮删除文章", [this, call] { call(m_actions.deleteArticles); });
    on("按钮创建分类", [this] {
        if (m_actions.createCategories) m_actions.createCategories(false);
    });
    on("按钮汉字拼音转换器", [this, call] { call(m_actions.openPinyin); });
    on("按钮随机文本生成器", [this, call] { call(m_actions.openRandomText); });
    auto* mode = findChild<QComboBox*>(U("组合框分类方式"));
    connect(mode, &QComboBox::currentIndexChanged, this, [this](int index) {
        for (const char* name : {"编辑框分类数1", "编辑框分类数2"})
            findChild<QWidget*>(U(name))->setEnabled(index == 1);
    });
}

bool BatchToolsWindow::eventFilter(QObject* watched, QEvent* event) {
    // Releasing the right button over 批量创建分类 creates the categories from files.
    if (watched == m_create && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && m_create->rect().contains(mouse->pos())) {
            if (m_actions.createCategories) m_actions.createCategories(true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BatchToolsWindow::Persist(bool save) {
    QtFormWindow form(this);
    m_store.PersistWindow(form.Controls(),
                          save ? ConfigStore::Direction::Save : ConfigStore::Direction::Restore,
                          G(U("批处理工具")), {}, false, false);
    // A restored mode has to set the two count boxes as a change would.
    const bool different = findChild<QComboBox*>(U("组合框分类方式"))->currentIndex() == 1;
    for (const char* name : {"编辑框分类数1", "编辑框分类数2"})
        findChild<QWidget*>(U(name))->setEnabled(different);
}

void BatchToolsWindow::Open() {
    if (!isVisible()) Persist(false);
    show();
    raise();
    activateWindow();
}

void BatchToolsWindow::closeEvent(QCloseEvent* event) {
    Persist(true);
    QWidget::closeEvent(event);
}

QWidget* BatchToolsWindow::Control(const std::string& control) const {
    return findChild<QWidget*>(Q(control));
}

std::string BatchToolsWindow::Text(const std::string& control) const {
    QWidget* widget = Control(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return G(edit->text());
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        return text_request::FromBoxLines(G(box->toPlainText()));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return G(combo->currentText());
    return {};
}

void BatchToolsWindow::SetText(const std::string& control, const std::string& text) {
    QWidget* widget = Control(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(Q(text));
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        box->setPlainText(Q(text_request::ToBoxLines(text)));
}

bool BatchToolsWindow::Checked(const std::string& control) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(control));
    return button && button->isChecked();
}

std::int32_t BatchToolsWindow::Index(const std::string& control) const {
    auto* combo = qobject_cast<QComboBox*>(Control(control));
    return combo ? combo->currentIndex() : -1;
}

std::string BatchToolsWindow::Caption(const std::string& button) const {
    auto* widget = qobject_cast<QAbstractButton*>(Control(button));
    if (!widget) return {};
    return G(widget->text().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void BatchToolsWindow::SetCaption(const std::string& button, const std::string& caption) {
    if (auto* widget = qobject_cast<QAbstractButton*>(Control(button)))
        widget->setText(CaptionText(caption));
}

void BatchToolsWindow::SetEnabled(const std::string& control, bool on) {
    if (QWidget* widget = Control(control)) widget->setEnabled(on);
}

void BatchToolsWindow::ShowMessage(const std::string& text, const std::string& title) {
    QMessageBox::information(this, title.empty() ? U("岚舟：") : Q(title), Q(text));
}

bool BatchToolsWindow::AskOkCancel(const std::string& text) {
    return QMessageBox::question(this, U("岚舟："), Q(text),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

TextResult BatchToolsWindow::AskText(const TextRequest& request, bool ownerless) {
    return ::AskText(request, ownerless ? nullptr : m_owner);
}

std::vector<std::string> BatchToolsWindow::PickFiles(const std::string& title,
                                                     const std::string& filter) {
    const QStringList files =
        QFileDialog::getOpenFileNames(this, Q(title), QString(), QtFileFilter(filter));
    std::vector<std::string> paths;
    for (const QString& file : files) paths.push_back(file.toStdString());
    return paths;
}
