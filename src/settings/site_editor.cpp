#include "settings/site_editor.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <utility>
#include <vector>

#include "core/charset.h"
#include "core/events.h"
#include "core/gbk_literal.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "settings/site_records.h"

namespace {

const std::string& G(const char* utf8) {
    return GbkLiteral(utf8);
}

// Every saved key in the order it is saved, with its type, its control, a drop-down's
// captions and the record field behind it. 启用 is the row's check box and the 分类 keys
// come from the tree, so they have no control; 标签数据 is the tag of its button.
struct KeyRow {
    const char* key;
    SiteValueType type;
    const char* control;
    std::vector<const char*> captions;
    std::string SiteConfig::*text = nullptr;
    std::int32_t SiteConfig::*number = nullptr;
    bool SiteConfig::*flag = nullptr;
    float SiteConfig::*real = nullptr;
};

const std::vector<KeyRow>& KeyRows() {
    using T = SiteValueType;
    using S = SiteConfig;
    static const std::vector<KeyRow> rows = {
        {"启用", T::Logical, "", {}, nullptr, nullptr, &S::启用},
        {"用户", T::Text, "编辑框用户", {}, &S::用户},
        {"密码", T::Text, "编辑框密码", {}, &S::密码},
        {"域名", T::Text, "编辑框域名", {}, &S::域名},
        {"编码", T::Choice, "组合框编码", {"UTF-8", "GBK"}, nullptr, &S::编码},
        {"后台", T::Text, "编辑框后台", {}, &S::后台},
        {"标签数据", T::Lines, "按钮输入标签组", {}, &S::标签数据},
        {"标签数1", T::Integer, "编辑框标签数1", {}, nullptr, &S::标签数1},
        {"标签数2", T::Integer, "编辑框标签数2", {}, nullptr, &S::标签数2},
        {"文章中提取标签",
         T::Logical,
         "选择框文章中提取标签",
         {},
         nullptr,
         nullptr,
         &S::文章中提取标签},
        {"内容摘要数1", T::Integer, "编辑框内容摘要数1", {}, nullptr, &S::内容摘要数1},
        {"内容摘要数2", T::Integer, "编辑框内容摘要数2", {}, nullptr, &S::内容摘要数2},
        {"首页置顶", T::Logical, "选择框首页置顶", {}, nullptr, nullptr, &S::首页置顶},
        {"分类置顶", T::Logical, "选择框分类置顶", {}, nullptr, nullptr, &S::分类置顶},
        {"允许评论", T::Logical, "选择框允许评论", {}, nullptr, nullptr, &S::允许评论},
        {"分类数据", T::Bytes, "", {}, &S::分类数据},
        {"分类ID", T::Text, "", {}, &S::分类ID},
        {"分类选择项", T::Integer, "", {}, nullptr, &S::分类选择项},
        {"别名类型",
         T::Choice,
         "组合框别名类型",
         {"无别名", "标题首拼", "标题全拼", "随机数字", "随机字母", "随机数母", "递增数字"},
         nullptr,
         &S::别名类型},
        {"字母数1", T::Integer, "编辑框字母数1", {}, nullptr, &S::字母数1},
        {"字母数2", T::Integer, "编辑框字母数2", {}, nullptr, &S::字母数2},
        {"别名左边", T::Text, "编辑框别名左边", {}, &S::别名左边},
        {"别名右边", T::Text, "编辑框别名右边", {}, &S::别名右边},
        {"别名起始值", T::Integer, "编辑框别名起始值", {}, nullptr, &S::别名起始值},
        {"别名递增值", T::Integer, "编辑框别名递增值", {}, nullptr, &S::别名递增值},
        {"拼音间隔符",
         T::Choice,
         "组合框拼音间隔符",
         {"没有", "短横", "下划"},
         nullptr,
         &S::拼音间隔符},
        {"文章目录", T::Text, "编辑框文章目录", {}, &S::文章目录},
        {"文件编码",
         T::Choice,
         "组合框文件编码",
         {"自动识别", "GBK", "UTF-8", "Unicode", "Unicode BE"},
         nullptr,
         &S::文件编码},
        {"文件过滤", T::Text, "编辑框文件过滤", {}, &S::文件过滤},
        {"更新数量", T::Integer, "编辑框更新数量", {}, nullptr, &S::更新数量},
        {"间隔秒1", T::Real, "编辑框间隔秒1", {}, nullptr, nullptr, nullptr, &S::间隔秒1},
        {"删除已更新文章",
         T::Logical,
         "选择框删除已更新文章",
         {},
         nullptr,
         nullptr,
         &S::删除已更新文章},
        {"首行标题", T::Logical, "选择框首行标题", {}, nullptr, nullptr, &S::首行标题},
        {"段落标签", T::Logical, "选择框段落标签", {}, nullptr, nullptr, &S::段落标签},
    };
    return rows;
}

// The rows whose value sits in an edit box, a drop-down or a check box.
bool InPlainControl(const KeyRow& row) {
    return *row.control != '\0' && row.type != SiteValueType::Lines;
}

// "%.6g" without the process locale, which Qt sets to the user's (a comma decimal would
// read back as a truncated number).
std::string SixDigits(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && gbk::AsciiLower(text.substr(0, prefix.size())) == prefix;
}

std::string RemoveAll(const std::string& text, std::string_view what, bool noCase) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t hit =
            noCase ? gbk::FindNoCase(text, what, start) : text.find(what, start);
        if (hit == std::string::npos) break;
        out.append(text, start, hit - start);
        start = hit + what.size();
    }
    out.append(text, start);
    return out;
}

}  // namespace

