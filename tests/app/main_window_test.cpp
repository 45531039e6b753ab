#include "app/main_window.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <fstream>
#include <memory>
#include <string>

#include "app/form_controls.h"
#include "app/log_window.h"
#include "app/qt_text.h"
#include "app/text_dialog.h"
#include "app_test_support.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "core/platform/shutdown.h"
#include "main_window_harness.h"
#include "run/run_controller.h"
#include "sandbox/sandbox_server.h"
#include "settings/config_store.h"
#include "settings/site_editor.h"

using namespace main_window_test;

namespace {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Nothing here may switch the machine off.
        platform::SetShutdownActionForTesting([] { return false; });
    }

    void startUpShowsTheSettingsFileAndTheSavedRow() {
        Harness h({U("[基本配置]"),
                   U("同步循环=真"),
                   U("先后独立=假"),
                   U("同时站点数=9"),
                   U("启用全局更新数量=真"),
                   U("全局更新数量=4"),
                   U("选择框完成关机=真"),
                   U("选择框失败时重复尝试=假"),
                   U("[站点配置]"),
                   U("站点数=2"),
                   U("现行项=1"),
                   U("[站点序号_1]"),
                   U("启用=真"),
                   U("用户=admin"),
                   U("密码=a"),
                   U("域名=one.example"),
                   U("[站点序号_2]"),
                   U("启用=假"),
                   U("用户=bob"),
                   U("域名=two.example"),
                   U("别名类型=6"),
                   U("间隔秒1=0.009999999776483")});
        QCOMPARE(h.window->windowTitle(), U("岚舟·青鸾助手 v1.1.0.0"));
        QVERIFY(h.W<QRadioButton>("单选框同步循环")->isChecked());
        QVERIFY(!h.W<QRadioButton>("单选框先后独立")->isChecked());
        QCOMPARE(h.Text("编辑框同时站点数"), U("9"));
        QVERIFY(h.W<QLineEdit>("编辑框全局更新数量")->isEnabled());
        QCOMPARE(h.Text("编辑框全局更新数量"), U("4"));
        QVERIFY(h.W<QCheckBox>("选择框完成关机")->isChecked());
        QVERIFY(!h.W<QCheckBox>("选择框失败时重复尝试")->isChecked());
        // Group A keys inherit the previous site's value: site 2 keeps site 1's password.
        QCOMPARE(h.Rows(), (QStringList{U("one.example(admin)"), U("two.example(bob)")}));
        QCOMPARE(h.CheckedRows(), QList<int>{0});
        QCOMPARE(h.List()->currentRow(), 1);
        QCOMPARE(h.Text("编辑框域名"), U("two.example"));
        QCOMPARE(h.Text("编辑框密码"), U("a"));
        QCOMPARE(h.Text("编辑框间隔秒1"), U("0.01"));
        QVERIFY(!h.W<QLineEdit>("编辑框别名起始值")->isHidden());
        QVERIFY(h.W<QLineEdit>("编辑框字母数1")->isHidden());
        QVERIFY(h.W<QGroupBox>("分组框3")->title().startsWith(U("emlog网站列表(2) - ")));
        // Unchecking the box disables its count again.
        h.W<QCheckBox>("选择框全局更新数量")->click();
        QVERIFY(!h.W<QLineEdit>("编辑框全局更新数量")->isEnabled());
        SavePicture(h.window.get(), U("main-window-loaded"));
    }

    void addModifyAndDeleteThroughTheButtons() {
        Harness h;
        h.SetText("编辑框域名", U(" HTTP://Blog.Example.com/ "));
        h.SetText("编辑框用户", U("admin"));
        h.SetText("编辑框密码", U("pw"));
        h.Click("按钮添加");
        QCOMPARE(h.Rows(), QStringList{U("Blog.Example.com(admin)")});
        QCOMPARE(h.CheckedRows(), QList<int>{0});
        QCOMPARE(h.List()->currentRow(), 0);
        QVERIFY(h.W<QGroupBox>("分组框3")->title().startsWith(U("emlog网站列表(1) - ")));

        // The same domain and user again: refused, with the question to locate it.
        MessageAnswer duplicate;
        const ModalWatch watch = AnswerNextMessageBox(QMessageBox::Cancel, &duplicate);
        h.Click("按钮添加");
        StopWatching(watch);
        QVERIFY(duplicate.seen);
        QVERIFY(duplicate.text.startsWith(
            U("网站列表中已存在相同的‘域名(用户名)’：Blog.Example.com(admin)")));
        QCOMPARE(duplicate.title, U("岚舟："));
        QCOMPARE(h.List()->count(), 1);

        h.SetText("编辑框用户", U("editor"));
        h.Click("按钮添加");
        QCOMPARE(h.Rows(),
                 (QStringList{U("Blog.Example.com(admin)"), U("Blog.Example.com(editor)")}));
        QCOMPARE(h.List()->currentRow(), 1);

        // Selecting a row shows its site; 修改 writes the controls back into it.
        h.ClickRow(0);
        QCOMPARE(h.Text("编辑框用户"), U("admin"));
        h.SetText("编辑框更新数量", U("7"));
        h.Click("按钮修改");
        QCOMPARE(h.window->Sites()[0].更新数量, 7);
        QCOMPARE(h.W<QPushButton>("按钮修改")->text(), U("修改"));

        // Modify into another row's domain and user: refused; OK locates that row.
        h.SetText("编辑框用户", U("editor"));
        const ModalWatch locate = AnswerNextMessageBox(QMessageBox::Ok, nullptr);
        h.Click("按钮修改");
        StopWatching(locate);
        QCOMPARE(h.List()->currentRow(), 1);
        QCOMPARE(h.window->Sites()[0].用户, std::string("admin"));

        // Deleting the last row selects the new last row and shows it.
        h.Click("按钮删除");
        QCOMPARE(h.Rows(), QStringList{U("Blog.Example.com(admin)")});
        QCOMPARE(h.List()->currentRow(), 0);
        QCOMPARE(h.Text("编辑框更新数量"), U("7"));
        // Deleting the only row leaves no selection; the controls keep the values.
        h.Click("按钮删除");
        QCOMPARE(h.List()->count(), 0);
        QCOMPARE(h.Text("编辑框用户"), U("admin"));
        MessageAnswer nothing;
        const ModalWatch none = AnswerNextMessageBox(QMessageBox::Ok, &nothing);
        h.Click("按钮删除");
        StopWatching(none);
        QCOMPARE(nothing.text, U("请先选定一个站点配置再删除！"));
    }

    void rowChecksAreSavedAtOnceAndFollowShiftAndCtrl() {
        QStringList ini{U("[站点配置]"), U("站点数=6"), U("现行项=2")};
        for (int n = 1; n <= 6; ++n)
            ini << U("[站点序号_%1]").arg(n)
                << U("启用=%1").arg(n == 1 || n == 6 ? U("真") : U("假")) << U("用户=u")
                << U("密码=p") << U("域名=site%1.example").arg(n);
        Harness h(ini);
        QCOMPARE(h.CheckedRows(), (QList<int>{0, 5}));
        // Shift-click from the selected row 2 to row 4: exactly rows 2 … 4 stay checked.
        h.ClickRow(4, Qt::ShiftModifier);
        QCOMPARE(h.CheckedRows(), (QList<int>{2, 3, 4}));
        QVERIFY(h.Ini().contains(U("[站点序号_6]\r\n启用=假")));
        // Ctrl checks the clicked row and never unchecks one.
        h.ClickRow(0, Qt::ControlModifier);
        QCOMPARE(h.CheckedRows(), (QList<int>{0, 2, 3, 4}));
        // The space key ticks the selected row's box; it is written at once.
        QTest::keyClick(h.List(), Qt::Key_Space);
        QCOMPARE(h.CheckedRows(), (QList<int>{2, 3, 4}));
        QVERIFY(h.Ini().contains(U("[站点序号_1]\r\n启用=假")));
        QVERIFY(!h.window->Sites()[0].启用);
        h.Click("按钮反启");
        QCOMPARE(h.CheckedRows(), (QList<int>{0, 1, 5}));
    }

    void aliasTypeShowsItsOwnOptions_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("affixes");
        QTest::addColumn<bool>("lengths");
        QTest::addColumn<bool>("counting");
        QTest::addColumn<bool>("separator");
        QTest::newRow("无别名") << 0 << false << false << false << false;
        QTest::newRow("标题首拼") << 1 << true << false << false << false;
        QTest::newRow("标题全拼") << 2 << true << false << false << true;
        QTest::newRow("随机数字") << 3 << true << true << false << false;
        QTest::newRow("随机数母") << 5 << true << true << false << false;
        QTest::newRow("递增数字") << 6 << true << false << true << false;
    }
    void aliasTypeShowsItsOwnOptions() {
        QFETCH(int, type);
        QFETCH(bool, affixes);
        QFETCH(bool, lengths);
        QFETCH(bool, counting);
        QFETCH(bool, separator);
        Harness h;
        // Start from another type, so every case is a change the user makes.
        h.W<QComboBox>("组合框别名类型")->setCurrentIndex(type == 4 ? 3 : 4);
        h.W<QComboBox>("组合框别名类型")->setCurrentIndex(type);
        auto shown = [&](const char* name) {
            return !Child<QWidget>(h.window.get(), name)->isHidden();
        };
        QCOMPARE(h.W<QLineEdit>("编辑框别名左边")->isEnabled(), affixes);
        QCOMPARE(h.W<QLineEdit>("编辑框别名右边")->isEnabled(), affixes);
        for (const char* name : {"编辑框字母数1", "编辑框字母数2", "标签到"})
            QCOMPARE(shown(name), lengths);
        for (const char* name :
             {"编辑框别名起始值", "编辑框别名递增值", "标签起始值", "标签递增值"})
            QCOMPARE(shown(name), counting);
        for (const char* name : {"组合框拼音间隔符", "标签拼音间隔符"})
            QCOMPARE(shown(name), separator);
    }

    void autoTagsDisableTheTagListButton() {
        Harness h;
        auto* tags = h.W<QPushButton>("按钮输入标签组");
        QVERIFY(tags->isEnabled());
        QCOMPARE(tags->property(kTagProperty).toByteArray().toStdString(),
                 Gbk(U("标签1\r\n标签2\r\n标签3\r\n标签4\r\n标签5\r\n标签6")));
        h.W<QCheckBox>("选择框文章中提取标签")->click();
        QVERIFY(!tags->isEnabled());
    }

    void folderPickerAndTheRightButton() {
        Harness h;
        const QString folder = h.dir.filePath(U("文章"));
        QDir().mkpath(folder);
        h.SetText("编辑框文章目录", U("原来的目录"));
        // Cancel changes nothing.
        QString title;
        ModalWatch watch = WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return false;
            title = dialog->windowTitle();
            dialog->reject();
            return true;
        });
        h.Click("按钮选择目录");
        StopWatching(watch);
        QCOMPARE(title, U("请选择一个文件夹"));
        QCOMPARE(h.Text("编辑框文章目录"), U("原来的目录"));
        watch = WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return false;
            dialog->setDirectory(folder);
            QMetaObject::invokeMethod(dialog, "accept");
            return true;
        });
        h.Click("按钮选择目录");
        StopWatching(watch);
        QCOMPARE(h.Text("编辑框文章目录"), QDir::toNativeSeparators(folder));

        // The right button opens the folder in the file manager.
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        QTest::mouseClick(h.W<QPushButton>("按钮选择目录"), Qt::RightButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(recorder.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
    }

    void viewLogTogglesTheLogWindow() {
        Harness h;
        auto* view = h.W<QPushButton>("按钮查看日志");
        QVERIFY(!h.window->Log().isVisible());
        h.Click("按钮查看日志");
        QVERIFY(h.window->Log().isVisible());
        QCOMPARE(view->text(), U("关闭日志"));
        h.Click("按钮查看日志");
        QVERIFY(!h.window->Log().isVisible());
        QCOMPARE(view->text(), U("查看日志"));
        // Closing the log window itself only hides it, and the caption follows.
        h.Click("按钮查看日志");
        h.window->Log().close();
        QVERIFY(!h.window->Log().isVisible());
        QCOMPARE(view->text(), U("查看日志"));
    }

    void globalSaveAndHelp() {
        Harness h;
        h.SetText("编辑框同时站点数", U("12"));
        MessageAnswer saved;
        ModalWatch watch = AnswerNextMessageBox(QMessageBox::Ok, &saved);
        QTest::mouseClick(h.W<QLabel>("图片全局保存"), Qt::LeftButton);
        StopWatching(watch);
        QCOMPARE(saved.text, U("已保存所有数据！"));
        QVERIFY(h.Ini().contains(U("同时站点数=12")));
        QVERIFY(h.W<QLabel>("链接全局保存")->text().contains(U("全局保存")));

        QString title;
        bool readOnly = false;
        watch = WhenModal([&](QWidget* modal) {
            if (modal->objectName() != QLatin1String(text_dialog::kWindowName)) return false;
            title = modal->windowTitle();
            readOnly = Child<QWidget>(modal, "编辑框正文")->property("readOnly").toBool();
            static_cast<QDialog*>(modal)->reject();
            return true;
        });
        QTest::mouseClick(h.W<QLabel>("图片疑点说明"), Qt::LeftButton);
        StopWatching(watch);
        QCOMPARE(title, U("疑点说明"));
        QVERIFY(readOnly);
    }

    // A run long enough to close the window in the middle of it.
    void closingDuringARunAndAnsweringNoKeepsItRunning() {
        QTemporaryDir articles;
        SandboxSite site(articles.path(), 20);
        QVERIFY(site.started);
        Harness h(QStringList{U("[站点配置]"), U("站点数=1"), U("现行项=0")} +
                  site.SiteSection(1, "0.3"));
        MessageAnswer question, trayQuestion, done;
        bool checked = false;
        QTimer::singleShot(700, h.window.get(), [&] {
            QVERIFY(h.window->Controller().IsRunning());
            // The stop button stands in 按钮添加's place, and the editing buttons are off.
            QCOMPARE(h.W<QStackedWidget>("栈添加停止")->currentWidget(),
                     h.W<QWidget>("按钮停止更新"));
            QVERIFY(!h.W<QPushButton>("按钮删除")->isEnabled());
            QVERIFY(!h.W<QRadioButton>("单选框先后独立")->isEnabled());
            SavePicture(h.window.get(), U("main-window-running"));

            const ModalWatch no = AnswerNextMessageBox(QMessageBox::No, &question);
            h.window->close();
            StopWatching(no);
            QCOMPARE(question.text, U("当前正在更新中，请问是否还继续退出？"));
            QVERIFY(h.window->isVisible());
            QVERIFY(h.window->Controller().IsRunning());

            // The icon's exit: OK, then the running-update question; No keeps running.
            int answered = 0;
            const ModalWatch tray = WhenModal([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box) return false;
                if (answered++ == 0) {
                    trayQuestion.text = box->text();
                    box->button(QMessageBox::Ok)->click();
                    return false;
                }
                box->button(QMessageBox::No)->click();
                return true;
            });
            h.window->ExitFromTray();
            StopWatching(tray);
            QCOMPARE(trayQuestion.text, U("确定要退出本软件《岚舟·青鸾助手》吗？"));
            QCOMPARE(answered, 2);
            QVERIFY(h.window->Controller().IsRunning());
            QCOMPARE(h.ends, 0);

            // The start button's second click stops the run; its message follows.
            AnswerNextMessageBox(QMessageBox::Ok, &done);
            h.Click("按钮开始更新");
            checked = true;
        });
        h.Click("按钮开始更新");
        QTRY_VERIFY_WITH_TIMEOUT(checked && !h.window->Controller().IsRunning(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(done.seen, 5000);
        QVERIFY(done.text.startsWith(U("更新完成！总更新了 ")));
        QVERIFY(h.LogMessages().contains(U("已强制全部停止更新")));
        QCOMPARE(h.W<QStackedWidget>("栈添加停止")->currentWidget(), h.W<QWidget>("按钮添加"));
        QVERIFY(h.W<QPushButton>("按钮删除")->isEnabled());
        QVERIFY(h.W<QPushButton>("按钮导入")->isEnabled());
        QCOMPARE(h.ends, 0);
    }

    void closingDuringARunAndAnsweringYesSavesAndEnds() {
        QTemporaryDir articles;
        SandboxSite site(articles.path(), 20);
        QVERIFY(site.started);
        // Site sections beyond the list are pruned at exit.
        Harness h(QStringList{U("[站点配置]"), U("站点数=1"), U("现行项=0")} +
                  site.SiteSection(1, "0.3") +
                  QStringList{U("[站点序号_2]"), U("域名=stale.example")});
        bool checked = false;
        QTimer::singleShot(700, h.window.get(), [&] {
            QVERIFY(h.window->Controller().IsRunning());
            h.SetText("编辑框同时站点数", U("3"));
            const ModalWatch yes = AnswerNextMessageBox(QMessageBox::Yes, nullptr);
            h.window->close();
            StopWatching(yes);
            QCOMPARE(h.ends, 1);
            QVERIFY(!h.window->isVisible());
            QVERIFY(!h.window->Log().isVisible());
            const QString ini = h.Ini();
            QVERIFY(ini.contains(U("同时站点数=3")));
            QVERIFY(ini.contains(U("站点数=1")));
            QVERIFY(!ini.contains(U("[站点序号_2]")));
            // In the test the process goes on: the abandoned run is stopped here.
            h.window->Controller().StartOrStop(RunOrigin::Button);
            checked = true;
        });
        h.Click("按钮开始更新");
        QTRY_VERIFY_WITH_TIMEOUT(checked && !h.window->Controller().IsRunning(), 30000);
        // The ended program shows no completion message.
        QVERIFY(!ActiveMessageBox());
        QCOMPARE(h.ends, 1);
    }

    // A whole update from the window: a site added through the editor, 开始站群更新, the
    // articles on the sandbox, the summary in the log window and in the log file.
    void updateRunEndToEnd() {
        QTemporaryDir articles;
        SandboxSite site(articles.path(), 3);
        QVERIFY(site.started);
        Harness h;
        h.SetText("编辑框域名", QString::fromStdString(site.server->Domain(0)));
        h.SetText("编辑框后台", QString::fromStdString(site.server->AdminDir(0)));
        h.SetText("编辑框用户", U("admin"));
        h.SetText("编辑框密码", U("admin888"));
        h.SetText("编辑框文章目录", articles.path());
        h.SetText("编辑框文件过滤", U("*.txt"));
        h.SetText("编辑框间隔秒1", U("0"));
        h.Click("按钮添加");
        QCOMPARE(h.List()->count(), 1);

        MessageAnswer done;
        AnswerNextMessageBox(QMessageBox::Ok, &done);
        h.Click("按钮开始更新");
        QTRY_VERIFY_WITH_TIMEOUT(done.seen && !h.window->Controller().IsRunning(), 30000);
        QCOMPARE(done.title, U("岚舟："));
        QVERIFY2(done.text.startsWith(U("更新完成！总更新了 3 篇文章，更新耗费 ")),
                 qPrintable(done.text));
        QCOMPARE(h.W<QPushButton>("按钮开始更新")->text(), U("开始站群更新"));
        QCOMPARE(site.server->Posts(0).size(), std::size_t(3));

        QTRY_VERIFY(h.window->Log().RowCount() > 0);
        QVERIFY(h.window->Log().isVisible());
        QCOMPARE(h.W<QPushButton>("按钮查看日志")->text(), U("关闭日志"));
        const QStringList rows = h.LogMessages();
        QVERIFY(rows.contains(U("实际更新 3 篇（设置更新 3 篇，读取文章数 3 篇）")));
        QVERIFY(rows.last().startsWith(U("总更新了 3 篇文章，更新耗费 ")));
        SavePicture(&h.window->Log(), U("log-window-after-run"));

        const QStringList logs =
            QDir(h.dir.filePath(U("日志"))).entryList({U("*.txt")}, QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QString file = ReadGbkFile(h.dir.filePath(U("日志/") + logs.first()));
        QVERIFY(file.contains(U("\t全局\t总更新了 3 篇文章，更新耗费 ")));
        QVERIFY(file.contains(QString::fromStdString(site.server->Domain(0)) +
                              U("(admin)\t实际更新 3 篇")));
    }

    void formControlsRoundTripWithoutSignals() {
        QTemporaryDir dir;
        platform::SetDataFolder(Gbk(dir.path()));
        ConfigStore store;
        store.Bind(Gbk(dir.filePath(U("form.ini"))));
        QWidget window;
        auto* check = new QCheckBox(&window);
        check->setObjectName(U("选择框甲"));
        auto* edit = new QLineEdit(U("中文内容"), &window);
        edit->setObjectName(U("编辑框乙"));
        auto* locked = new QLineEdit(U("不存"), &window);
        locked->setObjectName(U("编辑框丙"));
        locked->setProperty(kTagProperty, QByteArray(Gbk(U("禁止保存")).c_str()));
        auto* combo = new QComboBox(&window);
        combo->setObjectName(U("组合框丁"));
        combo->addItems({U("一"), U("二"), U("三")});
        auto* list = new QListWidget(&window);
        list->setObjectName(U("列表框戊"));
        list->addItems({U("甲"), U("乙")});
        auto* button = new QPushButton(&window);
        button->setObjectName(U("按钮己"));
        button->setProperty(kTagProperty, QByteArray(Gbk(U("一行\r\n两行")).c_str()));

        check->setChecked(true);
        combo->setCurrentIndex(2);
        list->item(1)->setSelected(true);
        QtFormWindow form(&window);
        store.PersistWindow(form.Controls(), ConfigStore::Direction::Save, Gbk(U("窗口")), {},
                            false, false);
        QVERIFY(!ReadGbkFile(dir.filePath(U("form.ini"))).contains(U("编辑框丙")));

        check->setChecked(false);
        edit->setText(U("改了"));
        locked->setText(U("改了"));
        combo->setCurrentIndex(0);
        list->clear();
        button->setProperty(kTagProperty, QByteArray());
        QSignalSpy toggled(check, &QCheckBox::toggled);
        QSignalSpy indexChanged(combo, &QComboBox::currentIndexChanged);
        store.PersistWindow(form.Controls(), ConfigStore::Direction::Restore, Gbk(U("窗口")), {},
                            false, false);
        QVERIFY(check->isChecked());
        QCOMPARE(edit->text(), U("中文内容"));
        QCOMPARE(locked->text(), U("改了"));
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(list->count(), 2);
        QVERIFY(list->item(1)->isSelected());
        QCOMPARE(button->property(kTagProperty).toByteArray().toStdString(),
                 Gbk(U("一行\r\n两行")));
        QCOMPARE(toggled.count(), 0);
        QCOMPARE(indexChanged.count(), 0);
    }

    // The program itself: a termination signal closes it as a yes to the close query.
    void terminationSignalSavesAndEnds() {
        const QString program = QCoreApplication::applicationDirPath() + U("/../src/app/qingluan");
        if (!QFile::exists(program)) QSKIP("the qingluan program is not built");
        QTemporaryDir dir;
        const QString ini = dir.filePath(U("岚舟·青鸾助手.ini"));
        {
            QFile file(ini);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const std::string bytes =
                Gbk(U("[站点配置]\r\n站点数=1\r\n现行项=0\r\n[站点序号_1]\r\n域名=a.example\r\n"
                      "用户=u\r\n[站点序号_2]\r\n域名=stale"));
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(U("QT_QPA_PLATFORM"), U("offscreen"));
        env.insert(U("QINGLUAN_NO_SHUTDOWN"), U("1"));
        process.setProcessEnvironment(env);
        process.start(program, {U("--settings"), ini});
        QVERIFY(process.waitForStarted());
        // The handler is in place before the window exists; give the window time to show.
        QTest::qWait(1500);
        QVERIFY(process.state() == QProcess::Running);
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        const QString saved = ReadGbkFile(ini);
        QVERIFY(saved.contains(U("[基本配置]")));
        QVERIFY(saved.contains(U("同时站点数=5")));
        QVERIFY(!saved.contains(U("[站点序号_2]")));
    }
};

static RegisterAppTest<MainWindowTest> registration;

#include "main_window_test.moc"
