#include "app/scheduler_window.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/qt_text.h"
#include "app_test_support.h"
#include "core/clock.h"
#include "core/format_now.h"
#include "settings/config_store.h"

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A throwaway settings file and time-point file, a run that only counts its starts (and
// can last a while, pumping events as a real one does), and a clock the test sets.
struct Fixture {
    QTemporaryDir dir;
    ConfigStore store;
    int starts = 0;
    bool running = false;
    int runMs = 0;
    std::function<void()> duringRun;
    clock_::WallTime now = std::chrono::system_clock::now();

    Fixture() {
        store.Bind(G(dir.filePath(U("settings.ini"))));
        clock_::SetNowForTesting([this] { return now; });
    }
    ~Fixture() { clock_::SetNowForTesting({}); }

    std::string PointFile() const { return G(dir.filePath(U("时间点.计划任务"))); }
    QByteArray PointBytes() const {
        QFile file(dir.filePath(U("时间点.计划任务")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::unique_ptr<SchedulerWindow> Window() {
        SchedulerRun run{[this] { return running; },
                         [this] {
                             ++starts;
                             running = true;
                             if (duringRun) duringRun();
                             if (runMs > 0) {
                                 QEventLoop loop;
                                 QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
                                 loop.exec();
                             }
                             running = false;
                         }};
        return std::make_unique<SchedulerWindow>(store, run, nullptr, PointFile());
    }
};

clock_::WallTime Today(int hour, int minute, int second, int ms = 0) {
    const auto t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm)) + std::chrono::milliseconds(ms);
}

QStringList Rows(QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text() +
                    (list->item(i)->checkState() == Qt::Checked ? U(" ✓") : QString());
    return rows;
}

}  // namespace

class SchedulerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void laidOutWithItsCaptionsAndFile() {
        Fixture f;
        QFile file(f.dir.filePath(U("时间点.计划任务")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(G(U("08:30:00||0||真\r\n12:00:00||5||假\r\n21:45:30||0||真\r\n")).c_str());
        file.close();
        auto window = f.Window();
        QCOMPARE(window->windowTitle(), U("计划任务 - 在指定时间点自动“开始站群更新”"));
        QCOMPARE(window->windowModality(), Qt::NonModal);
        const struct {
            const char* name;
            const char* caption;
        } buttons[] = {{"按钮读当前时间", "读当前时间↓"},
                       {"按钮添加", "添加时间点"},
                       {"按钮修改", "修改"},
                       {"按钮删除", "删除时间点"},
                       {"按钮清空", "清空时间点"},
                       {"按钮开始任务", "开始任务"},
                       {"按钮使用前必看", "使用前必看"}};
        for (const auto& button : buttons) {
            QPushButton* widget = Child<QPushButton>(window.get(), button.name);
            QVERIFY2(widget, button.name);
            QCOMPARE(widget->text(), U(button.caption));
        }
        QCOMPARE(Child<QCheckBox>(window.get(), "选择框开始任务")->text(), U("启动软件时开始任务"));
        QVERIFY(!Child<QCheckBox>(window.get(), "选择框开始任务")->isChecked());
        QCOMPARE(Child<QLineEdit>(window.get(), "编辑框时间")->text(), U("12:12:12"));
        QVERIFY(!Child<QTimer>(window.get(), "时钟计划任务")->isActive());
        QCOMPARE(Rows(Child<QListWidget>(window.get(), "列表框计划列表")),
                 (QStringList{U("08:30:00 ✓"), U("12:00:00"), U("21:45:30 ✓")}));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        SavePicture(window.get(), QStringLiteral("scheduler-window"));
        // Untouched: the file keeps its bytes at the end.
        window.reset();
        QCOMPARE(
            f.PointBytes(),
            QByteArray(G(U("08:30:00||0||真\r\n12:00:00||5||假\r\n21:45:30||0||真\r\n")).c_str()));
    }

    void buttonsEditTheList() {
        Fixture f;
        auto window = f.Window();
        auto* list = Child<QListWidget>(window.get(), "列表框计划列表");
        auto* time = Child<QLineEdit>(window.get(), "编辑框时间");
        f.now = Today(7, 5, 9);
        Child<QPushButton>(window.get(), "按钮读当前时间")->click();
        QCOMPARE(time->text(), U("07:05:09"));
        for (const char* text : {"07:05:09", "8:30:00", "23:00:00"}) {
            time->setText(U(text));
            Child<QPushButton>(window.get(), "按钮添加")->click();
        }
        QCOMPARE(Rows(list), (QStringList{U("07:05:09 ✓"), U("8:30:00 ✓"), U("23:00:00 ✓")}));

        list->setCurrentRow(1);  // as a click on the row does
        QCOMPARE(time->text(), U("8:30:00"));
        time->setText(U("08:45:00"));
        Child<QPushButton>(window.get(), "按钮修改")->click();
        QCOMPARE(list->item(1)->text(), U("08:45:00"));

        Child<QPushButton>(window.get(), "按钮删除")->click();
        QCOMPARE(Rows(list), (QStringList{U("07:05:09 ✓"), U("23:00:00 ✓")}));
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(list->currentItem()->isSelected());
        QCOMPARE(time->text(), U("23:00:00"));
        Child<QPushButton>(window.get(), "按钮删除")->click();
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(time->text(), U("07:05:09"));

        MessageAnswer question;
        AnswerNextMessageBox(QMessageBox::Cancel, &question);
        Child<QPushButton>(window.get(), "按钮清空")->click();
        QVERIFY(question.seen);
        QCOMPARE(question.text, U("确定要全部删除时间点吗？"));
        QCOMPARE(question.title, U("岚舟："));
        QCOMPARE(list->count(), 1);
        AnswerNextMessageBox(QMessageBox::Ok, nullptr);
        Child<QPushButton>(window.get(), "按钮清空")->click();
        QCOMPARE(list->count(), 0);

        MessageAnswer usage;
        AnswerNextMessageBox(QMessageBox::Ok, &usage);
        Child<QPushButton>(window.get(), "按钮使用前必看")->click();
        QVERIFY(usage.seen);
        QCOMPARE(usage.text.split(U("\n\n")).size(), 3);
        QVERIFY(usage.text.startsWith(U("计划任务：添加时间点并打勾")));
        QVERIFY(usage.text.endsWith(U("只需点击“停止任务”按钮即可。")));
    }

    // Start, close (only hidden), a point that fires with ticks going on during the run,
    // then the stop.
    void theTaskRunsHiddenAndFires() {
        Fixture f;
        f.runMs = 2600;
        auto window = f.Window();
        auto* time = Child<QLineEdit>(window.get(), "编辑框时间");
        auto* task = Child<QPushButton>(window.get(), "按钮开始任务");
        auto* usage = Child<QPushButton>(window.get(), "按钮使用前必看");
        auto* timer = Child<QTimer>(window.get(), "时钟计划任务");
        time->setText(U("8:30:00"));
        Child<QPushButton>(window.get(), "按钮添加")->click();
        window->show();

        f.now = Today(8, 29, 58, 500);
        task->click();
        QCOMPARE(task->text(), U("停止任务"));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QCOMPARE(f.PointBytes(), QByteArray(G(U("8:30:00||0||真\r\n")).c_str()));
        window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(timer->isActive());

        // The tick after the point's second fires it, though no tick fell in that second.
        f.now = Today(8, 30, 1, 200);
        f.duringRun = [&] { f.now = Today(8, 30, 2, 0); };
        QTRY_COMPARE_WITH_TIMEOUT(f.starts, 1, 3000);
        QCOMPARE(usage->text(), U("时间点已到，开始更新：8:30:00"));
        // Ticks during the run show the time and start nothing.
        QTRY_COMPARE_WITH_TIMEOUT(time->text(), U("08:30:02"), 2500);
        QTRY_VERIFY_WITH_TIMEOUT(!f.running, 4000);
        QTest::qWait(1200);
        QCOMPARE(f.starts, 1);

        window->Open();
        QVERIFY(window->isVisible());
        task->click();
        QCOMPARE(task->text(), U("停止中.."));
        QTRY_COMPARE_WITH_TIMEOUT(task->text(), U("开始任务"), 2500);
        QVERIFY(!timer->isActive());
        QCOMPARE(usage->text(), U("使用前必看"));
    }

    void theBoxIsTheAutoStartSetting() {
        Fixture f;
        QVERIFY(!SchedulerWindow::AutoStartWanted(f.store));
        {
            auto window = f.Window();
            QVERIFY(!window->AutoStart());
            QTest::mouseClick(Child<QCheckBox>(window.get(), "选择框开始任务"), Qt::LeftButton);
        }
        QVERIFY(SchedulerWindow::AutoStartWanted(f.store));
        auto window = f.Window();
        QVERIFY(Child<QCheckBox>(window.get(), "选择框开始任务")->isChecked());
        QVERIFY(window->AutoStart());
        QVERIFY(!window->isVisible());
        QVERIFY(window->TaskActive());
        QCOMPARE(Child<QPushButton>(window.get(), "按钮开始任务")->text(), U("停止任务"));
    }

    // Edits made while the task runs reach the file at the end even when the window was
    // never closed.
    void theEndWritesAChangedList() {
        Fixture f;
        auto window = f.Window();
        Child<QLineEdit>(window.get(), "编辑框时间")->setText(U("06:00:00"));
        Child<QPushButton>(window.get(), "按钮添加")->click();
        Child<QListWidget>(window.get(), "列表框计划列表")->item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(f.PointBytes().isEmpty());
        window.reset();
        QCOMPARE(f.PointBytes(), QByteArray(G(U("06:00:00||0||假\r\n")).c_str()));
    }
};

static RegisterAppTest<SchedulerWindowTest> registration;

#include "scheduler_window_test.moc"