std::string NormaliseDomain(std::string_view text) {
    // 1. every blank, walking characters so a trail byte is never taken for one
    std::string cleaned;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = gbk::CharLength(text, i);
        const std::string_view ch = text.substr(i, length);
        if (ch != " " && ch != "\xA1\xA1") cleaned.append(ch);
        i += length;
    }
    // A leading https:// survives as the site's scheme.
    bool https = false;
    if (StartsWithNoCase(cleaned, "https://")) {
        https = true;
        cleaned.erase(0, 8);
    }
    // 2.
    cleaned = RemoveAll(cleaned, "http://", true);
    cleaned = RemoveAll(cleaned, "//", false);
    // 3. slashes at the ends ("/" is never the trail byte of a GBK character)
    while (!cleaned.empty() && cleaned.back() == '/') cleaned.pop_back();
    while (!cleaned.empty() && cleaned.front() == '/') cleaned.erase(0, 1);
    // 4. (nothing left to trim: every blank is gone)
    if (https && !cleaned.empty()) cleaned.insert(0, "https://");
    return cleaned;
}

void WriteSiteToControls(const SiteConfig& site, SiteEditorView& view) {
    for (const KeyRow& row : KeyRows()) {
        if (!InPlainControl(row)) continue;
        const std::string& name = G(row.control);
        switch (row.type) {
            case SiteValueType::Text:
                view.SetText(name, site.*row.text);
                break;
            case SiteValueType::Integer:
                view.SetText(name, std::to_string(site.*row.number));
                break;
            case SiteValueType::Real:
                view.SetText(name, SixDigits(site.*row.real));
                break;
            case SiteValueType::Choice:
                view.SetIndex(name, site.*row.number);
                break;
            case SiteValueType::Logical:
                view.SetChecked(name, site.*row.flag);
                break;
            case SiteValueType::Lines:
            case SiteValueType::Bytes:
                break;
        }
    }
    view.SetTag(G("按钮输入标签组"), site.标签数据);
    view.ShowTree(CategoryTree::Parse(site.分类数据));
    view.SelectTreeItem(site.分类选择项);
}

