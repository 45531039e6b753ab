#include "settings/site_file.h"

#include <set>

#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string ExportFailure(const std::string& path, const std::string& reason) {
    return G("导出站点配置失败：") + path + "\r\n\r\n" +
           (reason.empty() ? G("文件无法创建、无法写入或正被其他程序使用。") : reason);
}

std::string SkippedMessage(const std::vector<std::string>& rows) {
    std::string text = G("以下 ") + std::to_string(rows.size()) +
                       G(" 个站点在网站列表中已有相同的‘域名(用户名)’，没有导入：");
    for (const std::string& row : rows) text += "\r\n" + row;
    return text;
}

}  // namespace

std::string RunActiveRefusal(const std::string& what) {
    return G("站群更新正在进行，不能") + what + G("，请在更新结束后再试！");
}

SiteFileOutcome ExportSiteFile(const std::string& gbkPath, const SiteList& sites,
                               std::int32_t selectedRow, SiteEditorView& view) {
    const bool existed = platform::FileExists(gbkPath);
    std::string reason;
    bool ok = false;
    {
        ConfigStore store;
        store.SetWarningHandler([&](const std::string& message, const std::string& detail) {
            if (reason.empty()) reason = detail.empty() ? message : message + "\r\n" + detail;
        });
        // Binding creates a missing file; unlike the original dialog flow, a store that
        // cannot publish is reported instead of a success that wrote nothing.
        ok = store.Bind(gbkPath) && SaveSiteRecords(store, sites, selectedRow);
    }
    // The passwords are in it: a file made here is the owner's alone, whatever the umask.
    if (!existed && platform::FileExists(gbkPath)) ok = platform::MakeOwnerOnly(gbkPath) && ok;
    if (!ok) {
        view.ShowMessage(ExportFailure(gbkPath, reason));
        return SiteFileOutcome::Failed;
    }
    view.ShowMessage(G("导出站点配置成功：") + gbkPath + G("\r\n\r\n下次你可以重新导入进来！"));
    return SiteFileOutcome::Done;
}

SiteImportResult ImportSiteFile(const std::string& gbkPath, SiteList& sites, SiteEditor& editor,
                                SiteEditorView& view, const std::function<bool()>& isRunActive) {
    SiteImportResult result;
    // Appending may move every record, and the jobs of a running update hold theirs.
    if (isRunActive && isRunActive()) {
        view.ShowMessage(RunActiveRefusal(G("导入站点配置文件")));
        result.outcome = SiteFileOutcome::Refused;
        return result;
    }
    SiteList loaded;
    {
        // Only read: the open dialog's file is never created, and one in use by another
        // program (our own settings file) can still be read.
        ConfigStore store;
        store.Bind(gbkPath, ConfigStore::BindMode::ReadOnly);
        LoadSiteRecords(store, loaded);
    }
    // The row text is a site's identity in the list; a second row with it would make
    // the duplicate check of every later add and modify ambiguous.
    std::set<std::string> known;
    for (std::int32_t row = 0; row < view.RowCount(); ++row) known.insert(view.RowText(row));
    for (SiteConfig& site : loaded) {
        const std::string text = SiteRowText(site);
        if (!known.insert(text).second) {
            result.skipped.push_back(text);
            continue;
        }
        view.AppendRow(text, site.启用);
        sites.push_back(std::move(site));
        ++result.added;
    }
    editor.UpdateListTitle();
    if (!result.skipped.empty()) view.ShowMessage(SkippedMessage(result.skipped));
    return result;
}
