// categories, categories read/create/delete, articles delete: the batch tools window's
// operations over the sites of the settings file, through the same site editor and batch
// code as the window, with the window's questions answered from the command line.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "cli/settings_edit.h"
#include "cli/site_json.h"
#include "core/charset.h"
#include "emlog/login.h"
#include "settings/memory_site_view.h"
#include "settings/settings_file.h"
#include "settings/site_editor.h"
#include "settings/site_records.h"
#include "tools/batch_tools.h"
#include "tools/memory_batch_tools_view.h"
#include "tools/tool_texts.h"

namespace {

const std::string& T(const char* utf8) {
    return ToolText(utf8);
}

// Which rows a batch command works on: one of --site N, --checked, --all.
struct Scope {
    std::string site;
    bool checked = false;
    bool all = false;
};

void AddScope(CLI::App& app, Scope& scope) {
    auto* site =
        app.add_option("--site", scope.site, "only site N (by its number from 1)")->type_name("N");
    auto* checked = app.add_flag("--checked", scope.checked, "the checked sites (启用=真)");
    auto* all = app.add_flag("--all", scope.all, "every site");
    site->excludes(checked)->excludes(all);
    checked->excludes(all);
}

// The two windows over the settings file: the main window's site list and editor, the
// batch tools window at its design values.
struct BatchWindows {
    BasicSettings settings;
    SiteList sites;
    MemorySiteView view;
    MemoryBatchToolsView batch;
    BatchState state;
    std::unique_ptr<SiteEditor> editor;
    std::unique_ptr<BatchTools> tools;

    void Load(ConfigStore& store) {
        LoadBasicSettings(store, settings);
        const std::int32_t savedRow = LoadSiteRecords(store, sites);
        editor = std::make_unique<SiteEditor>(sites, view, nullptr, nullptr);
        view.answer = [](const std::string&) { return false; };
        editor->RefreshRows();
        WriteSiteToControls(DesignSiteValues(), view);
        view.SetCaption(T("按钮读取分类列表"), T("读取分类列表"));
        view.SelectRow(savedRow);
        editor->ShowSelectedSite();
        tools = std::make_unique<BatchTools>(*editor, view, batch, state, nullptr);
    }

    // The scope's radio button, with site N selected and shown for --site.
    bool Choose(const std::string& words, const Scope& scope, int& exitCode) {
        if (!scope.site.empty()) {
            std::size_t n = 0;
            if (!ParseSiteNumber(scope.site, n) || n > sites.size()) {
                exitCode = CliFail(words + ": no site " + scope.site + " (the file has " +
                                   std::to_string(sites.size()) + " sites)");
                return false;
            }
            view.SelectRow(static_cast<std::int32_t>(n - 1));
            editor->ShowSelectedSite();
            batch.ChooseScope(T("单选框选定"));
        } else if (scope.checked) {
            batch.ChooseScope(T("单选框勾选"));
        } else if (scope.all) {
            batch.ChooseScope(T("单选框全部"));
        } else {
            exitCode = CliFail(words + " needs --site N, --checked or --all");
            return false;
        }
        return true;
    }

    bool SaveAll(ConfigStore& store) const {
        const bool ok = SaveAllSettings(store, settings, sites, view.SelectedRow());
        return PruneSiteSections(store, sites.size()) && ok;
    }
};

// Every line of a report (CR LF between lines), as UTF-8.
void PrintLines(const std::string& gbk) {
    std::size_t start = 0;
    while (start < gbk.size()) {
        std::size_t end = gbk.find("\r\n", start);
        if (end == std::string::npos) end = gbk.size();
        PrintGbkLine(gbk.substr(start, end - start));
        start = end + 2;
    }
}

int Finish(const BatchOutcome& outcome) {
    return outcome.loginFailures > 0 ? 1 : 0;
}

// --- categories --site N ---------------------------------------------------------------

int ShowCategories(CliContext& context, const std::string& number, const std::string& format) {
    if (number.empty())
        return CliFail("categories needs --site N, or one of: read, create, delete");
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(false, exitCode)) return exitCode;
    BatchWindows windows;
    windows.Load(file.Store());
    if (!windows.Choose("categories", Scope{number}, exitCode)) return exitCode;
    // The stored tree is shown first, so its checks carry over as a re-read keeps them.
    const CategoryReadOutcome read = windows.tools->Categories().ReadCategoriesForShownSite(true);
    if (read == CategoryReadOutcome::LoginFailed) {
        std::fprintf(stderr, "qingluan-cli: categories: login failed (the answer is saved as %s)\n",
                     charset::GbkToUtf8(LoginFailurePagePath()).c_str());
        return 1;
    }
    if (read != CategoryReadOutcome::Read)
        return CliRefuse("categories: the site's pages held no category list");
    const CategoryTree& tree = windows.view.tree;
    if (format == "json") {
        std::string json = "[";
        for (std::size_t i = 0; i < tree.items.size(); ++i) {
            const CategoryItem& item = tree.items[i];
            std::string name = item.text.substr(0, item.text.rfind('['));
            if (i > 0) json += ",";
            json += "{\"id\":";
            json += item.value;
            json += ",\"name\":";
            json += JsonString(charset::GbkToUtf8(name));
            json += ",\"child\":";
            json += item.level ? "true" : "false";
            json += ",\"checked\":";
            json += item.state == CategoryTree::kChecked ? "true" : "false";
            json += "}";
        }
        std::printf("%s]\n", json.c_str());
        return 0;
    }
    for (const CategoryItem& item : tree.items) {
        const std::string mark = item.state == CategoryTree::kChecked ? "[x] "
                                 : item.state == CategoryTree::kMixed ? "[-] "
                                                                      : "[ ] ";
        PrintGbkLine((item.level ? "    " : "") + mark + item.value + " " +
                     item.text.substr(0, item.text.rfind('[')));
    }
    return 0;
}

