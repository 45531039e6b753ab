#include "settings/settings_file.h"

#include "core/charset.h"
#include "core/platform/paths.h"
#include "settings/site_records.h"

namespace {

struct BasicKeys {
    std::string section = charset::Utf8ToGbk("基本配置");
    std::string 同步循环 = charset::Utf8ToGbk("同步循环");
    std::string 循环间隔秒 = charset::Utf8ToGbk("循环间隔秒");
    std::string 先后独立 = charset::Utf8ToGbk("先后独立");
    std::string 同时站点数 = charset::Utf8ToGbk("同时站点数");
    std::string 启用全局更新数量 = charset::Utf8ToGbk("启用全局更新数量");
    std::string 全局更新数量 = charset::Utf8ToGbk("全局更新数量");
    std::string 选择框完成关机 = charset::Utf8ToGbk("选择框完成关机");
    std::string 选择框失败时重复尝试 = charset::Utf8ToGbk("选择框失败时重复尝试");
    std::string 导入路径 = charset::Utf8ToGbk("导入路径");
    std::string 导出路径 = charset::Utf8ToGbk("导出路径");
};
const BasicKeys& K() {
    static const BasicKeys keys;
    return keys;
}

}  // namespace

const std::string& ProgramTitle() {
    static const std::string title = charset::Utf8ToGbk("岚舟·青鸾助手");
    return title;
}

std::string SettingsFilePath() {
    return platform::JoinPath(platform::DataFolder(), ProgramTitle() + ".ini");
}

ConfigStore& SettingsStore() {
    static ConfigStore store;
    return store;
}

bool OpenSettings(std::string_view gbkTitle) {
    return SettingsStore().Bind(
        platform::JoinPath(platform::DataFolder(), std::string(gbkTitle) + ".ini"));
}

void LoadBasicSettings(ConfigStore& store, BasicSettings& s) {
    const BasicKeys& k = K();
    store.SelectSection(k.section);
    s.同步循环 = store.ReadLogical(k.同步循环, s.同步循环);
    s.循环间隔秒 = store.ReadText(k.循环间隔秒, s.循环间隔秒);
    s.先后独立 = store.ReadLogical(k.先后独立, s.先后独立);
    s.同时站点数 = store.ReadText(k.同时站点数, s.同时站点数);
    s.启用全局更新数量 = store.ReadLogical(k.启用全局更新数量, s.启用全局更新数量);
    s.全局更新数量 = store.ReadText(k.全局更新数量, s.全局更新数量);
    // the two check boxes, under their control names
    s.选择框完成关机 = store.ReadLogical(k.选择框完成关机, s.选择框完成关机);
    s.选择框失败时重复尝试 = store.ReadLogical(k.选择框失败时重复尝试, s.选择框失败时重复尝试);
    s.导入路径 = store.ReadText(k.导入路径, s.导入路径);
    s.导出路径 = store.ReadText(k.导出路径, s.导出路径);
}

bool SaveBasicSettings(ConfigStore& store, const BasicSettings& s) {
    const BasicKeys& k = K();
    ConfigStore::Batch batch(store);
    store.SelectSection(k.section);
    bool ok = store.WriteLogical(k.同步循环, s.同步循环);
    ok = store.WriteText(k.循环间隔秒, s.循环间隔秒) && ok;
    ok = store.WriteLogical(k.先后独立, s.先后独立) && ok;
    ok = store.WriteText(k.同时站点数, s.同时站点数) && ok;
    ok = store.WriteLogical(k.启用全局更新数量, s.启用全局更新数量) && ok;
    ok = store.WriteText(k.全局更新数量, s.全局更新数量) && ok;
    ok = store.WriteLogical(k.选择框完成关机, s.选择框完成关机) && ok;
    ok = store.WriteLogical(k.选择框失败时重复尝试, s.选择框失败时重复尝试) && ok;
    ok = store.WriteText(k.导入路径, s.导入路径) && ok;
    ok = store.WriteText(k.导出路径, s.导出路径) && ok;
    return batch.End() && ok;
}

bool SaveAllSettings(ConfigStore& store, const BasicSettings& settings, const SiteList& sites,
                     std::int32_t selectedRow) {
    ConfigStore::Batch batch(store);
    bool ok = SaveBasicSettings(store, settings);
    ok = SaveSiteRecords(store, sites, selectedRow) && ok;
    return batch.End() && ok;
}
