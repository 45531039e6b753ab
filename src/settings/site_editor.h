#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/category_tree.h"
#include "settings/config_store.h"
#include "settings/site_config.h"

// The domain box's text cleaned for storage: blanks (ASCII and the GBK full-width one)
// removed, "http://" and "//" removed, slashes trimmed at both ends. A leading
// "https://" (any case) is kept, lower-case, so a site that only answers over TLS stays
// reachable; every other domain is stored without a scheme and means http.
std::string NormaliseDomain(std::string_view text);

// What the site editor reads and writes: the site list box, the editor's controls by
// their control names (编辑框域名, 组合框编码, 选择框首行标题, …), the category tree and the
// messages. The main window maps it to its widgets; the command line and the tests keep
// it in memory. Texts and control names are GBK.
class SiteEditorView {
public:
    virtual ~SiteEditorView() = default;

    // the site list box (rows from 0)
    virtual std::int32_t RowCount() const = 0;
    virtual std::string RowText(std::int32_t row) const = 0;
    virtual bool RowChecked(std::int32_t row) const = 0;
    // Greyed rows are sites left out of the running update.
    virtual bool RowGreyed(std::int32_t) const { return false; }
    virtual void SetRow(std::int32_t row, const std::string& text, bool checked) = 0;
    virtual void SetRowChecked(std::int32_t row, bool checked) = 0;
    virtual void AppendRow(const std::string& text, bool checked) = 0;
    virtual void RemoveRow(std::int32_t row) = 0;
    virtual void ClearRows() = 0;
    virtual std::int32_t SelectedRow() const = 0;  // -1: none
    // Selects without running the selection handler (the editor runs ShowSelectedSite
    // itself where it should).
    virtual void SelectRow(std::int32_t row) = 0;
    virtual void SetListTitle(const std::string& title) = 0;

    // editor controls
    virtual std::string Text(const std::string& control) const = 0;
    virtual void SetText(const std::string& control, const std::string& text) = 0;
    virtual std::int32_t Index(const std::string& control) const = 0;
    virtual void SetIndex(const std::string& control, std::int32_t index) = 0;
    virtual bool Checked(const std::string& control) const = 0;
    virtual void SetChecked(const std::string& control, bool checked) = 0;
    // the tag text of a button (按钮输入标签组 holds 标签数据)
    virtual std::string Tag(const std::string& control) const = 0;
    virtual void SetTag(const std::string& control, const std::string& tag) = 0;
    virtual bool Enabled(const std::string&) const { return true; }
    virtual void SetEnabled(const std::string&, bool) {}
    virtual void SetVisible(const std::string&, bool) {}
    virtual void SetCaption(const std::string&, const std::string&) {}
    virtual std::string Caption(const std::string&) const { return {}; }

    // the category tree 树型框
    virtual CategoryTree Tree() const = 0;
    virtual void ShowTree(const CategoryTree& tree) = 0;
    virtual std::int32_t TreeSelectedIndex() const = 0;
    virtual void SelectTreeItem(std::int32_t index) = 0;

    // Messages: an OK box, and a question with OK and Cancel (true for OK).
    virtual void ShowMessage(const std::string& text) = 0;
    virtual bool AskOkCancel(const std::string& text) = 0;
    // The text dialog in input mode; nothing when it was cancelled or is already open.
    virtual std::optional<std::string> AskText(const std::string&, const std::string&,
                                               const std::string&) {
        return std::nullopt;
    }
};

enum class ApplyMode { Add, Modify };

// The site list editor: the 添加/修改/删除/清空/上移/下移 buttons, the row check boxes and
// the three enabling buttons, over the SiteList and its view. Row check boxes are written
// to the settings file at once (SaveSiteEnabled); everything else reaches it with the
// next global save. While an update runs (isIdle false) no record is added, replaced or
// removed, since the site jobs hold them.
class SiteEditor {
public:
    SiteEditor(SiteList& sites, SiteEditorView& view, ConfigStore* store,
               std::function<bool()> isIdle);

    // Add or modify from the controls. row -1 with rowGiven false takes the selected row.
    // Silent callers (the batch import, the batch category read) get no message. Returns
    // the selected row after success, -1 after any refusal.
    std::int32_t ApplyControlsToSite(ApplyMode mode, std::int32_t row = -1, bool rowGiven = false,
                                     bool silent = false);

    // The list box's selection handler; shift/ctrl are the keys held at the change.
    void ShowSelectedSite(bool shift = false, bool ctrl = false);
    void ShowSite();
    void UpdateDependentControls();
    void DeleteSite();
    void ClearSites();
    void MoveSiteUp();
    void MoveSiteDown();
    void SetAllEnabled(std::int32_t kind);  // 0 启用, 1 不启, 2 反启
    void RowCheckChanged();
    void UpdateListTitle();
    void EditTagList();
    // Puts the list box in line with the SiteList (after a load or an import).
    void RefreshRows();

    // The category tree's rules, for the tree's handlers.
    void TreeCheckChanged(std::int32_t item, std::int32_t state);
    void TreeSelectionChanged(std::int32_t item);

    std::int32_t Anchor() const { return m_anchor; }

private:
    bool Idle() const { return !m_isIdle || m_isIdle(); }
    void SaveEnabled(std::int32_t row, bool enabled);
    void RangeRules(bool shift, bool ctrl);
    SiteConfig ReadControls(const SiteConfig& base) const;

    SiteList& m_sites;
    SiteEditorView& m_view;
    ConfigStore* m_store;
    std::function<bool()> m_isIdle;
    std::int32_t m_anchor = 0;
};

// Every persisted field of a record put into the controls, as ShowSite does (the tree
// included); and read back, as an add or modify does. For callers without a window.
void WriteSiteToControls(const SiteConfig& site, SiteEditorView& view);
SiteConfig ReadSiteFromControls(const SiteEditorView& view);

// The controls as the window starts, before it shows any site: every persisted field at
// its control's design value, the example domain in the domain box, 启用 false, no tree.
SiteConfig DesignSiteValues();

// The type of a site key's value as the editor holds it.
enum class SiteValueType {
    Logical,  // a check box (启用: the row's check box)
    Text,     // one line
    Lines,    // several lines, CR LF between them (标签数据)
    Integer,  // an edit box read as a whole number
    Real,     // an edit box read as a single-precision number (间隔秒1)
    Choice,   // a drop-down's item index
    Bytes,    // the category tree's content (分类数据)
};

// One persisted site key, how its value is typed and the control that edits it. GBK.
struct SiteKeyControl {
    std::string key;
    SiteValueType type;
    // Empty where no control holds the value as such: 启用 is the row's check box, and
    // 分类数据, 分类ID and 分类选择项 come from the category tree.
    std::string control;
    std::vector<std::string> captions;  // a drop-down's items, by index
};

// Every persisted site key in the order they are saved.
const std::vector<SiteKeyControl>& SiteKeyControls();
