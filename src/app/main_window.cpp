#include "app/main_window.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QSystemTrayIcon>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdlib>
#include <optional>

#include "app/app_icon.h"
#include "app/batch_tools_window.h"
#include "app/file_filter.h"
#include "app/form_controls.h"
#include "app/log_window.h"
#include "app/pinyin_window.h"
#include "app/qt_run_host.h"
#include "app/qt_text.h"
#include "app/random_text_window.h"
#include "app/scheduler_window.h"
#include "app/site_view.h"
#include "app/text_dialog.h"
#include "app/widget_factory.h"
#include "core/events.h"
#include "core/platform/affinity.h"
#include "run/run_controller.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_editor.h"
#include "settings/site_file.h"
#include "settings/site_records.h"
#include "tools/batch_import.h"
#include "tools/batch_tools.h"
#include "tools/category_tools.h"

using namespace ui;

namespace {

const QString kMessageTitle = QStringLiteral("岚舟：");
const QString kHomePage = QStringLiteral("https://qingluan.example.org/");

const char* const kHelpText =
    "1. 每个站点独立配置：在右边改好参数后，请点击[修改]把当前配置保存到选中的站点；[添加]则"
    "以当前参数新建一个站点。\r\n"
    "2. 左键点击“开始站群更新”按文件过滤规则扫描文章目录，右键点击则逐个查找文件；更新中再点"
    "一次即停止全部站点。\r\n"
    "3. 更新中选中列表里一个打勾的站点，可用“停止更新选定站点”单独停止它。\r\n"
    "4. 登录失败时，软件目录下的“登录失败.htm”是站点最后返回的页面，可以打开查看原因。\r\n"
    "5. 日志保存在软件目录的“日志”文件夹，每次更新一个文件，以开始时间命名。\r\n"
    "6. 所有设置保存在软件目录的“岚舟·青鸾助手.ini”，退出软件或点击“全局保存”时写入。";

// A drop-down of the site editor, its items the captions the settings keys list for it.
QComboBox* SiteCombo(QWidget* parent, const char* name) {
    auto* combo = Named(new QComboBox(parent), name);
    const std::string control = G(U(name));
    for (const SiteKeyControl& key : SiteKeyControls())
        if (key.control == control)
            for (const std::string& caption : key.captions) combo->addItem(Q(caption));
    return combo;
}

}  // namespace

MainWindow::MainWindow(ConfigStore& store, MainWindowOptions options)
    : QWidget(nullptr), m_store(store), m_options(options) {
    if (m_options.pinToFirstCpu) platform::SetProcessAffinityFirstCpu();
    setObjectName(QStringLiteral("主窗口"));
    setWindowTitle(Q(ProgramTitle()) + QStringLiteral(" v1.1.0.0"));
    setWindowIcon(AppIcon());
    m_log = new LogWindow(this);
    m_log->setWindowIcon(AppIcon());
    BuildUi();
    m_view = std::make_unique<QtSiteView>(this, m_list, m_tree, m_listGroup);
    RunWidgets widgets;
    widgets.owner = this;
    widgets.start = m_start;
    widgets.siteStop = m_siteStop;
    widgets.add = m_add;
    widgets.addOrStop = m_addOrStop;
    widgets.syncCycle = m_syncCycle;
    widgets.cycleSeconds = m_cycleSeconds;
    widgets.independent = m_independent;
    widgets.sitesAtOnce = m_sitesAtOnce;
    widgets.globalQuota = m_globalQuota;
    widgets.globalQuotaCount = m_globalQuotaCount;
    widgets.shutdownWhenDone = m_shutdownWhenDone;
    widgets.retryFailed = m_retryFailed;
    widgets.sites = m_list;
    widgets.viewLog = m_viewLog;
    widgets.log = m_log;
    for (const char* name : {"单选框先后独立", "单选框同步循环", "按钮导入", "按钮导出", "按钮上移",
                             "按钮下移", "按钮启用", "按钮不启", "按钮反启", "按钮添加", "按钮修改",
                             "按钮删除", "按钮清空", "按钮读取分类列表"})
        widgets.runControls.push_back(findChild<QWidget*>(U(name)));
    m_host = std::make_unique<QtRunHost>(std::move(widgets), [this] { SaveAll(); });
    m_controller = std::make_unique<RunController>(m_sites, *m_host);
    m_editor = std::make_unique<SiteEditor>(m_sites, *m_view, &m_store,
                                            [this] { return !m_controller->IsRunning(); });
    m_categories = std::make_unique<CategoryTools>(*m_view, m_batchState);
    // The editor's controls start at the design values, the ones a new site takes when
    // no site is selected.
    WriteSiteToControls(DesignSiteValues(), *m_view);
    ConnectSiteEditor();
    ConnectRun();
    LoadSettings();
    if (m_options.trayIcon) CreateTrayIcon();
    // Long work on this thread (a SyncCycle run, settings writes) keeps the windows alive
    // through this hook; set only now, so nothing reaches a half-built window.
    SetPumpEventsHook([] { QCoreApplication::processEvents(); });
}

