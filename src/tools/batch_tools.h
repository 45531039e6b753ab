#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/site_editor.h"
#include "tools/batch_state.h"
#include "tools/batch_tools_view.h"
#include "tools/category_tools.h"

// What one batch operation did, for callers that go on from it (the command line prints
// it and sets its exit code; the window needs none of it).
struct BatchOutcome {
    bool started = false;             // false: a stop click, a refusal or a cancel
    std::int32_t sites = 0;           // sites handed to the operation
    std::int32_t loginFailures = 0;   // sites whose login failed on every host form tried
    std::vector<std::string> unread;  // batch read: rows whose categories were kept as stored
    std::string report;               // the final message box's text
    std::string failedCategories;     // batch creation: the failure dialog's text
};

// The batch operations of the window "批处理工具": every one walks the main window's site
// rows through its SiteEditor (select the row, show the site, build a session from the
// editor's site box) and reports through the batch window's view. The window's button
// handlers call these; a second click on a running operation's button, handled inside
// one of its PumpEvents, asks it to stop.
class BatchTools {
public:
    // isRunActive: whether an update run is going on (the batch read is refused then,
    // since it rewrites site records the run's jobs hold).
    BatchTools(SiteEditor& editor, SiteEditorView& siteView, BatchToolsView& batchView,
               BatchState& state, std::function<bool()> isRunActive);

    BatchOutcome BatchReadCategories();                  // 按钮批量读取
    BatchOutcome BatchCreateCategories(bool fromFiles);  // 按钮创建分类 (right button: files)
    BatchOutcome BatchDeleteCategories();                // 按钮删除分类
    BatchOutcome BatchDeleteArticles();                  // 按钮删除文章

    // Hands each row of the chosen scope to `operation`, the row selected and its site
    // shown; pumps events before each row. honourStop ends the walk once the batch stop
    // flag is set; `operation` ends it by returning false.
    void ForEachBatchSite(bool honourStop, const std::function<bool(std::int32_t row)>& operation);

    // The category read and the sessions the operations use (limits for the tests).
    CategoryTools& Categories() { return m_categories; }

private:
    bool OtherOperationRunning(const std::string& button);
    void SetScopeEnabled(bool on);
    // One deletion batch: `remove` sends one request for one id.
    BatchOutcome DeleteRange(bool articles);

    SiteEditor& m_editor;
    SiteEditorView& m_siteView;
    BatchToolsView& m_batchView;
    BatchState& m_state;
    std::function<bool()> m_isRunActive;
    CategoryTools m_categories;
};