SiteConfig ReadSiteFromControls(const SiteEditorView& view) {
    SiteConfig site;
    for (const KeyRow& row : KeyRows()) {
        if (!InPlainControl(row)) continue;
        const std::string& name = G(row.control);
        switch (row.type) {
            case SiteValueType::Text:
                site.*row.text = view.Text(name);
                break;
            case SiteValueType::Integer:
                site.*row.number = TextToInt(view.Text(name));
                break;
            case SiteValueType::Real:
                site.*row.real = SaturateToFloat(TextToNumber(view.Text(name)));
                break;
            case SiteValueType::Choice:
                site.*row.number = view.Index(name);
                break;
            case SiteValueType::Logical:
                site.*row.flag = view.Checked(name);
                break;
            case SiteValueType::Lines:
            case SiteValueType::Bytes:
                break;
        }
    }
    site.域名 = NormaliseDomain(site.域名);
    if (site.后台.empty()) site.后台 = "admin";
    site.标签数据 = view.Tag(G("按钮输入标签组"));
    const CategoryTree tree = view.Tree();
    site.分类数据 = tree.Serialize();
    site.分类ID = tree.CheckedValues();
    site.分类选择项 = view.TreeSelectedIndex();
    return site;
}

SiteEditor::SiteEditor(SiteList& sites, SiteEditorView& view, ConfigStore* store,
                       std::function<bool()> isIdle)
    : m_sites(sites), m_view(view), m_store(store), m_isIdle(std::move(isIdle)) {}

std::int32_t SiteEditor::ApplyControlsToSite(ApplyMode mode, std::int32_t row, bool rowGiven,
                                             bool silent) {
    // The jobs of a running update hold their records: none is replaced or added (adding
    // could move them all) until it ends.
    if (!Idle()) return -1;
    const bool interactive = !silent && !rowGiven;
    if (!rowGiven) row = m_view.SelectedRow();
    if (mode == ApplyMode::Modify && (row < 0 || static_cast<std::size_t>(row) >= m_sites.size())) {
        if (!silent) m_view.ShowMessage(G("请先选定一个站点配置再修改！"));
        return -1;
    }
    SiteConfig site = ReadSiteFromControls(m_view);
    const char* missing = site.域名.empty()   ? "域名不能为空！"
                          : site.用户.empty() ? "用户不能为空！"
                          : site.密码.empty() ? "密码不能为空！"
                                              : nullptr;
    if (missing) {
        if (!silent) m_view.ShowMessage(G(missing));
        return -1;
    }
    const std::string key = SiteRowText(site);
    const std::int32_t selected = m_view.SelectedRow();
    for (std::int32_t i = 0; i < m_view.RowCount(); ++i) {
        if (mode == ApplyMode::Modify && i == selected) continue;
        const std::string text = m_view.RowText(i);
        if (text != key) continue;
        if (!silent &&
            m_view.AskOkCancel(G("网站列表中已存在相同的‘域名(用户名)’：") + text +
                               G("\r\n\r\n请更改域名或用户名，或者点击‘确定’按钮定位相同项目"))) {
            // The question pumps events; the row may be gone by now.
            if (i < m_view.RowCount()) {
                m_view.SelectRow(i);
                ShowSelectedSite();
            }
        }
        return -1;
    }
    if (mode == ApplyMode::Modify) {
        site.启用 = m_view.RowChecked(row);
        m_view.SetRow(row, key, site.启用);
        m_sites[static_cast<std::size_t>(row)] = std::move(site);
        if (interactive) {
            const std::string& button = G("按钮修改");
            m_view.SetCaption(button, G("已改"));
            WaitMs(1000);
            m_view.SetCaption(button, G("修改"));
        }
    } else {
        site.启用 = true;
        m_view.AppendRow(key, true);
        m_sites.push_back(std::move(site));
        m_view.SelectRow(m_view.RowCount() - 1);
    }
    UpdateListTitle();
    return m_view.SelectedRow();
}

void SiteEditor::ShowSelectedSite(bool shift, bool ctrl) {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_sites.size()) {
        UpdateDependentControls();
    } else {
        if (m_view.RowChecked(row) && !m_view.RowGreyed(row))
            m_view.SetEnabled(G("按钮停止更新"), true);
        ShowSite();
    }
    RangeRules(shift, ctrl);
}

void SiteEditor::ShowSite() {
    const std::int32_t row = m_view.SelectedRow();
    if (row >= 0 && static_cast<std::size_t>(row) < m_sites.size())
        WriteSiteToControls(m_sites[static_cast<std::size_t>(row)], m_view);
    UpdateDependentControls();
}