MainWindow::~MainWindow() {
    SetPumpEventsHook({});
}

void MainWindow::BuildUi() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 0, 8, 6);
    root->addWidget(BuildBanner());
    root->addWidget(BuildRunGroup());
    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(BuildListGroup(), 3);
    left->addWidget(BuildCategoryGroup(), 2);
    middle->addLayout(left, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildSiteGroup());
    right->addWidget(BuildArticleGroup());
    right->addWidget(BuildTagGroup());
    right->addWidget(BuildAliasGroup());
    right->addStretch(1);
    middle->addLayout(right, 2);
    root->addLayout(middle, 1);
    root->addWidget(BuildToolsRow());
}

QWidget* MainWindow::BuildBanner() {
    // 图片框1 spans the client width (the layout stretches it on every resize).
    auto* banner = Named(new QLabel(this), "图片框1");
    banner->setMinimumHeight(54);
    banner->setAutoFillBackground(true);
    banner->setStyleSheet(QStringLiteral(
        "QLabel#图片框1 { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #12707a, "
        "stop:1 #5fb8c2); color: white; padding-left: 8px; }"));
    const QString icon =
        QStringLiteral("<img src=\"data:image/png;base64,%1\" width=36 height=36>");
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        AppIcon().pixmap(72, 72).save(&buffer, "PNG");
    }
    banner->setText(
        QStringLiteral("<table><tr><td valign=middle>%1</td><td valign=middle>&nbsp;"
                       "<span style=\"font-size:16pt; font-weight:600;\">%2</span>"
                       "&nbsp;&nbsp;<span style=\"font-size:9pt;\">emlog 站群更新 v1.1.0.0"
                       "</span></td></tr></table>")
            .arg(icon.arg(QString::fromLatin1(png.toBase64())), Q(ProgramTitle())));
    return banner;
}

QWidget* MainWindow::BuildRunGroup() {
    auto* group = Named(new QGroupBox(U("站群更新"), this), "分组框更新");
    auto* layout = new QHBoxLayout(group);
    m_start = Button(group, "按钮开始更新", "开始站群更新");
    m_start->setMinimumSize(120, 52);
    m_start->setToolTip(U("左键：按文件过滤规则扫描文章；右键：逐个查找文件"));
    QFont bold = m_start->font();
    bold.setBold(true);
    m_start->setFont(bold);
    layout->addWidget(m_start);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    m_syncCycle =
        Named(new QRadioButton(U("同步循环更新[循环一次间隔秒]："), group), "单选框同步循环");
    m_cycleSeconds = Edit(group, "编辑框循环间隔秒", "0.01", 56);
    m_independent =
        Named(new QRadioButton(U("先后独立更新[同时更新站点数]："), group), "单选框先后独立");
    m_independent->setChecked(true);
    m_sitesAtOnce = Edit(group, "编辑框同时站点数", "5", 56);
    m_globalQuota = Check(group, "选择框全局更新数量", "全局更新数量:");
    m_globalQuotaCount = Edit(group, "编辑框全局更新数量", "0", 56);
    m_globalQuotaCount->setEnabled(false);
    m_shutdownWhenDone = Check(group, "选择框完成关机", "更新完成关机");
    m_retryFailed = Check(group, "选择框失败时重复尝试", "失败时重复尝试", true);
    grid->addWidget(m_syncCycle, 0, 0);
    grid->addWidget(m_cycleSeconds, 0, 1);
    grid->addWidget(m_independent, 1, 0);
    grid->addWidget(m_sitesAtOnce, 1, 1);
    grid->setColumnMinimumWidth(2, 12);
    grid->addWidget(m_globalQuota, 0, 3);
    grid->addWidget(m_globalQuotaCount, 0, 4);
    grid->addWidget(m_retryFailed, 1, 3, 1, 2);
    grid->setColumnMinimumWidth(5, 12);
    grid->addWidget(m_shutdownWhenDone, 0, 6);
    layout->addLayout(grid);
    layout->addStretch(1);
    m_viewLog = Button(group, "按钮查看日志", "查看日志");
    m_viewLog->setMinimumHeight(52);
    layout->addWidget(m_viewLog);
    return group;
}

