// sites import [FILE|-]: the batch tools' 批量导入站点 lines, from a file or stdin.
// sites export FILE, sites import-file FILE: the main window's 导出 and 导入 of a site
// list in the settings file's format. Sites are added through the window's own editor
// and saved as the window's next global save would save them.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "cli/editor_window.h"
#include "cli/settings_edit.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "settings/config_store.h"
#include "settings/site_file.h"
#include "settings/site_records.h"
#include "tools/batch_import.h"
#include "tools/batch_state.h"
#include "tools/category_tools.h"
#include "tools/memory_batch_tools_view.h"
#include "tools/tool_texts.h"

namespace {

// The system's texts break lines with CR LF, a terminal with LF.
std::string TerminalLines(const std::string& gbk) {
    return gbk::ReplaceAll(gbk, "\r\n", "\n");
}

void PrintMessage(const std::string& gbk) {
    PrintGbkLine(TerminalLines(gbk));
}

void PrintGbkError(const std::string& gbk) {
    std::fprintf(stderr, "%s\n", charset::GbkToUtf8(TerminalLines(gbk)).c_str());
}

// A path argument as the GBK path a file dialog would give: absolute, so the saved
// 导入路径 and the side files' inibin folder do not depend on the working folder.
std::optional<std::string> DialogPath(const std::string& utf8) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(std::filesystem::path(utf8), ec);
    return platform::GbkPath(ec ? std::filesystem::path(utf8) : absolute);
}

// The lines as the input dialog would return them: GBK with CR LF line ends.
bool ReadImportText(const std::string& source, std::string& gbk, int& exitCode) {
    std::string bytes;
    if (source == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        const auto path = DialogPath(source);
        const auto read = path ? platform::ReadWholeFile(*path) : std::nullopt;
        if (!read) {
            exitCode = CliFail("sites import: cannot read " + source);
            return false;
        }
        bytes = *read;
    }
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    const auto converted = charset::Utf8ToGbkStrict(bytes);
    if (!converted) {
        exitCode = CliFail("sites import: the lines must be UTF-8 text with GBK characters only");
        return false;
    }
    gbk = NormaliseLineEnds(*converted);
    return true;
}

struct ImportArgs {
    std::string source = "-";
    bool readCategories = false;
    bool checkAll = false;
};

int SitesImport(CliContext& context, const ImportArgs& args) {
    int exitCode = 0;
    std::string text;
    if (!ReadImportText(args.source, text, exitCode)) return exitCode;
    SettingsEdit file(context);
    if (!file.Open(true, exitCode)) return exitCode;
    EditorWindow window;
    window.Load(file.Store(), false);
    window.Show(window.savedRow);
    // The main window's read button at rest: the read takes another caption for a stop.
    window.view.SetCaption(ToolText("按钮读取分类列表"), ToolText("读取分类列表"));

    MemoryBatchToolsView tools;
    tools.checks[ToolText("选择框读取分类列表")] = args.readCategories;
    tools.checks[ToolText("选择框全选分类列表")] = args.checkAll;
    tools.textAnswer = [&text](const TextRequest& request) {
        return request.inputMode ? TextResult{true, text} : TextResult{};
    };
    BatchState state;
    CategoryTools categories(window.view, state);
    BatchImportHooks hooks;
    hooks.readCategoriesForShownSite = [&](bool quiet) {
        categories.ReadCategoriesForShownSite(quiet);
    };
    hooks.setAllCategoryChecks = [&](std::int32_t mode) { categories.SetAllCategoryChecks(mode); };
    const BatchImportSummary summary =
        BatchImportSites({tools, window.view, *window.editor, window.sites}, hooks);
    if (summary.imported > 0 &&
        !file.Save([&](ConfigStore& store) { return window.SaveAll(store); }, exitCode))
        return exitCode;
    for (const auto& message : tools.messages) PrintMessage(message.text);
    for (const auto& request : tools.textRequests) {
        if (request.inputMode) continue;
        PrintGbkError(request.title);
        for (const std::string& line : SplitImportLines(request.text)) PrintGbkError(line);
    }
    return summary.failures.empty() ? 0 : 1;
}

