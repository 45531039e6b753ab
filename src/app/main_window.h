#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "settings/site_config.h"
#include "tools/batch_state.h"

class BatchTools;
class BatchToolsWindow;
class PinyinWindow;
class RandomTextWindow;
class SchedulerWindow;
class CategoryTools;
class ConfigStore;
class LogWindow;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QSystemTrayIcon;
class QTreeWidget;
class QtRunHost;
class QtSiteView;
class RunController;
class SiteEditor;

struct MainWindowOptions {
    // The program keeps itself on the first processor; a test or benchmark process that
    // makes several windows may leave its threads where they are.
    bool pinToFirstCpu = true;
    bool trayIcon = true;
};

// The main window: the run controls, the site list with its editor and category tree, the
// tools and help links. It maps its widgets to the site editor, the run controller and
// the settings file; the rules are theirs. It owns the SiteList, the controller and the
// log window, and ends the program only through its close query.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(ConfigStore& store, MainWindowOptions options = {});
    ~MainWindow() override;

    // What ends the program once the close query allowed it (the default quits the event
    // loop, or the process at once while an update runs); tests record it instead.
    void SetEndAction(std::function<void()> end) { m_end = std::move(end); }

    // The close query: asks while a run is going on; then hides the windows, saves all
    // settings, removes the tray icon, prunes the site sections and ends. `ask` false is a
    // yes to the question (a termination signal). False when the window stays.
    bool CloseQuery(bool ask = true);
    // The global save behind 链接全局保存 and 图片全局保存.
    void GlobalSave();

    RunController& Controller() { return *m_controller; }
    SiteList& Sites() { return m_sites; }
    LogWindow& Log() { return *m_log; }
    SiteEditor& Editor() { return *m_editor; }
    CategoryTools& Categories() { return *m_categories; }
    QSystemTrayIcon* TrayIcon() const { return m_tray; }

    // The batch tools window, made at its first opening.
    BatchToolsWindow& BatchWindow();
    void OpenBatchTools();
    void OpenScheduler();
    // The scheduler window, made at its first opening or by the task's auto-start.
    SchedulerWindow& Scheduler();

    // Exposed for the tests and the picture script.
    void ToggleFromTray();
    void ExitFromTray();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildUi();
    QWidget* BuildBanner();
    QWidget* BuildRunGroup();
    QWidget* BuildListGroup();
    QWidget* BuildSiteGroup();
    QWidget* BuildArticleGroup();
    QWidget* BuildTagGroup();
    QWidget* BuildAliasGroup();
    QWidget* BuildCategoryGroup();
    QWidget* BuildToolsRow();
    void ConnectSiteEditor();
    void ConnectRun();
    void ConnectBatchTools();
    template <class Window>
    void OpenToolWindow(Window*& window);
    void LoadSettings();
    void CreateTrayIcon();

    void SaveAll();
    void OnSiteSelectionChanged();
    void OnRowItemChanged(int row);
    void PickFolder();
    void ImportSites();
    void ExportSites();
    void OpenArticleFolder();
    void ShowHelp();
    void OpenHomePage();
    void EndProgram();

    ConfigStore& m_store;
    MainWindowOptions m_options;
    SiteList m_sites;

    QPushButton* m_start = nullptr;
    QPushButton* m_siteStop = nullptr;
    QPushButton* m_add = nullptr;
    QStackedWidget* m_addOrStop = nullptr;
    QRadioButton* m_syncCycle = nullptr;
    QRadioButton* m_independent = nullptr;
    QLineEdit* m_cycleSeconds = nullptr;
    QLineEdit* m_sitesAtOnce = nullptr;
    QCheckBox* m_globalQuota = nullptr;
    QLineEdit* m_globalQuotaCount = nullptr;
    QCheckBox* m_shutdownWhenDone = nullptr;
    QCheckBox* m_retryFailed = nullptr;
    QPushButton* m_viewLog = nullptr;
    QGroupBox* m_listGroup = nullptr;
    QListWidget* m_list = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLineEdit* m_articleFolder = nullptr;
    QPushButton* m_pickFolder = nullptr;
    QLabel* m_saveLink = nullptr;
    QLabel* m_savePicture = nullptr;
    QLabel* m_helpPicture = nullptr;
    QLabel* m_homePicture = nullptr;
    QLabel* m_batchPicture = nullptr;
    QLabel* m_batchLink = nullptr;
    QLabel* m_planPicture = nullptr;
    QLabel* m_planLink = nullptr;
    BatchToolsWindow* m_batchTools = nullptr;
    PinyinWindow* m_pinyin = nullptr;
    RandomTextWindow* m_randomText = nullptr;
    SchedulerWindow* m_scheduler = nullptr;
    bool m_shownOnce = false;
    // One state for the category read and the batch operations: a click on one of their
    // buttons while another runs is seen through it.
    BatchState m_batchState;
    std::unique_ptr<CategoryTools> m_categories;
    std::unique_ptr<BatchTools> m_batch;

    LogWindow* m_log = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<QtSiteView> m_view;
    std::unique_ptr<SiteEditor> m_editor;
    std::unique_ptr<QtRunHost> m_host;
    std::unique_ptr<RunController> m_controller;
    std::function<void()> m_end;
    bool m_closing = false;
    bool m_ended = false;
    // A press on a tree item's check box also makes it current; that is no selection
    // change in the editor's sense (only the check changes).
    bool m_treeIndicatorPress = false;
};