QWidget* MainWindow::BuildListGroup() {
    // The batch tools disable the site-list group by this name while they walk the rows.
    m_listGroup = Named(new QGroupBox(this), "分组框3");
    auto* layout = new QVBoxLayout(m_listGroup);
    QWidget* g = m_listGroup;
    auto* top = Row({Button(g, "按钮启用", "启用"), Button(g, "按钮不启", "不启"),
                     Button(g, "按钮反启", "反启")});
    for (const auto& [name, caption] : {std::pair{"按钮导入", "导入"}, {"按钮导出", "导出"}})
        top->addWidget(Button(g, name, caption));
    layout->addLayout(top);
    m_list = Named(new QListWidget(g), "列表框");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    layout->addWidget(m_list, 1);

    m_add = Button(g, "按钮添加", "添加");
    m_siteStop = Button(g, "按钮停止更新", "停止更新选定站点");
    m_siteStop->setToolTip(U("只有选中一个站点配置时才允许点击"));
    m_siteStop->setEnabled(false);
    // The stop button stands exactly where 按钮添加 is; a run shows one or the other.
    m_addOrStop = Named(new QStackedWidget(g), "栈添加停止");
    m_addOrStop->addWidget(m_add);
    m_addOrStop->addWidget(m_siteStop);
    m_addOrStop->setCurrentWidget(m_add);
    m_addOrStop->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_addOrStop);
    for (const auto& [name, caption] : {std::pair{"按钮修改", "修改"},
                                        {"按钮删除", "删除"},
                                        {"按钮清空", "清空"},
                                        {"按钮上移", "上移"},
                                        {"按钮下移", "下移"}})
        bottom->addWidget(Button(g, name, caption));
    bottom->addStretch(1);
    layout->addLayout(bottom);
    return m_listGroup;
}

QWidget* MainWindow::BuildSiteGroup() {
    auto* group = Named(new QGroupBox(U("站点"), this), "分组框站点");
    auto* grid = new QGridLayout(group);
    grid->addWidget(Label(group, "标签域名", "域名："), 0, 0);
    grid->addWidget(Edit(group, "编辑框域名", ""), 0, 1, 1, 3);
    grid->addWidget(Label(group, "标签用户", "用户："), 1, 0);
    grid->addWidget(Edit(group, "编辑框用户", ""), 1, 1);
    grid->addWidget(Label(group, "标签密码", "密码："), 1, 2);
    grid->addWidget(Edit(group, "编辑框密码", ""), 1, 3);
    grid->addWidget(Label(group, "标签编码", "编码："), 2, 0);
    grid->addWidget(SiteCombo(group, "组合框编码"), 2, 1);
    grid->addWidget(Label(group, "标签后台", "后台："), 2, 2);
    grid->addWidget(Edit(group, "编辑框后台", ""), 2, 3);
    return group;
}

