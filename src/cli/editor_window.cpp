#include "cli/editor_window.h"

#include "cli/command.h"
#include "cli/settings_edit.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

void EditorWindow::Load(ConfigStore& store, bool withStore) {
    LoadBasicSettings(store, settings);
    savedRow = LoadSiteRecords(store, sites);
    editor = std::make_unique<SiteEditor>(sites, view, withStore ? &store : nullptr, nullptr);
    // A duplicate's question is answered Cancel: nothing is saved after a refusal anyway.
    view.answer = [](const std::string&) { return false; };
    editor->RefreshRows();
}

void EditorWindow::Show(std::int32_t row) {
    view.SelectRow(row);
    WriteSiteToControls(DesignSiteValues(), view);
    editor->ShowSelectedSite();
}

int EditorWindow::Refused(const std::string& words) const {
    const std::string message =
        view.messages.empty()
            ? std::string()
            : gbk::ReplaceAll(charset::GbkToUtf8(view.messages.back()), "\r\n", " ");
    return CliRefuse(words + ": " + (message.empty() ? "refused" : message));
}

bool EditorWindow::SaveAll(ConfigStore& store) const {
    bool ok = SaveAllSettings(store, settings, sites, view.SelectedRow());
    return PruneSiteSections(store, sites.size()) && ok;
}

void EditorWindow::PrintRow(std::int32_t row) const {
    static const std::string yes = charset::Utf8ToGbk("真");
    static const std::string no = charset::Utf8ToGbk("假");
    const SiteConfig& site = sites[static_cast<std::size_t>(row)];
    PrintGbkLine(std::to_string(row + 1) + " " + (site.启用 ? yes : no) + " " + SiteRowText(site));
}
