#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "scheduler/scheduled_start.h"

class ConfigStore;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class RunController;

// The scheduler window ("计划任务 - 在指定时间点自动“开始站群更新”"): the list of time
// points 列表框计划列表 with its check marks, 编辑框时间 and the buttons that edit the list,
// 按钮开始任务, 选择框开始任务, 按钮使用前必看 and the tick 时钟计划任务. Not modal; owned by
// the main window, which opens it (Open) and, at its first show, starts its task (AutoStart).
// Closing it writes the list and only hides it, so a running task goes on.
class SchedulerWindow : public QWidget {
    Q_OBJECT
public:
    // Runs through the main window's controller (origin Scheduler).
    SchedulerWindow(ConfigStore& store, RunController& controller, QWidget* owner);
    // Any run, and any file for the list (tests, pictures).
    SchedulerWindow(ConfigStore& store, SchedulerRun run, QWidget* owner,
                    std::string timePointPath = TimePointFilePath());
    // Writes the list if it changed since it was last written.
    ~SchedulerWindow() override;

    // BasicSettings 自动开启计划任务: whether the main window creates this window, hidden,
    // at its first show and calls AutoStart.
    static bool AutoStartWanted(ConfigStore& store);
    // Starts the task when 选择框开始任务 is checked; true when it did.
    bool AutoStart();
    // Shows the window (running or not), raised and active.
    void Open();
    bool TaskActive() const { return m_task->TaskActive(); }
    // The list into its file, for the program's end (the close query).
    bool SaveTimePoints() { return m_task->SaveTimePoints(); }
    ScheduledStart& Task() { return *m_task; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class View;
    void BuildUi();
    void Connect();

    SchedulerRun m_run;
    QListWidget* m_list = nullptr;
    QLineEdit* m_time = nullptr;
    QPushButton* m_readNow = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_taskButton = nullptr;
    QCheckBox* m_autoStart = nullptr;
    QPushButton* m_usage = nullptr;
    QTimer* m_timer = nullptr;
    std::unique_ptr<View> m_view;
    std::unique_ptr<ScheduledStart> m_task;
};
