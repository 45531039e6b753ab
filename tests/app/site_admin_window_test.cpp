#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/batch_tools_window.h"
#include "app/qt_text.h"
#include "app/scheduler_window.h"
#include "app/text_dialog.h"
#include "main_window_harness.h"
#include "tools/category_tools.h"

using namespace main_window_test;

namespace {

QStringList TreeTexts(QTreeWidget* tree) {
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        texts << ((*it)->parent() ? QStringLiteral("  ") : QString()) + (*it)->text(0);
    return texts;
}

// Answers the message boxes that come, one after the other, with the given buttons,
// recording each one's title and text.
struct Answers {
    explicit Answers(QList<QMessageBox::StandardButton> buttons) : buttons(std::move(buttons)) {
        watch = WhenModal(
            [this](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box) return false;
                seen << box->windowTitle() + QStringLiteral(": ") + box->text();
                const QMessageBox::StandardButton button =
                    this->buttons.isEmpty() ? QMessageBox::Ok : this->buttons.takeFirst();
                if (QAbstractButton* answer = box->button(button))
                    answer->click();
                else
                    box->close();
                return this->buttons.isEmpty();
            },
            20000);
    }
    ~Answers() { StopWatching(watch); }
    QList<QMessageBox::StandardButton> buttons;
    QStringList seen;
    ModalWatch watch;
};

// Answers the next file dialog with `path`, then the message box that follows with OK,
// recording both titles and the message.
struct FileThenMessage {
    explicit FileThenMessage(const QString& path) {
        watch = WhenModal(
            [this, path](QWidget* modal) {
                if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                    dialogTitle = dialog->windowTitle();
                    // Typed into the name box: selectFile races the dialog's folder model.
                    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                        name->setText(path);
                    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                    return false;
                }
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box) return false;
                message = box->text();
                box->button(QMessageBox::Ok)->click();
                return true;
            },
            30000);
    }
    ~FileThenMessage() { StopWatching(watch); }
    QString dialogTitle, message;
    ModalWatch watch;
};

}  // namespace

