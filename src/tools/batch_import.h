#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/site_config.h"
#include "settings/site_editor.h"
#include "tools/batch_tools_view.h"

// 批量导入站点 (按钮批量导入 of the batch tools window): sites typed one per line, fields
// separated by "|", each added through the main window's editor as the 添加 button adds
// one, so an import stores nothing the window would refuse. The button's caption is the
// import's state; a click while it runs asks it to stop before its next line.

// What the import borrows from elsewhere. An empty hook is not called.
struct BatchImportHooks {
    // Reads the categories of the site the editor shows into the main window's tree
    // (quiet: no message on failure).
    std::function<void(bool quiet)> readCategoriesForShownSite;
    // Sets the tree's check boxes; mode 1 checks every category.
    std::function<void(std::int32_t mode)> setAllCategoryChecks;
    // True while an update runs: its jobs hold the records, so nothing is added then.
    std::function<bool()> isRunActive;
};

// The windows the import drives.
struct BatchImportWindows {
    BatchToolsView& tools;  // the batch tools window
    SiteEditorView& main;   // the main window's site list and editor controls
    SiteEditor& editor;     // over `sites` and `main`
    SiteList& sites;
};

enum class BatchImportOutcome {
    Done,           // the loop ran (to the end or to a stop request)
    Cancelled,      // the input dialog was cancelled
    StopRequested,  // the click asked a running import to stop
    Refused,        // an update is running
};

struct BatchImportSummary {
    BatchImportOutcome outcome = BatchImportOutcome::Done;
    std::int32_t imported = 0;
    std::string failures;  // the failed lines, CR LF after each
};

BatchImportSummary BatchImportSites(const BatchImportWindows& windows,
                                    const BatchImportHooks& hooks);

// The input dialog's prompt: the line format and an example line. GBK.
const std::string& BatchImportHelp();

// The text's lines at CR LF: an empty last line is dropped, empty lines between are kept.
std::vector<std::string> SplitImportLines(std::string_view text);
// A line's fields at "|": empty fields between separators are kept, an empty part after
// the last one is dropped.
std::vector<std::string> SplitImportFields(std::string_view line);