QWidget* MainWindow::BuildArticleGroup() {
    auto* group = Named(new QGroupBox(U("文章"), this), "分组框文章");
    auto* grid = new QGridLayout(group);
    grid->addWidget(Label(group, "标签文章目录", "文章目录："), 0, 0);
    m_articleFolder = Edit(group, "编辑框文章目录", "");
    m_pickFolder = Button(group, "按钮选择目录", "选择目录");
    m_pickFolder->setToolTip(U("左键选择文件夹；右键打开该文件夹"));
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_articleFolder, 1);
    folderRow->addWidget(m_pickFolder);
    grid->addLayout(folderRow, 0, 1, 1, 3);
    grid->addWidget(Label(group, "标签文件过滤", "文件过滤："), 1, 0);
    grid->addWidget(Edit(group, "编辑框文件过滤", ""), 1, 1);
    grid->addWidget(Label(group, "标签文件编码", "文件编码："), 1, 2);
    grid->addWidget(SiteCombo(group, "组合框文件编码"), 1, 3);
    grid->addWidget(Label(group, "标签更新数量", "更新数量："), 2, 0);
    grid->addWidget(Edit(group, "编辑框更新数量", ""), 2, 1);
    grid->addWidget(Label(group, "标签间隔秒", "间隔秒："), 2, 2);
    grid->addWidget(Edit(group, "编辑框间隔秒1", ""), 2, 3);
    grid->addLayout(Row({Check(group, "选择框删除已更新文章", "删除已更新文章"),
                         Check(group, "选择框首行标题", "文章首行当标题"),
                         Check(group, "选择框段落标签", "加网页段落标签")}),
                    3, 0, 1, 4);
    return group;
}

QWidget* MainWindow::BuildTagGroup() {
    auto* group = Named(new QGroupBox(U("标签、摘要与置顶"), this), "分组框标签");
    auto* layout = new QVBoxLayout(group);
    auto* tags = Button(group, "按钮输入标签组", "输入标签组");
    layout->addLayout(
        Row({tags, Label(group, "标签标签数", "标签数："), Edit(group, "编辑框标签数1", "", 44),
             Label(group, "标签标签数至", "~"), Edit(group, "编辑框标签数2", "", 44),
             Check(group, "选择框文章中提取标签", "自动分词")}));
    layout->addLayout(
        Row({Label(group, "标签摘要", "摘要字数："), Edit(group, "编辑框内容摘要数1", "", 44),
             Label(group, "标签摘要至", "~"), Edit(group, "编辑框内容摘要数2", "", 44),
             Check(group, "选择框首页置顶", "首页置顶"), Check(group, "选择框分类置顶", "分类置顶"),
             Check(group, "选择框允许评论", "允许评论")}));
    return group;
}

QWidget* MainWindow::BuildAliasGroup() {
    auto* group = Named(new QGroupBox(U("别名"), this), "分组框别名");
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(
        Row({SiteCombo(group, "组合框别名类型"), Label(group, "标签别名左边", "左边："),
             Edit(group, "编辑框别名左边", "", 70), Label(group, "标签别名右边", "右边："),
             Edit(group, "编辑框别名右边", "", 70)}));
    // One row for the options of the chosen type; only one set shows at a time, and the
    // row keeps its height when none does.
    auto* options = Named(new QWidget(group), "别名选项");
    auto* row = Row(
        {Edit(options, "编辑框字母数1", "", 44), Label(options, "标签到", "到"),
         Edit(options, "编辑框字母数2", "", 44), Label(options, "标签起始值", "起始值:"),
         Edit(options, "编辑框别名起始值", "", 60), Label(options, "标签递增值", "递增值:"),
         Edit(options, "编辑框别名递增值", "", 44), Label(options, "标签拼音间隔符", "拼音间隔符:"),
         SiteCombo(options, "组合框拼音间隔符")});
    row->setContentsMargins(0, 0, 0, 0);
    options->setLayout(row);
    options->setMinimumHeight(QLineEdit().sizeHint().height());
    layout->addWidget(options);
    return group;
}