void SiteEditor::UpdateDependentControls() {
    const std::string& aliasType = G("组合框别名类型");
    const std::int32_t t = m_view.Index(aliasType);
    const bool e = m_view.Enabled(aliasType);
    m_view.SetEnabled(G("编辑框别名左边"), t != 0);
    m_view.SetEnabled(G("编辑框别名右边"), t != 0);
    const bool lengths = e && t >= 3 && t <= 5;
    for (const char* name : {"编辑框字母数1", "编辑框字母数2", "标签到"})
        m_view.SetVisible(G(name), lengths);
    const bool counting = e && t == 6;
    for (const char* name : {"编辑框别名起始值", "编辑框别名递增值", "标签起始值", "标签递增值"})
        m_view.SetVisible(G(name), counting);
    const bool separator = e && t == 2;
    for (const char* name : {"组合框拼音间隔符", "标签拼音间隔符"})
        m_view.SetVisible(G(name), separator);
    m_view.SetEnabled(G("按钮输入标签组"), !m_view.Checked(G("选择框文章中提取标签")));
}

void SiteEditor::RangeRules(bool shift, bool ctrl) {
    if (!Idle()) return;
    const std::int32_t selected = m_view.SelectedRow();
    if (selected < 0) return;
    const std::int32_t count = std::min<std::int32_t>(
        m_view.RowCount(),
        static_cast<std::int32_t>(std::min<std::size_t>(m_sites.size(), INT32_MAX)));
    if (shift) {
        if (!ctrl) {
            for (std::int32_t i = 0; i < count; ++i)
                if (m_view.RowChecked(i)) SaveEnabled(i, false);
        }
        const std::int32_t from = std::min(m_anchor, selected);
        const std::int32_t to = std::min(std::max(m_anchor, selected), count - 1);
        for (std::int32_t i = std::max(from, 0); i <= to; ++i) SaveEnabled(i, true);
    } else if (ctrl && selected < count) {
        SaveEnabled(selected, true);
    }
    m_anchor = selected;
}

void SiteEditor::SaveEnabled(std::int32_t row, bool enabled) {
    m_view.SetRowChecked(row, enabled);
    if (m_store)
        SaveSiteEnabled(*m_store, m_sites, static_cast<std::size_t>(row), enabled);
    else
        m_sites[static_cast<std::size_t>(row)].启用 = enabled;
}

void SiteEditor::DeleteSite() {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_sites.size()) {
        m_view.ShowMessage(G("请先选定一个站点配置再删除！"));
        return;
    }
    if (!Idle()) return;
    m_view.RemoveRow(row);
    m_sites.erase(m_sites.begin() + row);
    const std::int32_t count = m_view.RowCount();
    m_view.SelectRow(row < count ? row : count - 1);
    ShowSelectedSite();
    UpdateListTitle();
}

void SiteEditor::ClearSites() {
    if (!m_view.AskOkCancel(G("确实要清空所有站点配置吗？"))) return;
    if (!Idle()) return;
    m_view.ClearRows();
    m_sites.clear();
    UpdateListTitle();
}

void SiteEditor::MoveSiteUp() {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_sites.size()) {
        m_view.ShowMessage(G("请选中一个网站配置再向上移动"));
        return;
    }
    if (row == 0 || !Idle()) return;
    std::swap(m_sites[static_cast<std::size_t>(row)], m_sites[static_cast<std::size_t>(row) - 1]);
    for (const std::int32_t r : {row - 1, row}) {
        const SiteConfig& site = m_sites[static_cast<std::size_t>(r)];
        m_view.SetRow(r, SiteRowText(site), site.启用);
    }
    m_view.SelectRow(row - 1);
}

void SiteEditor::MoveSiteDown() {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_sites.size()) {
        m_view.ShowMessage(G("请选中一个网站配置再向下移动"));
        return;
    }
    if (static_cast<std::size_t>(row) + 1 >= m_sites.size() || !Idle()) return;
    std::swap(m_sites[static_cast<std::size_t>(row)], m_sites[static_cast<std::size_t>(row) + 1]);
    for (const std::int32_t r : {row, row + 1}) {
        const SiteConfig& site = m_sites[static_cast<std::size_t>(r)];
        m_view.SetRow(r, SiteRowText(site), site.启用);
    }
    m_view.SelectRow(row + 1);
}