// --- categories read ---------------------------------------------------------------------

struct ReadArgs {
    Scope scope;
    bool skipRead = false;
    bool checkAll = false;
};

int ReadCategoriesCommand(CliContext& context, const ReadArgs& args) {
    const std::string words = "categories read";
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(false, exitCode)) return exitCode;
    BatchWindows windows;
    windows.Load(file.Store());
    if (!windows.Choose(words, args.scope, exitCode)) return exitCode;
    windows.batch.checks[T("选择框跳过已读站点")] = args.skipRead;
    windows.batch.checks[T("选择框全选分类列表")] = args.checkAll;
    const BatchOutcome outcome = windows.tools->BatchReadCategories();
    if (!outcome.started) return CliRefuse(words + ": refused");
    if (!file.Save([&](ConfigStore& store) { return windows.SaveAll(store); }, exitCode))
        return exitCode;
    for (std::size_t i = 0; i < windows.sites.size(); ++i) {
        const SiteConfig& site = windows.sites[i];
        PrintGbkLine(std::to_string(i + 1) + " " + SiteRowText(site) + " " +
                     std::to_string(CategoryTree::Parse(site.分类数据).items.size()) + " " +
                     (site.分类ID.empty() ? std::string("-") : site.分类ID));
    }
    PrintLines(outcome.report);
    return Finish(outcome);
}

// --- categories create -------------------------------------------------------------------

struct CreateArgs {
    Scope scope;
    std::string parent = "0";
    std::string mode = "same";
    std::string count;
    std::vector<std::string> files;
};

// "A-B" into the two count boxes.
bool SetCount(const std::string& count, MemoryBatchToolsView& batch) {
    const std::size_t dash = count.find('-');
    if (dash == std::string::npos) return false;
    batch.SetText(T("编辑框分类数1"), count.substr(0, dash));
    batch.SetText(T("编辑框分类数2"), count.substr(dash + 1));
    return true;
}

// Standard input as the text dialog's text: GBK, CR LF between lines.
std::string StdinLines() {
    const std::string utf8((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
    std::string lines;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        if (utf8[i] == '\n')
            lines += "\r\n";
        else
            lines += utf8[i];
    }
    return charset::Utf8ToGbk(lines);
}

int CreateCategoriesCommand(CliContext& context, const CreateArgs& args) {
    const std::string words = "categories create";
    if (!args.count.empty() && args.count.find('-') == std::string::npos)
        return CliFail(words + ": --count takes A-B, not \"" + args.count + "\"");
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(false, exitCode)) return exitCode;
    BatchWindows windows;
    windows.Load(file.Store());
    if (!windows.Choose(words, args.scope, exitCode)) return exitCode;
    MemoryBatchToolsView& batch = windows.batch;
    batch.SetText(T("编辑框父类ID"), args.parent);
    batch.indices[T("组合框分类方式")] = args.mode == "different" ? 1 : 0;
    if (!args.count.empty()) SetCount(args.count, batch);
    const bool fromFiles = !args.files.empty();
    if (fromFiles) {
        batch.pickedFiles = args.files;
    } else {
        const std::string lines = StdinLines();
        batch.textAnswer = [lines](const TextRequest& request) {
            return request.inputMode ? TextResult{true, lines} : TextResult{};
        };
    }
    const BatchOutcome outcome = windows.tools->BatchCreateCategories(fromFiles);
    if (!outcome.started) return CliRefuse(words + ": no category lines");
    PrintLines(outcome.report);
    if (!outcome.failedCategories.empty()) {
        PrintGbkLine(T("失败的分类："));
        PrintLines(outcome.failedCategories);
    }
    return Finish(outcome);
}