class SiteAdminWindowTest : public QObject {
    Q_OBJECT
private slots:
    void ReadsTheShownSitesCategoriesAndChecksThem() {
        QTemporaryDir articles;
        SandboxSite site(articles.path(), 0,
                         {{1, "技术", "", 0}, {2, "新闻", "", 0}, {3, "国内", "", 2}});
        QVERIFY(site.started);
        Harness h(QStringList{U("[站点配置]"), U("站点数=1"), U("现行项=0")} +
                  site.SiteSection(1, "0"));
        h.ClickRow(0);
        h.Click("按钮读取分类列表");
        auto* tree = h.W<QTreeWidget>("树型框");
        QCOMPARE(TreeTexts(tree), (QStringList{U("技术[1]"), U("新闻[2]"), U("  国内[3]")}));
        // After a read the button says so for a second, then takes its caption back.
        QTRY_COMPARE_WITH_TIMEOUT(h.W<QPushButton>("按钮读取分类列表")->text(), U("读取分类列表"),
                                  5000);
        h.Click("按钮全选");
        QList<Qt::CheckState> states;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) states << (*it)->checkState(0);
        // Only leaves can be chosen: 新闻 shows its child's state.
        QCOMPARE(states.size(), 3);
        QCOMPARE(states[0], Qt::Checked);
        QCOMPARE(states[2], Qt::Checked);
        h.Click("按钮修改");
        QVERIFY(h.window->Sites().at(0).分类ID.find('3') != std::string::npos);
    }

    void DeletesCategoriesOfEverySiteFromTheBatchWindow() {
        QTemporaryDir articles;
        SandboxSite site(articles.path(), 0,
                         {{1, "技术", "", 0}, {2, "新闻", "", 0}, {3, "国内", "", 2}});
        QVERIFY(site.started);
        Harness h(QStringList{U("[站点配置]"), U("站点数=1"), U("现行项=0")} +
                  site.SiteSection(1, "0"));
        // The link opens the window as the left button goes down.
        QTest::mousePress(h.W<QLabel>("超级链接框批处理"), Qt::LeftButton);
        QTRY_VERIFY(h.window->BatchWindow().isVisible());
        BatchToolsWindow& batch = h.window->BatchWindow();
        Child<QRadioButton>(&batch, "单选框全部")->setChecked(true);
        batch.SetText(G(U("编辑框起始ID1")), "3");
        batch.SetText(G(U("编辑框终止ID1")), "1");
        Answers answers({QMessageBox::Ok, QMessageBox::Ok});
        QTest::mouseClick(Child<QPushButton>(&batch, "按钮删除分类"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(answers.seen.size(), 2, 20000);
        QCOMPARE(answers.seen[0], U("岚舟：: 确定要删除 ID 从 3 到 1 的分类吗？"));
        const QString domain = QString::fromStdString(site.server->Domain(0));
        QCOMPARE(answers.seen[1], U("全部删除完成！: ") + domain + U(" 成功 3 失败 0\r\n"));
        QVERIFY(site.server->Categories(0).empty());
        // The site list is usable again, and the button has its caption back.
        QVERIFY(h.W<QGroupBox>("分组框3")->isEnabled());
        QCOMPARE(Child<QPushButton>(&batch, "按钮删除分类")->text(), U("批量删除分类"));
        SavePicture(&batch, QStringLiteral("batch-tools-after-delete"));
    }

    void ExportsTheSiteListAndImportsItIntoAnother() {
        QTemporaryDir out;
        const QString file = out.filePath(U("站点.ini"));
        {
            Harness h({U("[站点配置]"), U("站点数=2"), U("现行项=0"), U("[站点序号_1]"),
                       U("启用=真"), U("用户=admin"), U("密码=a"), U("域名=one.example"),
                       U("[站点序号_2]"), U("启用=假"), U("用户=bob"), U("域名=two.example")});
            FileThenMessage answers(file);
            h.Click("按钮导出");
            QTRY_VERIFY_WITH_TIMEOUT(!answers.message.isEmpty(), 30000);
            QCOMPARE(answers.dialogTitle, U("将站点配置文件导出"));
            QCOMPARE(answers.message,
                     U("导出站点配置成功：") + file + U("\r\n\r\n下次你可以重新导入进来！"));
            // It holds passwords: readable by its owner only.
            QCOMPARE(QFile::permissions(file) & 0x0077, QFileDevice::Permissions());
        }
        Harness h({U("[站点配置]"), U("站点数=1"), U("现行项=0"), U("[站点序号_1]"), U("启用=真"),
                   U("用户=admin"), U("域名=one.example")});
        FileThenMessage answers(file);
        h.Click("按钮导入");
        QTRY_VERIFY_WITH_TIMEOUT(!answers.message.isEmpty(), 30000);
        QCOMPARE(answers.dialogTitle, U("将站点配置文件导入"));
        // The site already listed is not added a second time, and the user is told.
        QCOMPARE(h.Rows(), (QStringList{U("one.example(admin)"), U("two.example(bob)")}));
        QVERIFY(answers.message.contains(U("one.example(admin)")));
    }

    void ImportsSitesTypedIntoTheBatchWindow() {
        Harness h;
        h.window->OpenBatchTools();
        BatchToolsWindow& batch = h.window->BatchWindow();
        // Without reading categories: the sites are not reachable.
        Child<QCheckBox>(&batch, "选择框读取分类列表")->setChecked(false);
        QStringList dialogs;
        auto watch = WhenModal(
            [&](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    dialogs << box->text();
                    box->button(QMessageBox::Ok)->click();
                    return false;
                }
                if (modal->objectName() != QLatin1String(text_dialog::kWindowName)) return false;
                dialogs << modal->windowTitle();
                if (dialogs.size() == 1) {
                    Child<QPlainTextEdit>(modal, "编辑框正文")
                        ->setPlainText(U("a.example|admin|pw\nb.example|bob\nc.example|carl|pw|1"));
                    Child<QPushButton>(modal, "按钮确定")->click();
                    return false;
                }
                modal->close();  // the failed lines, shown
                return true;
            },
            20000);
        QTest::mouseClick(Child<QPushButton>(&batch, "按钮批量导入"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.size(), 3, 20000);
        StopWatching(watch);
        QCOMPARE(dialogs[0], U("批量导入站点"));
        QCOMPARE(dialogs[1], U("导入完成：导入了 2 个站点，现在总共有 2 个站点"));
        QCOMPARE(dialogs[2], U("这是导入失败的站点信息："));
        QCOMPARE(h.Rows(), (QStringList{U("a.example(admin)"), U("c.example(carl)")}));
        QCOMPARE(h.window->Sites().at(1).编码, 1);
        QCOMPARE(Child<QPushButton>(&batch, "按钮批量导入")->text(), U("批量导入站点"));
    }

    void TheScheduledTaskStartsWithTheProgramWhenAsked() {
        {
            Harness h({U("[基本配置]"), U("自动开启计划任务=真")});
            // The task runs; its window stays hidden until the user opens it.
            QVERIFY(h.window->Scheduler().TaskActive());
            QVERIFY(!h.window->Scheduler().isVisible());
            QTest::mousePress(h.W<QLabel>("超级链接框计划"), Qt::LeftButton);
            QTRY_VERIFY(h.window->Scheduler().isVisible());
            QCOMPARE(h.window->findChildren<SchedulerWindow*>().size(), 1);
            h.window->Scheduler().Task().StopTask();
        }
        Harness h;
        QTest::mouseClick(h.W<QLabel>("图片框计划"), Qt::LeftButton);
        QTRY_VERIFY(h.window->Scheduler().isVisible());
        QVERIFY(!h.window->Scheduler().TaskActive());
    }

    void ExitKeepsTheStatesOfOpenToolWindows() {
        Harness h;
        h.window->OpenBatchTools();
        h.window->BatchWindow().SetText(G(U("编辑框终止ID")), "77");
        QVERIFY(h.window->CloseQuery(false));
        QVERIFY(h.Ini().contains(U("[批处理工具]")));
        QVERIFY(h.Ini().contains(U("编辑框终止ID=77")));
    }

    void OpensTheTextToolsFromTheBatchWindowOnce() {
        Harness h;
        h.window->OpenBatchTools();
        BatchToolsWindow& batch = h.window->BatchWindow();
        const std::pair<const char*, const char*> tools[] = {
            {"汉字拼音转换器", "按钮汉字拼音转换器"}, {"随机文本生成器", "按钮随机文本生成器"}};
        for (const auto& [name, button] : tools) {
            QTest::mouseClick(Child<QPushButton>(&batch, button), Qt::LeftButton);
            QWidget* tool = Child<QWidget>(h.window.get(), name);
            QVERIFY(tool && tool->isVisible() && tool->isWindow());
            tool->close();
            QTest::mouseClick(Child<QPushButton>(&batch, button), Qt::LeftButton);
            QCOMPARE(h.window->findChildren<QWidget*>(U(name)).size(), 1);
            QVERIFY(tool->isVisible());
        }
    }
};

static RegisterAppTest<SiteAdminWindowTest> registered;

#include "site_admin_window_test.moc"
