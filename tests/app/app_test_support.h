#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

// One QTest object per window; main.cpp runs every registered one.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& AppTests();

template <typename T>
struct RegisterAppTest {
    RegisterAppTest() {
        AppTests().push_back([] { return std::make_unique<T>(); });
    }
};

// The child of `window` with the given object name (UTF-8), or null.
template <typename T>
T* Child(QWidget* window, const char* name) {
    return window ? window->findChild<T*>(QString::fromUtf8(name)) : nullptr;
}

// Answers a modal window before it opens: polls the active modal widget every 10 ms and
// hands it to `act` until `act` returns true. After `timeoutMs` without that it closes
// whatever modal widget is open, so a test that got no window fails instead of hanging,
// and records that in *timedOut. Give the returned watch to StopWatching when the window
// may not come, so the watch cannot act on a later test's window.
using ModalWatch = QPointer<QTimer>;
ModalWatch WhenModal(std::function<bool(QWidget*)> act, int timeoutMs = 5000,
                     bool* timedOut = nullptr);
void StopWatching(const ModalWatch& watch);

// The active modal message box, or null.
QMessageBox* ActiveMessageBox();

// Answers the next message box with `button`, recording its title and text.
struct MessageAnswer {
    QString title, text;
    bool seen = false;
};
ModalWatch AnswerNextMessageBox(QMessageBox::StandardButton button, MessageAnswer* seen);

// Renders a window into <QINGLUAN_PICTURES or /tmp/qingluan-pictures>/<name>.png, to look at.
QString SavePicture(QWidget* window, const QString& name);
