#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "emlog/http_client.h"
#include "settings/site_config.h"
#include "settings/site_editor.h"
#include "tools/batch_state.h"

// A temporary site record from the main window's site box, with a session of its own:
// the domain as NormaliseDomain cleans it (with alternateHost, "www." taken off when it
// starts with it, else put in front), user and password as typed, 编码 from 组合框编码,
// 后台 "admin" when empty, no token.
SiteConfig SessionFromControls(const SiteEditorView& view, bool alternateHost);

// How a category read of the shown site ended.
enum class CategoryReadOutcome {
    Read,         // the site answered with its list (possibly an empty one)
    LoginFailed,  // neither host form logged in
    NoList,       // logged in, but no answer held a category list
    Stopped,      // the read button was pressed meanwhile, or this press stopped a read
};

// The main window's category operations over its site editor view: the read button
// 按钮读取分类列表, the select-all/invert/none buttons and the category page. The batch
// tools and the batch import use the same object, so the read and its stop flag are one.
class CategoryTools {
public:
    using PageOpener = std::function<bool(const std::string& url)>;

    // opener: how a category page is shown; the default browser when empty.
    CategoryTools(SiteEditorView& view, BatchState& state, PageOpener opener = {});

    // 按钮读取分类列表 (quiet false); the batch read and the import call it quietly. Reads the
    // shown site's categories into the tree, trying the other host form when the login
    // fails; the tree is not saved here.
    CategoryReadOutcome ReadCategoriesForShownSite(bool quiet);

    // 按钮全选 (1), 按钮反选 (0), 按钮不选 (-1).
    void SetAllCategoryChecks(std::int32_t mode);

    // "http://" + domain + "?sort=" + the selected item's id, opened in the browser and
    // returned; "" (nothing opened) when no tree item is selected.
    std::string OpenCategoryPage();

    // Limits for the temporary sessions' requests (the tests shorten them).
    void SetSessionLimits(std::optional<HttpLimits> limits) { m_limits = limits; }
    SiteConfig Session(bool alternateHost) const;

private:
    // One read into the shown tree, keeping checks and the selected item; nothing once
    // the read-stop flag is set. False when no answer held a list.
    bool ReadIntoTree(SiteConfig& site);

    SiteEditorView& m_view;
    BatchState& m_state;
    PageOpener m_opener;
    std::optional<HttpLimits> m_limits;
};
