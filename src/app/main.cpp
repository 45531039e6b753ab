// qingluan: the main window of the site-group updater.
#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/screenshots.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "settings/settings_file.h"

namespace {

const char* const kUsage =
    "usage: qingluan [--settings FILE] [--demo]\n"
    "  --settings FILE  the settings file, and with it the data folder (default:\n"
    "                   岚舟·青鸾助手.ini beside the program)\n"
    "  --demo           how to watch a whole update without a display\n";

const char* const kDemoHint =
    "qingluan: the demo runs a whole site-group update without a display: bash scripts/run --demo "
    "(or bash scripts/demo BUILD_DIR)\n";

struct Arguments {
    std::string settings;  // UTF-8, empty for the default
    bool demo = false;
    std::string screenshots;  // hidden: the picture script's output folder
};

// 0 to go on, otherwise the exit code (1 + 1 for a usage error).
int Parse(int argc, char** argv, Arguments& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (arg == "--settings") {
            if (!value(out.settings)) return std::fputs(kUsage, stderr), 2;
        } else if (arg.rfind("--settings=", 0) == 0) {
            out.settings = arg.substr(11);
        } else if (arg == "--screenshots") {
            if (!value(out.screenshots)) return std::fputs(kUsage, stderr), 2;
        } else if (arg == "--demo") {
            out.demo = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        } else if (arg == "--version") {
            std::puts("qingluan 1.1.0.0");
            return -1;
        } else if (arg.rfind("-", 0) == 0 && arg.rfind("-platform", 0) != 0) {
            std::fprintf(stderr, "qingluan: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    return 0;
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

bool FolderWritable(const std::filesystem::path& folder) {
#ifndef _WIN32
    return ::access(folder.c_str(), W_OK) == 0;
#else
    (void)folder;
    return true;  // the folder a Windows user unpacked the program into is the user's
#endif
}

// The settings file and the data folder: --settings names both; otherwise the file sits
// beside the program, unless that folder cannot be written and holds none (an installed
// program), in which case the user's data folder holds it.
bool BindSettings(const std::string& settingsUtf8) {
    if (!settingsUtf8.empty()) {
        const auto gbk = charset::Utf8ToGbkStrict(settingsUtf8);
        if (!gbk) {
            std::fprintf(stderr, "qingluan: the settings path has characters outside GBK: %s\n",
                         settingsUtf8.c_str());
            return false;
        }
        const std::string folder = platform::ParentFolder(*gbk);
        platform::SetDataFolder(folder.empty() ? std::string(".") : folder);
        SettingsStore().Bind(*gbk);
        return true;
    }
    // A settings file beside the program keeps a portable copy portable, writable or not.
    const bool portable =
        FolderWritable(platform::NativePath(platform::ProgramFolder())) ||
        platform::FileExists(platform::JoinPath(platform::ProgramFolder(),
                                                ProgramTitle() + ".ini"));
    if (!portable) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/qingluan");
        if (const auto gbk = platform::GbkPath(std::filesystem::path(data.toStdString()));
            gbk && platform::CreateFolders(*gbk))
            platform::SetDataFolder(*gbk);
    }
    OpenSettings(ProgramTitle());
    return true;
}

#ifndef _WIN32
// A termination signal closes the program as a "yes" to the close query: the handler only
// writes a byte; the event loop reads it and runs the close.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

bool InstallSignalPipe() {
    if (::pipe(g_signalPipe) != 0) return false;
    for (const int fd : g_signalPipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    return true;
}

void WatchSignals(MainWindow& window) {
    if (g_signalPipe[0] < 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char bytes[16];
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], bytes, sizeof bytes);
        window.CloseQuery(false);
    });
}
#endif

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (const int code = Parse(argc, argv, args)) return code < 0 ? 0 : code;
    if (args.demo) {
        std::fputs(kDemoHint, stdout);
        return 0;
    }
    if (!HasDisplay()) {
        std::fputs("qingluan: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n", stderr);
        std::fputs(kDemoHint, stderr);
        return 1;
    }
#ifndef _WIN32
    // Before anything that takes time, so a signal that comes early still closes in order.
    InstallSignalPipe();
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qingluan"));
    QApplication::setApplicationDisplayName(Q(ProgramTitle()));
    // Hiding the window to the notification area is no exit: only the close query ends.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!BindSettings(args.settings)) return 2;
    SettingsStore().SetWarningHandler([](const std::string& message, const std::string& detail) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("岚舟："), Q(message));
        box.setDetailedText(Q(detail));
        box.exec();
    });

    MainWindow window(SettingsStore());
#ifndef _WIN32
    WatchSignals(window);
#endif
    window.show();
    if (!args.screenshots.empty()) return RunScreenshots(window, QString::fromStdString(args.screenshots));
    return app.exec();
}