QWidget* MainWindow::BuildCategoryGroup() {
    auto* group = Named(new QGroupBox(U("文章分类（只能勾选子分类；勾选多个时随机选用）"), this),
                        "分组框分类");
    auto* layout = new QVBoxLayout(group);
    m_tree = Named(new QTreeWidget(group), "树型框");
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    // Hot tracking: the item under the mouse is highlighted.
    m_tree->setMouseTracking(true);
    m_tree->setAttribute(Qt::WA_Hover);
    m_tree->viewport()->installEventFilter(this);
    layout->addWidget(m_tree, 1);
    auto* buttons = new QHBoxLayout;
    for (const auto& [name, caption] : {std::pair{"按钮读取分类列表", "读取分类列表"},
                                        {"按钮全选", "全选"},
                                        {"按钮不选", "不选"},
                                        {"按钮反选", "反选"}}) {
        buttons->addWidget(Button(group, name, caption));
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return group;
}

QWidget* MainWindow::BuildToolsRow() {
    auto* tools = Named(new QWidget(this), "工具栏");
    auto* row = new QHBoxLayout(tools);
    row->setContentsMargins(0, 2, 0, 0);
    m_batchPicture = Picture(tools, "图片框批处理", QStyle::SP_FileDialogDetailedView);
    m_batchLink = Link(tools, "超级链接框批处理", "批处理工具");
    m_planPicture = Picture(tools, "图片框计划", QStyle::SP_BrowserReload);
    m_planLink = Link(tools, "超级链接框计划", "计划任务");
    // The links open their windows as the left button goes down, the pictures on a click.
    for (QLabel* opener : {m_batchPicture, m_batchLink, m_planPicture, m_planLink})
        opener->installEventFilter(this);
    m_savePicture = Picture(tools, "图片全局保存", QStyle::SP_DialogSaveButton);
    m_saveLink = Link(tools, "链接全局保存", "全局保存");
    m_helpPicture = Picture(tools, "图片疑点说明", QStyle::SP_MessageBoxQuestion);
    auto* helpLink = Link(tools, "链接疑点说明", "疑点说明");
    m_homePicture = Picture(tools, "图片软件主页", QStyle::SP_DirHomeIcon);
    auto* homeLink = Link(tools, "链接软件主页", "软件主页");
    for (QWidget* widget :
         {static_cast<QWidget*>(m_batchPicture), static_cast<QWidget*>(m_batchLink),
          static_cast<QWidget*>(m_planPicture), static_cast<QWidget*>(m_planLink),
          static_cast<QWidget*>(m_savePicture), static_cast<QWidget*>(m_saveLink),
          static_cast<QWidget*>(m_helpPicture), static_cast<QWidget*>(helpLink),
          static_cast<QWidget*>(m_homePicture), static_cast<QWidget*>(homeLink)}) {
        row->addWidget(widget);
        if (qobject_cast<QLabel*>(widget) && !static_cast<QLabel*>(widget)->pixmap().isNull())
            continue;
        row->addSpacing(14);
    }
    for (QLabel* picture : {m_savePicture, m_helpPicture, m_homePicture})
        picture->installEventFilter(this);
    connect(m_saveLink, &QLabel::linkActivated, this, [this] { GlobalSave(); });
    connect(helpLink, &QLabel::linkActivated, this, [this] { ShowHelp(); });
    connect(homeLink, &QLabel::linkActivated, this, [this] { OpenHomePage(); });
    row->addStretch(1);
    // 标签13 spans what is left of the width.
    auto* hint =
        Label(tools, "标签13", "提示：左键“开始站群更新”按过滤规则扫描文章，右键逐个查找文件");
    hint->setStyleSheet(QStringLiteral("color: #666;"));
    row->addWidget(hint);
    return tools;
}

void MainWindow::ConnectSiteEditor() {
    SiteEditor& editor = *m_editor;
    auto on = [this](const char* name, auto handler) {
        connect(findChild<QPushButton*>(U(name)), &QPushButton::clicked, this, handler);
    };
    on("按钮添加", [&editor] { editor.ApplyControlsToSite(ApplyMode::Add); });
    on("按钮修改", [&editor] { editor.ApplyControlsToSite(ApplyMode::Modify); });
    on("按钮删除", [&editor] { editor.DeleteSite(); });
    on("按钮清空", [&editor] { editor.ClearSites(); });
    on("按钮上移", [&editor] { editor.MoveSiteUp(); });
    on("按钮下移", [&editor] { editor.MoveSiteDown(); });
    on("按钮启用", [&editor] { editor.SetAllEnabled(0); });
    on("按钮不启", [&editor] { editor.SetAllEnabled(1); });
    on("按钮反启", [&editor] { editor.SetAllEnabled(2); });
    on("按钮输入标签组", [&editor] { editor.EditTagList(); });
    on("按钮选择目录", [this] { PickFolder(); });
    on("按钮导入", [this] { ImportSites(); });
    on("按钮导出", [this] { ExportSites(); });
    m_pickFolder->installEventFilter(this);

    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { OnSiteSelectionChanged(); });
    connect(m_list, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { OnRowItemChanged(m_list->row(item)); });
    connect(findChild<QComboBox*>(U("组合框别名类型")), &QComboBox::currentIndexChanged, this,
            [&editor] { editor.UpdateDependentControls(); });
    connect(findChild<QCheckBox*>(U("选择框文章中提取标签")), &QCheckBox::toggled, this,
            [&editor] { editor.UpdateDependentControls(); });
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        const std::int32_t state = item->checkState(0) == Qt::Checked ? CategoryTree::kChecked
                                   : item->checkState(0) == Qt::PartiallyChecked
                                       ? CategoryTree::kMixed
                                       : CategoryTree::kUnchecked;
        m_editor->TreeCheckChanged(m_view->TreeIndexOf(item), state);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (m_treeIndicatorPress) return;
        m_editor->TreeSelectionChanged(m_view->TreeIndexOf(item));
    });

    CategoryTools& categories = *m_categories;
    on("按钮读取分类列表", [&categories] { categories.ReadCategoriesForShownSite(false); });
    on("按钮全选", [&categories] { categories.SetAllCategoryChecks(1); });
    on("按钮不选", [&categories] { categories.SetAllCategoryChecks(-1); });
    on("按钮反选", [&categories] { categories.SetAllCategoryChecks(0); });
    // A double-click or Enter on a category opens its page on the site.
    connect(m_tree, &QTreeWidget::itemActivated, this,
            [&categories] { categories.OpenCategoryPage(); });
}

