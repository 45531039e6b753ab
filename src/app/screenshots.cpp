#include "app/screenshots.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/batch_tools_window.h"
#include "app/countdown_dialog.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/pinyin_window.h"
#include "app/qt_text.h"
#include "app/random_text_window.h"
#include "app/scheduler_window.h"
#include "app/text_dialog.h"
#include "run/run_controller.h"
#include "run/shutdown_countdown.h"
#include "scheduler/scheduler_texts.h"
#include "settings/config_store.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool Save(QWidget* widget, const QString& path) {
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// Pictures the next modal window once it has been laid out, then closes it: a message
// box with its default button, any other dialog with reject().
void CaptureNextModal(const QString& path, int settleMs = 300) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(settleMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        Save(modal, path);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QAbstractButton* button = box->defaultButton();
            if (!button && !box->buttons().isEmpty()) button = box->buttons().front();
            if (button) button->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    });
    poll->start();
}

// The two text tools, each after one use, over a settings file of their own so nothing
// of the program's is changed.
bool SaveTextTools(const QDir& out) {
    QTemporaryDir dir;
    ConfigStore store;
    store.Bind(G(dir.filePath(QStringLiteral("tools.ini"))));
    bool ok = true;
    {
        PinyinWindow pinyin(store);
        pinyin.show();
        pinyin.findChild<QPlainTextEdit*>(QStringLiteral("编辑框汉字"))
            ->setPlainText(QStringLiteral("长城脚下的银行\n重庆的音乐"));
        pinyin.findChild<QPushButton*>(QStringLiteral("按钮转换拼音"))->click();
        WaitFor([] { return false; }, 200);
        ok = Save(&pinyin, out.filePath(QStringLiteral("pinyin-window.png"))) && ok;
    }
    {
        RandomTextWindow random(store);
        random.show();
        random.findChild<QPushButton*>(QStringLiteral("按钮生成汉字"))->click();
        WaitFor([] { return false; }, 200);
        ok = Save(&random, out.filePath(QStringLiteral("random-text-window.png"))) && ok;
    }
    return ok;
}

// The scheduler with its task running and a point that has fired, on a list and a
// settings file of its own: no run, nothing of the program's touched.
bool SaveScheduler(QWidget& owner, const QDir& out) {
    QTemporaryDir dir;
    ConfigStore store;
    store.Bind(G(dir.filePath(QStringLiteral("scheduler.ini"))));
    SchedulerWindow scheduler(store, SchedulerRun{[] { return false; }, [] {}}, &owner,
                              G(dir.filePath(QStringLiteral("points"))));
    SchedulerView& view = scheduler.Task().View();
    for (const char* text : {"08:30:00", "12:00:00", "21:45:30"})
        view.AppendEntry({text, 0, std::string(text) != "12:00:00"});
    scheduler.Task().StartTask();
    view.SetUsageCaption(SchedulerText().fired + "08:30:00");
    scheduler.Open();
    WaitFor([] { return false; }, 1300);
    return Save(&scheduler, out.filePath(QStringLiteral("scheduler-window.png")));
}

}  // namespace

int RunScreenshots(MainWindow& window, const QString& folder) {
    QDir().mkpath(folder);
    const QDir out(folder);
    window.SetEndAction([] {});
    window.Controller().SetShutdownAction([] { return false; });
    WaitFor([] { return false; }, 300);
    bool ok = Save(&window, out.filePath(QStringLiteral("main-window.png")));

    // A run on the file's sites: the window while it goes, the completion message, then
    // the log window.
    CaptureNextModal(out.filePath(QStringLiteral("completion-message.png")));
    QTimer::singleShot(400, &window, [&] {
        ok = Save(&window, out.filePath(QStringLiteral("main-window-running.png"))) && ok;
    });
    bool started = false;
    QMetaObject::invokeMethod(
        &window,
        [&] {
            started = true;
            window.Controller().StartButtonClicked();
        },
        Qt::QueuedConnection);
    if (!WaitFor([&] { return started && !window.Controller().IsRunning(); }, 120000)) {
        std::fputs("screenshots: the run did not end within two minutes\n", stderr);
        return 1;
    }
    WaitFor([] { return false; }, 300);
    window.Log().resize(760, 460);
    WaitFor([] { return false; }, 200);
    ok = Save(&window.Log(), out.filePath(QStringLiteral("log-window.png"))) && ok;

    CaptureNextModal(out.filePath(QStringLiteral("text-dialog.png")));
    TextRequest help;
    help.text = G(QStringLiteral("标签1\r\n标签2\r\n标签3\r\nemlog\r\n站群"));
    help.prompt = G(QStringLiteral(
        "一行一个标签，在更新文章时将读取随机的几个标签作为文章的标签选项。留空无标签。如果打勾"
        "【文章中随机提取】则随机提取文章中文字为标签"));
    help.title = G(QStringLiteral("输入标签列表（keywords）："));
    AskText(help, &window);

    ok = SaveScheduler(window, out) && ok;

    window.OpenBatchTools();
    WaitFor([] { return false; }, 300);
    ok = Save(&window.BatchWindow(), out.filePath(QStringLiteral("batch-tools.png"))) && ok;
    window.BatchWindow().close();

    CaptureNextModal(out.filePath(QStringLiteral("countdown.png")), 1300);
    ShutdownCountdown countdown([] { return false; });
    RunCountdownDialog(countdown, &window);
    // The stop button of the countdown may answer with a message of its own.
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    ok = SaveTextTools(out) && ok;
    return ok ? 0 : 1;
}
