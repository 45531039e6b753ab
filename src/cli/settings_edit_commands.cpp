// settings init: the settings file as the program's first start and exit leave it.
// settings set KEY=VALUE…: the run settings of 基本配置.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/key_values.h"
#include "cli/settings_edit.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/basic_settings.h"
#include "settings/settings_file.h"

namespace {

std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

int SettingsInit(CliContext& context) {
    if (platform::FileExists(context.settingsPath))
        return CliRefuse("settings init: the settings file exists already, left as it is: " +
                         charset::GbkToUtf8(context.settingsPath));
    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(true, exitCode)) return exitCode;
    if (!file.Save([](ConfigStore&) { return true; }, exitCode)) return exitCode;
    return 0;
}

enum class BasicType { Logical, Whole, Real };

struct BasicKey {
    const char* key;  // UTF-8
    BasicType type;
    bool BasicSettings::*flag = nullptr;
    std::string BasicSettings::*text = nullptr;
};

// The run settings the command line may set; 导入路径 and 导出路径 belong to the dialogs.
const std::vector<BasicKey>& BasicKeys() {
    static const std::vector<BasicKey> keys = {
        {"同步循环", BasicType::Logical, &BasicSettings::同步循环},
        {"循环间隔秒", BasicType::Real, nullptr, &BasicSettings::循环间隔秒},
        {"先后独立", BasicType::Logical, &BasicSettings::先后独立},
        {"同时站点数", BasicType::Whole, nullptr, &BasicSettings::同时站点数},
        {"启用全局更新数量", BasicType::Logical, &BasicSettings::启用全局更新数量},
        {"全局更新数量", BasicType::Whole, nullptr, &BasicSettings::全局更新数量},
        {"选择框完成关机", BasicType::Logical, &BasicSettings::选择框完成关机},
        {"选择框失败时重复尝试", BasicType::Logical, &BasicSettings::选择框失败时重复尝试},
        {"自动开启计划任务", BasicType::Logical, &BasicSettings::自动开启计划任务},
    };
    return keys;
}

std::string Takes(BasicType type) {
    switch (type) {
        case BasicType::Logical:
            return "真/假 or true/false";
        case BasicType::Whole:
            return "a whole number";
        case BasicType::Real:
            return "a number of seconds such as 0.5";
    }
    return "";
}

std::string KeysHelp() {
    std::string out = "KEY=VALUE sets a run setting of 基本配置:\n";
    for (const auto& key : BasicKeys())
        out += std::string("  ") + key.key + ": " + Takes(key.type) + "\n";
    out +=
        "同步循环 and 先后独立 are the two run modes, as the window's two radio buttons: "
        "setting one sets the other to the opposite.\n";
    return out;
}

struct Assignment {
    const BasicKey* key;
    std::string text;  // GBK
    bool flag = false;
};

bool ParseAssignment(const std::string& arg, Assignment& out, std::string& error) {
    std::string key, value;
    if (!SplitKeyValue(arg, key, value, error)) return false;
    const BasicKey* found = nullptr;
    std::string names;
    for (const auto& entry : BasicKeys()) {
        if (G(entry.key) == key) found = &entry;
        names += (names.empty() ? "" : ", ") + std::string(entry.key);
    }
    if (!found) {
        error = "unknown key " + Quoted(key) + "; the keys are " + names;
        return false;
    }
    out = {found, value, false};
    bool ok = false;
    switch (found->type) {
        case BasicType::Logical:
            if (const auto flag = ParseLogical(value)) {
                out.flag = *flag;
                ok = true;
            }
            break;
        case BasicType::Whole:
            ok = IsWholeNumber(value);
            break;
        case BasicType::Real:
            ok = IsRealNumber(value, false);
            break;
    }
    if (!ok)
        error = std::string(found->key) + " takes " + Takes(found->type) + ", not " + Quoted(value);
    return ok;
}

int SettingsSet(CliContext& context, const std::vector<std::string>& args) {
    const std::string words = "settings set";
    std::vector<Assignment> assignments;
    const BasicKey& sync = BasicKeys()[0];
    const BasicKey& independent = BasicKeys()[2];
    const Assignment* mode = nullptr;
    for (const auto& arg : args) {
        Assignment assignment;
        std::string error;
        if (!ParseAssignment(arg, assignment, error)) return CliFail(words + ": " + error);
        assignments.push_back(assignment);
    }
    // Both radio buttons given: they must name the same mode.
    for (const auto& a : assignments) {
        if (a.key != &sync && a.key != &independent) continue;
        const bool syncMode = a.key == &sync ? a.flag : !a.flag;
        if (mode && syncMode != (mode->key == &sync ? mode->flag : !mode->flag))
            return CliFail(words +
                           ": 同步循环 and 先后独立 are one choice of run mode; these values "
                           "contradict each other");
        mode = &a;
    }

    SettingsEdit file(context);
    int exitCode = 0;
    if (!file.Open(true, exitCode)) return exitCode;
    BasicSettings settings;
    LoadBasicSettings(file.Store(), settings);
    for (const auto& a : assignments) {
        if (a.key->flag)
            settings.*(a.key->flag) = a.flag;
        else
            settings.*(a.key->text) = a.text;
        if (a.key == &sync) settings.先后独立 = !a.flag;
        if (a.key == &independent) settings.同步循环 = !a.flag;
    }
    static const std::string section = G("基本配置");
    static const std::string schedulerKey = G("自动开启计划任务");
    bool schedulerGiven = false;
    for (const auto& a : assignments)
        schedulerGiven = schedulerGiven || G(a.key->key) == schedulerKey;
    const bool saved = file.Save(
        [&](ConfigStore& store) {
            bool ok = SaveBasicSettings(store, settings);
            // The scheduler writes its check box itself, whenever it is clicked.
            if (schedulerGiven) {
                store.SelectSection(section);
                ok = store.WriteLogical(schedulerKey, settings.自动开启计划任务) && ok;
            }
            return ok;
        },
        exitCode);
    if (!saved) return exitCode;
    static const std::string yes = G("真");
    static const std::string no = G("假");
    for (const auto& key : BasicKeys()) {
        bool given = false;
        for (const auto& a : assignments) given = given || a.key == &key;
        given = given || (mode && (&key == &sync || &key == &independent));
        if (!given) continue;
        PrintGbkLine(G(key.key) + "=" +
                     (key.flag ? (settings.*(key.flag) ? yes : no) : settings.*(key.text)));
    }
    return 0;
}

const CliCommand kInit("settings init",
                       "create the settings file as the program's first start and exit would "
                       "(never over an existing one)",
                       [](CLI::App&) -> CliHandler { return SettingsInit; });

const CliCommand kSet(
    "settings set", "change run settings of 基本配置", [](CLI::App& app) -> CliHandler {
        auto args = std::make_shared<std::vector<std::string>>();
        app.add_option("KEY=VALUE", *args, "run settings, see below")->type_name("")->required();
        app.footer([] {
            return KeysHelp() +
                   "A missing settings file is created first, as the program's first start "
                   "would.\n";
        });
        return [args](CliContext& context) { return SettingsSet(context, *args); };
    });

}  // namespace