void MainWindow::ConnectRun() {
    // The run is started from the event loop, not inside the click: the click's own
    // handling finishes first, and the run's event pumping then sees a second click as
    // the stop it is.
    connect(m_start, &QPushButton::clicked, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { m_controller->StartButtonClicked(); }, Qt::QueuedConnection);
    });
    m_start->installEventFilter(this);
    connect(m_siteStop, &QPushButton::clicked, this,
            [this] { m_controller->RequestSiteStop(m_view->SelectedRow() + 1); });
    connect(m_viewLog, &QPushButton::clicked, this,
            [this] { m_controller->Log().ToggleLogWindow(); });
    connect(m_log, &LogWindow::hiddenByUser, this,
            [this] { m_viewLog->setText(QStringLiteral("查看日志")); });
    connect(m_log, &LogWindow::locateClicked, this,
            [this] { m_controller->Log().LocateLogFile(); });
    connect(m_globalQuota, &QCheckBox::toggled, m_globalQuotaCount, &QLineEdit::setEnabled);
}

void MainWindow::LoadSettings() {
    BasicSettings settings = m_host->ReadRunSettings();
    LoadBasicSettings(m_store, settings);
    m_host->ShowSettings(settings);
    // The editor's rules on the design values first (the alias options, the tag button);
    // the loaded site's values follow with ShowSelectedSite.
    m_editor->UpdateDependentControls();
    const std::int32_t current = LoadSiteRecords(m_store, m_sites);
    m_editor->RefreshRows();
    m_view->SelectRow(current);
    m_editor->ShowSelectedSite();
}

void MainWindow::CreateTrayIcon() {
    // Without a notification area the program runs on without its icon.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    m_tray = new QSystemTrayIcon(AppIcon(), this);
    // The tip of the Windows shell holds at most 127 bytes; the title is far shorter.
    m_tray->setToolTip(Q(ProgramTitle()));
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger) ToggleFromTray();
                if (why == QSystemTrayIcon::Context) ExitFromTray();
            });
    m_tray->show();
}

