// sites add, set, remove, move, enable, disable: the site list edited through the same
// editor as the window's 添加/修改/删除/上移/下移 buttons and row check boxes, so the
// command line stores nothing the window would refuse.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_sites.h"
#include "cli/command.h"
#include "cli/editor_window.h"
#include "cli/key_values.h"
#include "cli/settings_edit.h"
#include "core/charset.h"
#include "settings/memory_site_view.h"
#include "settings/settings_file.h"
#include "settings/site_editor.h"
#include "settings/site_records.h"

namespace {

bool ParseEdits(const std::string& words, const std::vector<std::string>& args,
                std::vector<SiteControlEdit>& edits, int& exitCode) {
    for (const auto& arg : args) {
        SiteControlEdit edit;
        std::string error;
        if (!ParseSiteEdit(arg, edit, error)) {
            exitCode = CliFail(words + ": " + error);
            return false;
        }
        edits.push_back(edit);
    }
    return true;
}

// Site number `number` of the loaded list as a row; false with exitCode set.
bool SiteRow(const std::string& words, const std::string& number, const SiteList& sites,
             std::int32_t& row, int& exitCode) {
    std::size_t n = 0;
    if (!ParseSiteNumber(number, n)) {
        exitCode = CliFail(words + " takes a site number from 1, not \"" + number + "\"");
        return false;
    }
    if (n > sites.size()) {
        exitCode = CliFail(words + ": no site " + number + " (the file has " +
                           std::to_string(sites.size()) + " sites)");
        return false;
    }
    row = static_cast<std::int32_t>(n - 1);
    return true;
}

struct AddArgs {
    std::string domain, user, password;
    std::vector<std::string> pairs;
};

int SitesAdd(CliContext& context, const AddArgs& args) {
    const std::string words = "sites add";
    std::vector<SiteControlEdit> edits;
    int exitCode = 0;
    // The three positionals are typed into their boxes first, so a KEY=VALUE may follow.
    std::vector<std::string> all = {"域名=" + args.domain, "用户=" + args.user,
                                    "密码=" + args.password};
    all.insert(all.end(), args.pairs.begin(), args.pairs.end());
    if (!ParseEdits(words, all, edits, exitCode)) return exitCode;
    SettingsEdit file(context);
    if (!file.Open(true, exitCode)) return exitCode;
    EditorWindow window;
    window.Load(file.Store(), false);
    window.Show(window.savedRow);
    for (const auto& edit : edits) ApplySiteEdit(edit, window.view);
    const std::int32_t row = window.editor->ApplyControlsToSite(ApplyMode::Add);
    if (row < 0) return window.Refused(words);
    if (!file.Save([&](ConfigStore& store) { return window.SaveAll(store); }, exitCode))
        return exitCode;
    window.PrintRow(row);
    return 0;
}

struct SetArgs {
    std::string number;
    std::vector<std::string> pairs;
};

int SitesSet(CliContext& context, const SetArgs& args) {
    const std::string words = "sites set";
    std::vector<SiteControlEdit> edits;
    int exitCode = 0;
    if (!ParseEdits(words, args.pairs, edits, exitCode)) return exitCode;
    SettingsEdit file(context);
    if (!file.Open(false, exitCode)) return exitCode;
    EditorWindow window;
    window.Load(file.Store(), false);
    std::int32_t row = 0;
    if (!SiteRow(words, args.number, window.sites, row, exitCode)) return exitCode;
    window.Show(row);
    for (const auto& edit : edits) ApplySiteEdit(edit, window.view);
    // The row is given, as the batch tools give it: the window's own 修改 click only adds
    // a second's "已改" on the button.
    if (window.editor->ApplyControlsToSite(ApplyMode::Modify, row, true, false) < 0)
        return window.Refused(words);
    if (!file.Save([&](ConfigStore& store) { return window.SaveAll(store); }, exitCode))
        return exitCode;
    window.PrintRow(row);
    return 0;
}

// The window with site `number` selected; false with exitCode set.
bool OpenAtSite(const std::string& words, SettingsEdit& file, const std::string& number,
                EditorWindow& window, bool withStore, int& exitCode) {
    if (!file.Open(false, exitCode)) return false;
    window.Load(file.Store(), withStore);
    std::int32_t row = 0;
    if (!SiteRow(words, number, window.sites, row, exitCode)) return false;
    window.Show(row);
    return true;
}

int SitesRemove(CliContext& context, const std::string& number) {
    SettingsEdit file(context);
    EditorWindow window;
    int exitCode = 0;
    if (!OpenAtSite("sites remove", file, number, window, false, exitCode)) return exitCode;
    window.editor->DeleteSite();
    if (!file.Save([&](ConfigStore& store) { return window.SaveAll(store); }, exitCode))
        return exitCode;
    return 0;
}

int SitesMove(CliContext& context, const std::string& number, const std::string& direction) {
    const std::string words = "sites move";
    if (direction != "up" && direction != "down")
        return CliFail(words + ": the direction is up or down, not \"" + direction + "\"");
    SettingsEdit file(context);
    EditorWindow window;
    int exitCode = 0;
    if (!OpenAtSite(words, file, number, window, false, exitCode)) return exitCode;
    const std::int32_t before = window.view.SelectedRow();
    if (direction == "up")
        window.editor->MoveSiteUp();
    else
        window.editor->MoveSiteDown();
    if (window.view.SelectedRow() == before) {
        // The buttons do nothing on the first and last rows; neither does this.
        std::fprintf(stderr, "qingluan-cli: %s: site %s is already the %s one; nothing changed\n",
                     words.c_str(), number.c_str(), direction == "up" ? "first" : "last");
        return 0;
    }
    if (!file.Save([&](ConfigStore& store) { return window.SaveAll(store); }, exitCode))
        return exitCode;
    return 0;
}

// Each row's check box clicked to the wanted state; each click writes 启用 at once.
int SitesEnable(CliContext& context, const std::vector<std::string>& numbers, bool enabled) {
    const std::string words = enabled ? "sites enable" : "sites disable";
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(false, exitCode)) return exitCode;
    EditorWindow window;
    window.Load(file.Store(), true);
    std::vector<std::int32_t> rows;
    for (const auto& number : numbers) {
        std::int32_t row = 0;
        if (!SiteRow(words, number, window.sites, row, exitCode)) return exitCode;
        rows.push_back(row);
    }
    const bool saved = file.Save(
        [&](ConfigStore&) {
            for (const std::int32_t row : rows) {
                window.view.SelectRow(row);
                window.view.SetRowChecked(row, enabled);
                window.editor->RowCheckChanged();
            }
            return true;
        },
        exitCode);
    return saved ? 0 : exitCode;
}

