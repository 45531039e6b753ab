#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "run/run_host.h"

class LogWindow;
class QAbstractButton;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QWidget;

// The main window's widgets that an update run reads and changes.
struct RunWidgets {
    QWidget* owner = nullptr;  // message boxes and the countdown open over it
    QPushButton* start = nullptr;
    QPushButton* siteStop = nullptr;
    QPushButton* add = nullptr;
    QStackedWidget* addOrStop = nullptr;  // 按钮停止更新 takes 按钮添加's place in it
    QAbstractButton* syncCycle = nullptr;
    QLineEdit* cycleSeconds = nullptr;
    QAbstractButton* independent = nullptr;
    QLineEdit* sitesAtOnce = nullptr;
    QAbstractButton* globalQuota = nullptr;
    QLineEdit* globalQuotaCount = nullptr;
    QAbstractButton* shutdownWhenDone = nullptr;
    QAbstractButton* retryFailed = nullptr;
    QListWidget* sites = nullptr;
    QPushButton* viewLog = nullptr;
    LogWindow* log = nullptr;
    // The controls a run disables, in the order it disables them.
    std::vector<QWidget*> runControls;
};

// RunHost over the main window: the run controls are read from their widgets at every
// use, rows go to the log window, captions and enabling to the buttons.
class QtRunHost : public RunHost {
public:
    QtRunHost(RunWidgets widgets, std::function<void()> saveAllSettings);

    // BasicSettings into the controls (the dialog paths are kept here, as the import and
    // export dialogs' starting names).
    void ShowSettings(const BasicSettings& settings);

    // The starting file names of the import and export dialogs, saved with the settings.
    std::string& ImportPath() { return m_importPath; }
    std::string& ExportPath() { return m_exportPath; }

    // After the program has ended (a close that a test's end action did not carry out)
    // the run may still wind down: it shows nothing more.
    void SetQuiet(bool quiet) { m_quiet = quiet; }

    BasicSettings ReadRunSettings() override;
    void SetStartCaption(const std::string& caption) override;
    void SetRunControlsEnabled(bool enabled) override;
    void SetSiteStopVisible(bool visible) override;
    void SetSiteStopEnabled(bool enabled) override;
    bool IsSiteRowChecked(std::int32_t site) override;
    void SetSiteRowEnabled(std::int32_t site, bool enabled) override;
    void ClearLogView() override;
    void AppendLogRow(const std::string& time, const std::string& site,
                      const std::string& message) override;
    void SetLocateCaption(const std::string& caption) override;
    void SetLogWindowVisible(bool visible) override;
    std::string ViewLogCaption() override;
    void SetViewLogCaption(const std::string& caption) override;
    void BringLogToFront() override;
    void RevealFile(const std::string& gbkPath) override;
    void ShowCompletionMessage(const std::string& message) override;
    void SaveAllSettings() override;
    void RunShutdownCountdown(ShutdownCountdown& countdown) override;

private:
    RunWidgets m_w;
    std::function<void()> m_saveAll;
    std::string m_importPath, m_exportPath;
    // Enabled states before the run disabled them: controls that are not available yet
    // stay disabled when the run gives the others back.
    std::vector<bool> m_enabledBefore;
    bool m_quiet = false;
};