void MainWindow::ToggleFromTray() {
    if (isVisible()) {
        hide();
        return;
    }
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void MainWindow::ExitFromTray() {
    const QString question = QStringLiteral("确定要退出本软件《%1》吗？").arg(Q(ProgramTitle()));
    if (QMessageBox::question(this, kMessageTitle, question, QMessageBox::Ok | QMessageBox::Cancel,
                              QMessageBox::Cancel) == QMessageBox::Ok)
        CloseQuery();
}

bool MainWindow::CloseQuery(bool ask) {
    if (m_closing || m_ended) return m_ended;
    m_closing = true;
    if (ask && m_controller->IsRunning() &&
        QMessageBox::question(
            this, kMessageTitle, QStringLiteral("当前正在更新中，请问是否还继续退出？"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        m_closing = false;
        return false;
    }
    // Open tool windows keep their states as a close of their own would.
    for (QWidget* tool : {static_cast<QWidget*>(m_batchTools), static_cast<QWidget*>(m_pinyin),
                          static_cast<QWidget*>(m_randomText)})
        if (tool && tool->isVisible()) tool->close();
    hide();
    m_log->hide();
    SaveAll();
    // A run going on ends the process at once, before any window's own save.
    if (m_scheduler) m_scheduler->SaveTimePoints();
    if (m_tray) m_tray->hide();
    PruneSiteSections(m_store, m_sites.size());
    m_ended = true;
    m_host->SetQuiet(true);
    EndProgram();
    return true;
}

void MainWindow::EndProgram() {
    if (m_end) {
        m_end();
        return;
    }
    // A run is a call on this thread that only returns when its jobs end: the program
    // cannot wait for it. Everything worth keeping is on disk by now (settings published,
    // log lines flushed one by one).
    if (m_controller->IsRunning()) std::_Exit(0);
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_ended || CloseQuery())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == m_start && mouse->button() == Qt::RightButton) {
            QMetaObject::invokeMethod(
                this, [this] { m_controller->StartButtonRightPressed(); }, Qt::QueuedConnection);
            return true;
        }
        if ((watched == m_batchLink || watched == m_planLink) &&
            mouse->button() == Qt::LeftButton) {
            // Queued: the window opens after the press, not inside the label's handler.
            QMetaObject::invokeMethod(
                this,
                [this, batch = watched == m_batchLink] {
                    batch ? OpenBatchTools() : OpenScheduler();
                },
                Qt::QueuedConnection);
            return true;
        }
        if (watched == m_pickFolder && mouse->button() == Qt::RightButton) {
            OpenArticleFolder();
            return true;
        }
        if (watched == m_tree->viewport()) {
            QTreeWidgetItem* item = m_tree->itemAt(mouse->position().toPoint());
            m_treeIndicatorPress = false;
            if (item) {
                QStyleOptionViewItem option;
                option.initFrom(m_tree);
                option.rect = m_tree->visualItemRect(item);
                option.features |= QStyleOptionViewItem::HasCheckIndicator;
                const QRect box = m_tree->style()->subElementRect(
                    QStyle::SE_ItemViewItemCheckIndicator, &option, m_tree);
                m_treeIndicatorPress = box.contains(mouse->position().toPoint());
            }
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == m_tree->viewport()) {
            m_treeIndicatorPress = false;
        } else if (mouse->button() == Qt::LeftButton) {
            if (watched == m_batchPicture) OpenBatchTools();
            if (watched == m_planPicture) OpenScheduler();
            if (watched == m_savePicture) GlobalSave();
            if (watched == m_helpPicture) ShowHelp();
            if (watched == m_homePicture) OpenHomePage();
        }
    }
    return QWidget::eventFilter(watched, event);
}

BatchToolsWindow& MainWindow::BatchWindow() {
    if (!m_batchTools) {
        m_batchTools = new BatchToolsWindow(m_store, this);
        ConnectBatchTools();
    }
    return *m_batchTools;
}

void MainWindow::OpenBatchTools() {
    BatchWindow().Open();
}

template <class Window>
void MainWindow::OpenToolWindow(Window*& window) {
    // Made once and shown again: its states come from the settings file when it is made.
    if (!window) window = new Window(m_store, this);
    window->show();
    window->raise();
    window->activateWindow();
}

SchedulerWindow& MainWindow::Scheduler() {
    if (!m_scheduler) m_scheduler = new SchedulerWindow(m_store, *m_controller, this);
    return *m_scheduler;
}

void MainWindow::OpenScheduler() {
    Scheduler().Open();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    // The scheduled task may start with the program, its window not shown.
    if (SchedulerWindow::AutoStartWanted(m_store)) Scheduler().AutoStart();
}