// --- categories delete, articles delete --------------------------------------------------

struct DeleteArgs {
    std::string from, to;
    Scope scope;
    bool yes = false;
};

int DeleteCommand(CliContext& context, const DeleteArgs& args, bool articles) {
    const std::string words = articles ? "articles delete" : "categories delete";
    const bool terminal = ::isatty(STDIN_FILENO) != 0;
    if (!args.yes && !terminal)
        return CliFail(words +
                       " asks first: give --yes when stdin is not a terminal; nothing "
                       "was sent");
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(false, exitCode)) return exitCode;
    BatchWindows windows;
    windows.Load(file.Store());
    if (!windows.Choose(words, args.scope, exitCode)) return exitCode;
    MemoryBatchToolsView& batch = windows.batch;
    batch.SetText(T(articles ? "编辑框起始ID" : "编辑框起始ID1"), charset::Utf8ToGbk(args.from));
    batch.SetText(T(articles ? "编辑框终止ID" : "编辑框终止ID1"), charset::Utf8ToGbk(args.to));
    batch.answer = [&](const std::string& question) {
        if (args.yes) return true;
        std::fprintf(stderr, "%s [y/N] ", charset::GbkToUtf8(question).c_str());
        std::string reply;
        std::getline(std::cin, reply);
        return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
    };
    const BatchOutcome outcome =
        articles ? windows.tools->BatchDeleteArticles() : windows.tools->BatchDeleteCategories();
    if (!outcome.started) return CliRefuse(words + ": not confirmed; nothing was sent");
    PrintLines(outcome.report);
    return Finish(outcome);
}

CliSetup DeleteSetup(bool articles) {
    return [articles](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<DeleteArgs>();
        app.add_option("FROM", args->from, "first id (read as an edit box reads a number)")
            ->type_name("")
            ->required();
        app.add_option("TO", args->to, "last id; below FROM counts downwards")
            ->type_name("")
            ->required();
        AddScope(app, args->scope);
        app.add_flag("--yes", args->yes, "do not ask (required when stdin is not a terminal)");
        return [args, articles](CliContext& context) {
            return DeleteCommand(context, *args, articles);
        };
    };
}

const CliCommand kCategories(
    "categories", "read site N's category tree and print it: id, name, child and check marks",
    [](CLI::App& app) -> CliHandler {
        auto number = std::make_shared<std::string>();
        auto format = std::make_shared<std::string>("text");
        app.add_option("--site", *number, "the site, by its number from 1")->type_name("N");
        app.add_option("--format", *format, "text, or json: an array of {id, name, child, checked}")
            ->type_name("FORMAT")
            ->check(CLI::IsMember({"text", "json"}));
        return [number, format](CliContext& context) {
            return ShowCategories(context, *number, *format);
        };
    });

const CliCommand kRead(
    "categories read",
    "read the category lists of the sites into their records (the batch read), saved at once",
    [](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<ReadArgs>();
        AddScope(app, args->scope);
        app.add_flag("--skip-read", args->skipRead, "skip sites whose tree already has items");
        app.add_flag("--check-all", args->checkAll, "check every category read");
        return [args](CliContext& context) { return ReadCategoriesCommand(context, *args); };
    });

const CliCommand kCreate(
    "categories create",
    "create categories on the sites from lines 名称|别名|模板|描述 on stdin, or from files",
    [](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<CreateArgs>();
        AddScope(app, args->scope);
        app.add_option("--parent", args->parent, "parent category id (default 0: top level)")
            ->type_name("ID");
        app.add_option("--mode", args->mode,
                       "same: every site gets every line; different: the lines dealt out in "
                       "turn, --count per site")
            ->type_name("MODE")
            ->check(CLI::IsMember({"same", "different"}));
        app.add_option("--count", args->count, "categories per site in the different mode")
            ->type_name("A-B");
        app.add_option("--from-files", args->files,
                       "files named after their parent id (12.txt), one line per category")
            ->type_name("FILE");
        return [args](CliContext& context) { return CreateCategoriesCommand(context, *args); };
    });

const CliCommand kCategoriesDelete("categories delete",
                                   "delete categories FROM … TO on the sites (asks first)",
                                   DeleteSetup(false));
const CliCommandGroup kArticles("articles", "the articles of the sites");
const CliCommand kArticlesDelete("articles delete",
                                 "delete articles FROM … TO on the sites (asks first)",
                                 DeleteSetup(true));

}  // namespace
