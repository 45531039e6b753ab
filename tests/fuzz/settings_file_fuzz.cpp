// The settings file as the program meets it: any bytes on disk are bound, every key the
// file names is read back in each typed form, the settings are saved, and what was saved
// must load again as the same settings.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/charset.h"
#include "core/gbk_text.h"
#include "fuzz_input.h"
#include "settings/config_store.h"
#include "settings/settings_file.h"
#include "settings/site_records.h"

namespace {

// A save of this many sites already walks every write path; a file claiming a hundred
// thousand would make one input take seconds.
constexpr std::size_t kMaxSavedSites = 64;
constexpr std::size_t kMaxProbedLines = 64;

const std::string& LineBreakMark() {
    static const std::string mark = charset::Utf8ToGbk("┊*┊");
    return mark;
}

// A text value goes to the file with CR LF written as the mark and comes back with the
// mark read as CR LF. Texts that already hold the mark's bytes next to a break cannot
// survive that on their own, whatever the store does; only the others must come back.
bool SurvivesLineBreakMark(const std::string& text) {
    const std::string stored = gbk::ReplaceAll(text, "\r\n", LineBreakMark());
    return gbk::ReplaceAll(stored, LineBreakMark(), "\r\n") == text;
}

void CheckSameText(const std::string& before, const std::string& after, const char* what) {
    if (SurvivesLineBreakMark(before)) fuzz::Check(before == after, what);
}

// A line "[name]text" names section "name" for the store, yet only a line that ends at
// its "]" bounds the section before it, so keys below such a line count for both. A save
// cannot keep what a reload of such a file reads; a file the program wrote has none.
bool HeadersAreWholeLines(std::string_view bytes) {
    for (std::size_t start = 0; start <= bytes.size();) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line[0] == '[' && line.find(']') != std::string_view::npos &&
            line.back() != ']')
            return false;
        start = end + 2;
    }
    return true;
}

// Every "[name]" header and "key=" line of the file, read as each kind of value.
void ProbeEveryKey(ConfigStore& store, std::string_view bytes) {
    std::string section;
    std::size_t lines = 0;
    for (std::size_t start = 0; start <= bytes.size() && lines < kMaxProbedLines; ++lines) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line[0] == '[') {
            const std::size_t close = line.find(']');
            section = std::string(line.substr(1, close == std::string_view::npos ? 0 : close - 1));
            (void)store.HasSection(section);
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string key(line.substr(0, equals));
        (void)store.ReadValue(section, key);
        store.SelectSection(section);
        (void)store.ReadText(key, "fallback\r\ntext");
        (void)store.ReadNumber(key, 1.5);
        (void)store.ReadLogical(key, true);
        (void)store.ReadBytes(key, "fallback");
    }
}

void CheckSameSites(const SiteList& saved, const SiteList& loaded) {
    fuzz::Check(saved.size() == loaded.size(), "a saved site list reloads with its size");
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const auto before = SiteKeyValues(saved[i]);
        const auto after = SiteKeyValues(loaded[i]);
        fuzz::Check(before.size() == after.size(), "every site has the same keys");
        for (std::size_t k = 0; k < before.size(); ++k)
            fuzz::Check(before[k].first == after[k].first, "site keys in the same order");
        // Texts are compared as values, not as their file form.
        CheckSameText(saved[i].用户, loaded[i].用户, "site 用户 survives a save");
        CheckSameText(saved[i].密码, loaded[i].密码, "site 密码 survives a save");
        CheckSameText(saved[i].域名, loaded[i].域名, "site 域名 survives a save");
        CheckSameText(saved[i].标签数据, loaded[i].标签数据, "site 标签数据 survives a save");
        CheckSameText(saved[i].文件过滤, loaded[i].文件过滤, "site 文件过滤 survives a save");
        CheckSameText(saved[i].文章目录, loaded[i].文章目录, "site 文章目录 survives a save");
        fuzz::Check(saved[i].分类数据 == loaded[i].分类数据, "site 分类数据 survives a save");
        fuzz::Check(saved[i].启用 == loaded[i].启用, "site 启用 survives a save");
        fuzz::Check(saved[i].编码 == loaded[i].编码, "site 编码 survives a save");
        fuzz::Check(saved[i].别名起始值 == loaded[i].别名起始值, "site 别名起始值 survives a save");
        fuzz::Check(saved[i].更新数量 == loaded[i].更新数量, "site 更新数量 survives a save");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::AsView(data, size);
    const std::string folder = fuzz::ScratchFolder();
    const std::string path = folder + "/settings.ini";
    std::error_code ec;
    // Side files of the previous input must not leak into this one.
    std::filesystem::remove_all(folder + "/inibin", ec);
    fuzz::WriteWholeFile(path, bytes);

    ConfigStore store;
    fuzz::Check(store.Bind(path), "a readable file binds for writing");
    // Binding makes every line end CR LF; the rest is checked against that text.
    const std::string text = NormaliseLineEnds(bytes);
    fuzz::Check(store.Content() == text, "the store holds the file's bytes, line ends made CR LF");

    BasicSettings basic;
    LoadBasicSettings(store, basic);
    SiteList sites;
    const std::int32_t selected = LoadSiteRecords(store, sites);
    ProbeEveryKey(store, text);

    if (sites.size() > kMaxSavedSites) sites.resize(kMaxSavedSites);
    fuzz::Check(SaveAllSettings(store, basic, sites, selected), "the save succeeds");
    fuzz::Check(PruneSiteSections(store, sites.size()), "pruning succeeds");
    const std::string saved = store.Content();
    store.Close();

    ConfigStore reread;
    reread.Bind(path, ConfigStore::BindMode::ReadOnly);
    // A lone CR the original ended with may meet the CR LF of an appended section; the
    // next load makes that one line end, as it does for any CR CR LF.
    fuzz::Check(reread.Content() == NormaliseLineEnds(saved),
                "the file holds what the store published");
    if (!HeadersAreWholeLines(text)) return 0;
    BasicSettings basicAgain;
    LoadBasicSettings(reread, basicAgain);
    CheckSameText(basic.循环间隔秒, basicAgain.循环间隔秒, "循环间隔秒 survives a save");
    CheckSameText(basic.导入路径, basicAgain.导入路径, "导入路径 survives a save");
    fuzz::Check(basic.同步循环 == basicAgain.同步循环, "同步循环 survives a save");
    fuzz::Check(basic.选择框失败时重复尝试 == basicAgain.选择框失败时重复尝试,
                "选择框失败时重复尝试 survives a save");
    SiteList sitesAgain;
    const std::int32_t selectedAgain = LoadSiteRecords(reread, sitesAgain);
    fuzz::Check(selected == selectedAgain, "现行项 survives a save");
    CheckSameSites(sites, sitesAgain);
    return 0;
}