void MainWindow::ConnectBatchTools() {
    m_batch = std::make_unique<BatchTools>(*m_editor, *m_view, *m_batchTools, m_batchState,
                                           [this] { return m_controller->IsRunning(); });
    BatchToolsWindow::Actions actions;
    BatchTools& batch = *m_batch;
    actions.readCategories = [&batch] { batch.BatchReadCategories(); };
    actions.createCategories = [&batch](bool fromFiles) { batch.BatchCreateCategories(fromFiles); };
    actions.deleteCategories = [&batch] { batch.BatchDeleteCategories(); };
    actions.deleteArticles = [&batch] { batch.BatchDeleteArticles(); };
    actions.importSites = [this] {
        BatchImportHooks hooks;
        hooks.readCategoriesForShownSite = [this](bool quiet) {
            m_categories->ReadCategoriesForShownSite(quiet);
        };
        hooks.setAllCategoryChecks = [this](std::int32_t mode) {
            m_categories->SetAllCategoryChecks(mode);
        };
        hooks.isRunActive = [this] { return m_controller->IsRunning(); };
        BatchImportSites({*m_batchTools, *m_view, *m_editor, m_sites}, hooks);
    };
    actions.openPinyin = [this] { OpenToolWindow(m_pinyin); };
    actions.openRandomText = [this] { OpenToolWindow(m_randomText); };
    m_batchTools->SetActions(std::move(actions));
}

void MainWindow::SaveAll() {
    ::SaveAllSettings(m_store, m_host->ReadRunSettings(), m_sites, m_view->SelectedRow());
}

void MainWindow::GlobalSave() {
    SetLinkCaption(m_saveLink, QStringLiteral("保存中.."));
    PumpEvents();
    SaveAll();
    SetLinkCaption(m_saveLink, QStringLiteral("全局保存"));
    QMessageBox::information(this, kMessageTitle, QStringLiteral("已保存所有数据！"));
}

void MainWindow::OnSiteSelectionChanged() {
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    m_editor->ShowSelectedSite(keys.testFlag(Qt::ShiftModifier),
                               keys.testFlag(Qt::ControlModifier));
    m_controller->SiteSelectionChanged(m_view->SelectedRow() + 1);
}

void MainWindow::OnRowItemChanged(int row) {
    // The editor's rule is about the selected row; a check box ticked on another row
    // (from the keyboard) makes that row the selected one first, as a click does.
    if (row != m_view->SelectedRow()) {
        m_view->SelectRow(row);
        OnSiteSelectionChanged();
    }
    m_editor->RowCheckChanged();
}

namespace {

// The file dialog of 导入 and 导出, starting at the name it had last time.
std::optional<std::string> AskSiteFile(QWidget* owner, bool save, const std::string& last) {
    QFileDialog dialog(owner, save ? U("将站点配置文件导出") : U("将站点配置文件导入"));
    dialog.setObjectName(save ? U("对话框导出") : U("对话框导入"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog.setDefaultSuffix(QStringLiteral("ini"));
    dialog.setNameFilter(QtFileFilter(G(U("配置文件|*.ini|全部文件|*.*"))));
    if (!last.empty()) dialog.selectFile(Q(last));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return G(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

}  // namespace

void MainWindow::ExportSites() {
    const auto path = AskSiteFile(this, true, m_host->ExportPath());
    if (!path) return;
    m_host->ExportPath() = *path;
    ExportSiteFile(*path, m_sites, m_view->SelectedRow(), *m_view);
}

void MainWindow::ImportSites() {
    const auto path = AskSiteFile(this, false, m_host->ImportPath());
    if (!path) return;
    m_host->ImportPath() = *path;
    ImportSiteFile(*path, m_sites, *m_editor, *m_view,
                   [this] { return m_controller->IsRunning(); });
}

void MainWindow::PickFolder() {
    const QString start = m_articleFolder->text();
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("请选择一个文件夹"), QDir(start).exists() ? start : QString());
    const QString trimmed = chosen.trimmed();
    if (!trimmed.isEmpty()) m_articleFolder->setText(QDir::toNativeSeparators(trimmed));
}

void MainWindow::OpenArticleFolder() {
    const QString folder = m_articleFolder->text().trimmed();
    if (folder.isEmpty()) return;
#ifdef Q_OS_WIN
    if (folder.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) {
        QProcess::startDetached(folder, {});
        return;
    }
#endif
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWindow::ShowHelp() {
    TextRequest request;
    request.text = G(U(kHelpText));
    request.title = G(U("疑点说明"));
    request.inputMode = false;
    AskText(request, this);
}

void MainWindow::OpenHomePage() {
    QDesktopServices::openUrl(QUrl(kHomePage));
}