int SitesExport(CliContext& context, const std::string& target) {
    const auto path = DialogPath(target);
    if (!path) return CliFail("sites export: the path has characters outside GBK: " + target);
    if (!platform::FileExists(context.settingsPath))
        return CliFail("settings file not found: " + charset::GbkToUtf8(context.settingsPath));
    // Only read: the export changes nothing of the settings file, so it runs even while
    // the program holds the file.
    ConfigStore store;
    store.Bind(context.settingsPath, ConfigStore::BindMode::ReadOnly);
    SiteList sites;
    const std::int32_t row = LoadSiteRecords(store, sites);
    const std::int32_t selected =
        row >= 0 && static_cast<std::size_t>(row) < sites.size() ? row : -1;
    MemorySiteView view;
    const SiteFileOutcome outcome = ExportSiteFile(*path, sites, selected, view);
    if (outcome != SiteFileOutcome::Done) {
        const std::string message = view.messages.empty() ? std::string() : view.messages.back();
        return CliRefuse("sites export: " + charset::GbkToUtf8(TerminalLines(message)));
    }
    for (const auto& message : view.messages) PrintMessage(message);
    return 0;
}

int SitesImportFile(CliContext& context, const std::string& source) {
    const std::string words = "sites import-file";
    const auto path = DialogPath(source);
    if (!path) return CliFail(words + ": the path has characters outside GBK: " + source);
    if (!platform::FileExists(*path)) return CliFail(words + ": file not found: " + source);
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(true, exitCode)) return exitCode;
    EditorWindow window;
    window.Load(file.Store(), false);
    window.Show(window.savedRow);
    const std::int32_t before = window.view.RowCount();
    const SiteImportResult result =
        ImportSiteFile(*path, window.sites, *window.editor, window.view, nullptr);
    // The open dialog's file name is saved with the next global save.
    window.settings.导入路径 = *path;
    if (!file.Save([&](ConfigStore& store) { return window.SaveAll(store); }, exitCode))
        return exitCode;
    for (std::int32_t row = before; row < window.view.RowCount(); ++row) window.PrintRow(row);
    if (!result.skipped.empty()) PrintGbkError(window.view.messages.back());
    return 0;
}

const CliCommand kImport(
    "sites import",
    "add sites from lines of 域名|用户|密码|… as 批量导入站点 of the batch tools does",
    [](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<ImportArgs>();
        app.add_option("FILE", args->source, "the lines (UTF-8); - or nothing: stdin")
            ->type_name("");
        app.add_flag("--read-categories", args->readCategories,
                     "read each new site's categories from the site (读取分类列表)");
        app.add_flag("--check-all", args->checkAll,
                     "check every category in each new site's tree (全选分类列表)");
        app.footer([] {
            return "One site a line, 13 fields separated by |:\n"
                   "  域名|用户|密码|编码|后台目录|文章目录|文件过滤|文件编码|更新数量|"
                   "删除已更新文章|每篇间隔秒|文章首行当标题|加网页段落标签\n"
                   "An empty or missing field after the third takes the value the window shows "
                   "(the site selected in the settings file, or the design values); logical "
                   "fields are true only for 真, drop-downs count from 0.\n"
                   "Prints the completion message; the lines not added (no 域名, 用户 or 密码, "
                   "or already listed) go to stderr and make the exit code 1. The sites added "
                   "are saved either way; a site whose categories cannot be read keeps an "
                   "empty tree.";
        });
        return [args](CliContext& context) { return SitesImport(context, *args); };
    });

const CliCommand kExport(
    "sites export",
    "write every site into FILE in the settings file's format, as the 导出 button does",
    [](CLI::App& app) -> CliHandler {
        auto target = std::make_shared<std::string>();
        app.add_option("FILE", *target, "the file to create, or to update in place")
            ->type_name("")
            ->required();
        app.footer(
            "The categories go to FILE's inibin folder. A new FILE is readable by its owner "
            "only: it holds the passwords in clear. The settings file is only read.");
        return [target](CliContext& context) { return SitesExport(context, *target); };
    });

const CliCommand kImportFile(
    "sites import-file",
    "append the sites of an exported FILE, as the 导入 button does, skipping those already listed",
    [](CLI::App& app) -> CliHandler {
        auto source = std::make_shared<std::string>();
        app.add_option("FILE", *source, "a file written by sites export or the 导出 button")
            ->type_name("")
            ->required();
        app.footer(
            "Prints each site added; a site whose 域名(用户) is already in the list is "
            "skipped and named on stderr.");
        return [source](CliContext& context) { return SitesImportFile(context, *source); };
    });

}  // namespace
