#pragma once

// A main window over a settings file of its own, and a sandbox site to run it against,
// for the tests of the main window and the windows it opens.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>

#include "app/log_window.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "run/run_controller.h"
#include "sandbox/sandbox_server.h"
#include "settings/config_store.h"

namespace main_window_test {

inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline std::string Gbk(const QString& text) {
    return charset::Utf8ToGbk(text.toStdString());
}

// The settings file's text as UTF-8, or empty.
inline QString ReadGbkFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return QString::fromStdString(charset::GbkToUtf8(std::string(bytes.constData(), bytes.size())));
}

// One article file, GBK, in `folder`.
inline void WriteArticle(const QString& folder, const QString& title) {
    QDir().mkpath(folder);
    std::ofstream out((folder + QLatin1Char('/') + title + QStringLiteral(".txt")).toStdString(),
                      std::ios::binary);
    out << Gbk(U("这是《") + title + U("》的正文。\r\n第二段落，讲一些生活和技术的事情。\r\n"));
}

// A main window over a settings file in a temporary folder (the data folder too), with
// the end of the program and the shutdown recorded instead of done.
struct Harness {
    explicit Harness(const QStringList& iniLines = {}) {
        platform::SetDataFolder(Gbk(dir.path()));
        iniPath = dir.filePath(U("岚舟·青鸾助手.ini"));
        if (!iniLines.isEmpty()) {
            QFile file(iniPath);
            file.open(QIODevice::WriteOnly);
            const std::string bytes = Gbk(iniLines.join(QStringLiteral("\r\n")));
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        }
        store.Bind(Gbk(iniPath));
        window = std::make_unique<MainWindow>(store, MainWindowOptions{false, false});
        window->SetEndAction([this] { ++ends; });
        window->Controller().SetShutdownAction([] { return false; });
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~Harness() {
        // A run still going (a failed check) is stopped and waited for before teardown.
        if (window && window->Controller().IsRunning()) {
            window->Controller().StartOrStop(RunOrigin::Button);
            QTRY_VERIFY_WITH_TIMEOUT(!window->Controller().IsRunning(), 30000);
        }
    }

    template <typename T>
    T* W(const char* name) const {
        T* widget = Child<T>(window.get(), name);
        if (!widget) qWarning("no control %s", name);
        return widget;
    }
    QListWidget* List() const { return W<QListWidget>("列表框"); }
    void SetText(const char* name, const QString& text) const { W<QLineEdit>(name)->setText(text); }
    QString Text(const char* name) const { return W<QLineEdit>(name)->text(); }
    void Click(const char* name) const { QTest::mouseClick(W<QPushButton>(name), Qt::LeftButton); }
    void ClickRow(int row, Qt::KeyboardModifiers keys = {}) const {
        QListWidget* list = List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualItemRect(list->item(row)).center());
    }
    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < List()->count(); ++i) rows << List()->item(i)->text();
        return rows;
    }
    QList<int> CheckedRows() const {
        QList<int> rows;
        for (int i = 0; i < List()->count(); ++i)
            if (List()->item(i)->checkState() == Qt::Checked) rows << i;
        return rows;
    }
    QString Ini() const { return ReadGbkFile(iniPath); }
    // The message column of the log window.
    QStringList LogMessages() const {
        QStringList out;
        auto* view = Child<QTableView>(&window->Log(), "列表框");
        QAbstractItemModel* model = view->model();
        for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, 2).data().toString();
        return out;
    }

    QTemporaryDir dir;
    QString iniPath;
    ConfigStore store;
    std::unique_ptr<MainWindow> window;
    int ends = 0;
};

// A sandbox with one emlog site and `articles` article files for it.
struct SandboxSite {
    explicit SandboxSite(const QString& folder, int articles,
                         std::vector<sandbox::SandboxCategory> categories = {{1, "技术", "", 0}})
        : folder(folder) {
        sandbox::ServerOptions options;
        sandbox::SiteOptions site;
        site.prefix = "blog1";
        site.categories = std::move(categories);
        options.sites.push_back(site);
        server = std::make_unique<sandbox::SandboxServer>(options);
        started = server->Start();
        for (int k = 1; k <= articles; ++k) WriteArticle(folder, U("第%1篇文章").arg(k));
    }
    QStringList SiteSection(int n, const char* pause) const {
        return {U("[站点序号_%1]").arg(n),
                U("启用=真"),
                U("用户=admin"),
                U("密码=admin888"),
                U("域名=") + QString::fromStdString(server->Domain(0)),
                U("后台=") + QString::fromStdString(server->AdminDir(0)),
                U("文章目录=") + folder,
                U("文件过滤=*.txt"),
                U("间隔秒1=") + U(pause)};
    }
    QString folder;
    std::unique_ptr<sandbox::SandboxServer> server;
    bool started = false;
};

}  // namespace main_window_test
