#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/site_config.h"
#include "settings/site_editor.h"

// The main window's 导出 and 导入: the whole site list written into another settings-format
// file (section 站点配置, the site sections, their 分类数据 side files in an inibin folder
// beside it), and the sites of such a file appended to the list. The file dialogs are the
// window's; these take the path they gave (GBK). Messages go to the main window's view.

enum class SiteFileOutcome {
    Done,
    Refused,  // an update is running: its jobs hold the records
    Failed,   // the file could not be written (export)
};

// Writes the sites into the file, creating it readable by its owner only (it holds the
// passwords in clear) or editing it in place, so its other sections stay. Shows the
// success message, or why the file was not written.
SiteFileOutcome ExportSiteFile(const std::string& gbkPath, const SiteList& sites,
                               std::int32_t selectedRow, SiteEditorView& view);

struct SiteImportResult {
    SiteFileOutcome outcome = SiteFileOutcome::Done;
    std::int32_t added = 0;
    // Row texts of the file's sites that were not added because the list (or an earlier
    // site of the same file) already has that 域名(用户).
    std::vector<std::string> skipped;
};

// Appends the file's sites to the list and its rows; the file's saved selection is
// ignored. The file is only read, never created. Refused with a message while
// isRunActive() is true; the skipped duplicates are named in a message afterwards.
SiteImportResult ImportSiteFile(const std::string& gbkPath, SiteList& sites, SiteEditor& editor,
                                SiteEditorView& view, const std::function<bool()>& isRunActive);

// The message shown when sites cannot be added because an update is running; `what` is
// the operation ("批量导入站点", "导入站点配置文件"). GBK.
std::string RunActiveRefusal(const std::string& what);
