#pragma once

#include <cstdint>
#include <string>

#include "settings/basic_settings.h"

class ShutdownCountdown;

// Everything an update run does to the windows, as one interface: the Qt main window
// implements it, the command line implements it for a terminal, tests record it.
// The run calls these only on the thread that called RunController::StartOrStop (the
// user-interface thread); rows and effects of worker threads are relayed there. Texts
// are GBK. Site numbers are 1-based rows of the site list box.
class RunHost {
public:
    virtual ~RunHost() = default;

    // The run controls as they read at this moment (radio buttons, edit box texts, check
    // boxes); called at every use, so edits during a run take effect at their next use.
    virtual BasicSettings ReadRunSettings() = 0;

    // 按钮开始更新's caption: "开始站群更新", "停止站群更新" or "正在停止中..".
    virtual void SetStartCaption(const std::string& caption) = 0;
    // Disables (false) or enables again (true), in this order: 单选框先后独立,
    // 单选框同步循环, 按钮导入, 按钮导出, 按钮上移, 按钮下移, 按钮启用, 按钮不启,
    // 按钮反启, 按钮添加, 按钮修改, 按钮删除, 按钮清空, 按钮读取分类列表.
    virtual void SetRunControlsEnabled(bool enabled) = 0;
    // 按钮停止更新 ("停止更新选定站点"): shown only during a run.
    virtual void SetSiteStopVisible(bool visible) = 0;
    virtual void SetSiteStopEnabled(bool enabled) = 0;

    // The check mark of a row of the site list box.
    virtual bool IsSiteRowChecked(std::int32_t site) = 0;
    // Greys (false) a row so it can be neither checked nor selected for a stop, or
    // enables it again (true).
    virtual void SetSiteRowEnabled(std::int32_t site, bool enabled) = 0;

    // The log window: its list view, its locate button and its visibility, with the
    // caption of 按钮查看日志 ("查看日志" / "关闭日志").
    virtual void ClearLogView() = 0;
    // One row, appended and scrolled into view; the message may be empty.
    virtual void AppendLogRow(const std::string& time, const std::string& site,
                              const std::string& message) = 0;
    virtual void SetLocateCaption(const std::string& caption) = 0;
    virtual void SetLogWindowVisible(bool visible) = 0;
    virtual std::string ViewLogCaption() = 0;
    virtual void SetViewLogCaption(const std::string& caption) = 0;
    // Shows, restores and raises the log window above other windows.
    virtual void BringLogToFront() = 0;
    // Opens the file manager with the file selected; does not wait.
    virtual void RevealFile(const std::string& gbkPath) = 0;

    // The completion message box (title "岚舟：", OK button).
    virtual void ShowCompletionMessage(const std::string& message) = 0;
    // The global save: BasicSettings and the SiteList into the settings file.
    virtual void SaveAllSettings() = 0;
    // Runs the countdown modally ("更新完毕，准备关机.."): ticks it every 1000 ms, showing
    // the new label from Tick's callback, offers its two buttons, returns when the window
    // closes.
    virtual void RunShutdownCountdown(ShutdownCountdown& countdown) = 0;
};
