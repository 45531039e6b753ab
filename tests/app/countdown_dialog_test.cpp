#include "app/countdown_dialog.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "app_test_support.h"
#include "run/shutdown_countdown.h"

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Runs the window and `inside` on it once open; a window left open is closed after it.
bool Run(ShutdownCountdown& countdown, const std::function<void(QDialog*)>& inside) {
    bool ran = false;
    const ModalWatch watch = WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || dialog->objectName() != QLatin1String(countdown_dialog::kWindowName))
            return false;
        ran = true;
        QPointer<QDialog> guard(dialog);
        inside(dialog);
        if (guard && guard->isVisible()) guard->done(QDialog::Rejected);
        return true;
    });
    RunCountdownDialog(countdown, nullptr);
    StopWatching(watch);
    return ran;
}

}  // namespace

class CountdownDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Set by main as well; the fake shutdown below is what the window may call.
        QVERIFY(std::getenv("QINGLUAN_NO_SHUTDOWN"));
    }

    void stopShowsItsMessageAndCloses() {
        int shutdowns = 0;
        ShutdownCountdown countdown([&] { return ++shutdowns, false; });
        MessageAnswer message;
        bool closed = false;
        const bool ran = Run(countdown, [&](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), U("更新完毕，准备关机.."));
            QCOMPARE(Child<QLabel>(dialog, "标签1")->text(), U("距离关机还有 30 秒"));
            QCOMPARE(Child<QPushButton>(dialog, "按钮立即")->text(), U("立即关机！"));
            QPushButton* stop = Child<QPushButton>(dialog, "按钮停止");
            QCOMPARE(stop->text(), U("停止关机！"));
            SavePicture(dialog, QStringLiteral("countdown"));
            AnswerNextMessageBox(QMessageBox::Ok, &message);
            stop->click();
            closed = !dialog->isVisible();
        });
        QVERIFY(ran);
        QVERIFY(closed);
        QVERIFY(message.seen);
        QCOMPARE(message.text, U("已停止关机倒计时！"));
        QCOMPARE(message.title, U("岚舟："));
        QVERIFY(countdown.Stopped());
        QVERIFY(!countdown.TimerRunning());
        QCOMPARE(shutdowns, 0);
        QVERIFY(!countdown.ShutdownRequested());
        // No tick may come after the window closed.
        QTest::qWait(1200);
        QCOMPARE(countdown.Remaining(), 30);
    }

    void ticksShowTheCountOnTheClock() {
        int shutdowns = 0;
        ShutdownCountdown countdown([&] { return ++shutdowns, false; });
        QString label;
        QElapsedTimer elapsed;
        qint64 firstTickMs = 0;
        Run(countdown, [&](QDialog* dialog) {
            elapsed.start();
            auto* text = Child<QLabel>(dialog, "标签1");
            QTRY_COMPARE_WITH_TIMEOUT(text->text(), U("距离关机还有 29 秒"), 2000);
            firstTickMs = elapsed.elapsed();
            QTRY_COMPARE_WITH_TIMEOUT(text->text(), U("距离关机还有 28 秒"), 2000);
            label = text->text();
            QCOMPARE(countdown.Remaining(), 28);
            SavePicture(dialog, QStringLiteral("countdown_28"));
            AnswerNextMessageBox(QMessageBox::Ok, nullptr);
            Child<QPushButton>(dialog, "按钮停止")->click();
        });
        QCOMPARE(label, U("距离关机还有 28 秒"));
        QVERIFY2(firstTickMs <= 1100, "the first tick comes a second after the opening");
        QCOMPARE(shutdowns, 0);
    }

    void shutdownNowAsksAtOnceAndARefusalKeepsTheWindow() {
        int shutdowns = 0;
        ShutdownCountdown countdown([&] { return ++shutdowns, false; });
        bool stillOpen = false;
        Run(countdown, [&](QDialog* dialog) {
            Child<QPushButton>(dialog, "按钮立即")->click();
            stillOpen = dialog->isVisible();
            AnswerNextMessageBox(QMessageBox::Ok, nullptr);
            Child<QPushButton>(dialog, "按钮停止")->click();
        });
        QCOMPARE(shutdowns, 1);
        QVERIFY(stillOpen);
        QVERIFY(countdown.ShutdownRequested());
    }

    void escapeDoesNotCancel() {
        ShutdownCountdown countdown([] { return false; });
        bool stillOpen = false;
        Run(countdown, [&](QDialog* dialog) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            stillOpen = dialog->isVisible();
            AnswerNextMessageBox(QMessageBox::Ok, nullptr);
            Child<QPushButton>(dialog, "按钮停止")->click();
        });
        QVERIFY(stillOpen);
        QVERIFY(countdown.Stopped());
    }
};

static RegisterAppTest<CountdownDialogTest> registration;

#include "countdown_dialog_test.moc"
