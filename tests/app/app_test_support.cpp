#include "app_test_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QPixmap>

std::vector<TestFactory>& AppTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

ModalWatch WhenModal(std::function<bool(QWidget*)> act, int timeoutMs, bool* timedOut) {
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, waited, act, timeoutMs, timedOut] {
        *waited += 10;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            // Stopped before acting: the action may open a modal loop of its own.
            timer->stop();
            if (act(modal)) {
                timer->deleteLater();
                return;
            }
            timer->start();
        }
        if (*waited < timeoutMs) return;
        timer->stop();
        timer->deleteLater();
        if (timedOut) *timedOut = true;
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    timer->start(10);
    return timer;
}

void StopWatching(const ModalWatch& watch) {
    if (watch) {
        watch->stop();
        watch->deleteLater();
    }
}

QMessageBox* ActiveMessageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

ModalWatch AnswerNextMessageBox(QMessageBox::StandardButton button, MessageAnswer* seen) {
    return WhenModal([button, seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) return false;
        if (seen) {
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->seen = true;
        }
        if (QAbstractButton* answer = box->button(button))
            answer->click();
        else
            box->close();
        return true;
    });
}

QString SavePicture(QWidget* window, const QString& name) {
    QString folder = qEnvironmentVariable("QINGLUAN_PICTURES");
    if (folder.isEmpty()) folder = QDir::tempPath() + QStringLiteral("/qingluan-pictures");
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    window->grab().save(path);
    return path;
}