const char* const kNumberHelp = "the site, by its number from 1 as sites list shows it";

const CliCommand kAdd(
    "sites add",
    "add a site as the 添加 button does, from the controls showing the current site (现行项)",
    [](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<AddArgs>();
        app.add_option("DOMAIN", args->domain, "域名, cleaned as the domain box is")
            ->type_name("")
            ->required();
        app.add_option("USER", args->user, "用户")->type_name("")->required();
        app.add_option("PASSWORD", args->password, "密码")->type_name("")->required();
        app.add_option("KEY=VALUE", args->pairs, "more site keys, see below")->type_name("");
        app.footer([] {
            return "The new site starts from what the window shows: the current site's "
                   "values, or the design values when none is selected; a missing settings "
                   "file is created as the program's first start would.\n" +
                   SiteKeysHelp();
        });
        return [args](CliContext& context) { return SitesAdd(context, *args); };
    });

const CliCommand kSet(
    "sites set", "change keys of site N as editing it and pressing 修改 does",
    [](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<SetArgs>();
        app.add_option("N", args->number, kNumberHelp)->type_name("")->required();
        app.add_option("KEY=VALUE", args->pairs, "site keys, see below")->type_name("")->required();
        app.footer([] { return SiteKeysHelp(); });
        return [args](CliContext& context) { return SitesSet(context, *args); };
    });

const CliCommand kRemove("sites remove", "delete site N as the 删除 button does",
                         [](CLI::App& app) -> CliHandler {
                             auto number = std::make_shared<std::string>();
                             app.add_option("N", *number, kNumberHelp)->type_name("")->required();
                             return [number](CliContext& context) {
                                 return SitesRemove(context, *number);
                             };
                         });

const CliCommand kMove(
    "sites move", "move site N up or down as 上移 and 下移 do", [](CLI::App& app) -> CliHandler {
        auto number = std::make_shared<std::string>();
        auto direction = std::make_shared<std::string>();
        app.add_option("N", *number, kNumberHelp)->type_name("")->required();
        app.add_option("DIRECTION", *direction, "up or down")->type_name("")->required();
        return [number, direction](CliContext& context) {
            return SitesMove(context, *number, *direction);
        };
    });

CliSetup EnableSetup(bool enabled) {
    return [enabled](CLI::App& app) -> CliHandler {
        auto numbers = std::make_shared<std::vector<std::string>>();
        app.add_option("N", *numbers, "the sites, by their numbers from 1")
            ->type_name("")
            ->required();
        return [numbers, enabled](CliContext& context) {
            return SitesEnable(context, *numbers, enabled);
        };
    };
}

const CliCommand kEnable("sites enable", "check the rows of sites N… (启用=真), at once",
                         EnableSetup(true));
const CliCommand kDisable("sites disable", "uncheck the rows of sites N… (启用=假), at once",
                          EnableSetup(false));

}  // namespace
