#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/basic_settings.h"
#include "settings/config_store.h"
#include "settings/site_config.h"

// "岚舟·青鸾助手", the program title that names the settings file.
const std::string& ProgramTitle();

// The data folder + the program title + ".ini".
std::string SettingsFilePath();

// The store bound to the settings file for the life of the program.
ConfigStore& SettingsStore();

// Binds SettingsStore() to <data folder>/<title>.ini, creating it empty when missing.
bool OpenSettings(std::string_view gbkTitle);

// Section 基本配置. Each key is read with the struct's current value as its default.
// 自动开启计划任务 belongs to the scheduler and is neither read nor written here.
void LoadBasicSettings(ConfigStore& store, BasicSettings& settings);
bool SaveBasicSettings(ConfigStore& store, const BasicSettings& settings);

// The global save: BasicSettings, then the site records; one publish at the end.
bool SaveAllSettings(ConfigStore& store, const BasicSettings& settings, const SiteList& sites,
                     std::int32_t selectedRow);