void SiteEditor::SetAllEnabled(std::int32_t kind) {
    if (!Idle()) return;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(m_sites.size(), INT32_MAX));
    for (std::int32_t i = 0; i < count && i < m_view.RowCount(); ++i) {
        const bool state = kind == 0 ? true : kind == 1 ? false : !m_view.RowChecked(i);
        SaveEnabled(i, state);
    }
}

void SiteEditor::RowCheckChanged() {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_sites.size()) return;
    if (Idle())
        SaveEnabled(row, m_view.RowChecked(row));
    else
        m_view.SetRowChecked(row, m_sites[static_cast<std::size_t>(row)].启用);
}

void SiteEditor::UpdateListTitle() {
    m_view.SetListTitle(
        G("emlog网站列表(") + std::to_string(m_view.RowCount()) +
        G(") - 每个站点独立配置，因此任何参数改动请点击[修改]按钮来保存当前配置到该站点"));
}

void SiteEditor::EditTagList() {
    const std::string& button = G("按钮输入标签组");
    const auto text = m_view.AskText(
        G("输入标签列表（keywords）："),
        G("一行一个标签，在更新文章时将读取随机的几个标签作为文章的标签选项。留空无标签。如果打勾"
          "【文章中随机提取】则随机提取文章中文字为标签"),
        m_view.Tag(button));
    if (text) m_view.SetTag(button, *text);
}

void SiteEditor::RefreshRows() {
    m_view.ClearRows();
    for (const SiteConfig& site : m_sites) m_view.AppendRow(SiteRowText(site), site.启用);
    UpdateListTitle();
}

void SiteEditor::TreeCheckChanged(std::int32_t item, std::int32_t state) {
    CategoryTree tree = m_view.Tree();
    if (item < 0 || static_cast<std::size_t>(item) >= tree.items.size()) return;
    if (!tree.HasChildren(static_cast<std::size_t>(item))) return;
    tree.CheckChanged(static_cast<std::size_t>(item), state);
    m_view.ShowTree(tree);
    m_view.SelectTreeItem(m_view.TreeSelectedIndex());
}

void SiteEditor::TreeSelectionChanged(std::int32_t item) {
    CategoryTree tree = m_view.Tree();
    if (item < 0 || static_cast<std::size_t>(item) >= tree.items.size()) return;
    const CategoryTree before = tree;
    tree.SelectionChanged(static_cast<std::size_t>(item));
    bool changed = false;
    for (std::size_t i = 0; i < tree.items.size(); ++i)
        changed = changed || tree.items[i].state != before.items[i].state;
    if (!changed) return;
    m_view.ShowTree(tree);
    m_view.SelectTreeItem(item);
}

SiteConfig DesignSiteValues() {
    SiteConfig site;
    site.用户 = "admin";
    site.密码 = "mirtle";
    site.域名 = "blog.example.com";
    site.后台 = "admin";
    site.标签数据 = G("标签1\r\n标签2\r\n标签3\r\n标签4\r\n标签5\r\n标签6");
    site.标签数1 = 3;
    site.标签数2 = 5;
    site.内容摘要数1 = 85;
    site.内容摘要数2 = 127;
    site.字母数1 = 3;
    site.字母数2 = 7;
    site.别名左边 = "tb_";
    site.别名右边 = "_soft";
    site.别名起始值 = 900;
    site.别名递增值 = 1;
    site.文章目录 = G("C:\\用于更新的文章所在目录");
    site.文件过滤 = "*.*";
    site.更新数量 = 0;
    site.间隔秒1 = 0.01f;
    // An empty tree selects nothing; the window reads that back as -1.
    site.分类选择项 = -1;
    return site;
}

const std::vector<SiteKeyControl>& SiteKeyControls() {
    static const std::vector<SiteKeyControl> table = [] {
        std::vector<SiteKeyControl> out;
        for (const KeyRow& row : KeyRows()) {
            SiteKeyControl entry{G(row.key), row.type, G(row.control), {}};
            for (const char* caption : row.captions) entry.captions.push_back(G(caption));
            out.push_back(std::move(entry));
        }
        return out;
    }();
    return table;
}
