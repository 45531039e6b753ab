#include "settings/site_records.h"

#include <algorithm>

#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/number_text.h"

namespace {

enum class Kind { Logical, Text, Integer, Single, Bytes };

// One persisted key of a site record; exactly one member pointer is set.
struct SiteKey {
    std::string name;  // GBK
    Kind kind;
    bool groupA;  // a missing key inherits the previous site's value on load
    bool SiteConfig::*logical = nullptr;
    std::string SiteConfig::*text = nullptr;
    std::int32_t SiteConfig::*integer = nullptr;
    float SiteConfig::*single = nullptr;
};

SiteKey Key(const char* utf8, bool SiteConfig::*field, bool groupA) {
    return {charset::Utf8ToGbk(utf8), Kind::Logical, groupA, field};
}
SiteKey Key(const char* utf8, std::string SiteConfig::*field, bool groupA, Kind kind = Kind::Text) {
    SiteKey key{charset::Utf8ToGbk(utf8), kind, groupA};
    key.text = field;
    return key;
}
SiteKey Key(const char* utf8, std::int32_t SiteConfig::*field, bool groupA) {
    SiteKey key{charset::Utf8ToGbk(utf8), Kind::Integer, groupA};
    key.integer = field;
    return key;
}
SiteKey Key(const char* utf8, float SiteConfig::*field, bool groupA) {
    SiteKey key{charset::Utf8ToGbk(utf8), Kind::Single, groupA};
    key.single = field;
    return key;
}

// The keys in the order they are written and read.
const std::vector<SiteKey>& SiteKeys() {
    constexpr bool A = true;
    constexpr bool B = false;
    static const std::vector<SiteKey> keys = {
        Key("启用", &SiteConfig::启用, A),
        Key("用户", &SiteConfig::用户, A),
        Key("密码", &SiteConfig::密码, A),
        Key("域名", &SiteConfig::域名, A),
        Key("编码", &SiteConfig::编码, A),
        Key("后台", &SiteConfig::后台, A),
        Key("标签数据", &SiteConfig::标签数据, A),
        Key("标签数1", &SiteConfig::标签数1, A),
        Key("标签数2", &SiteConfig::标签数2, A),
        Key("文章中提取标签", &SiteConfig::文章中提取标签, A),
        Key("内容摘要数1", &SiteConfig::内容摘要数1, A),
        Key("内容摘要数2", &SiteConfig::内容摘要数2, A),
        Key("首页置顶", &SiteConfig::首页置顶, A),
        Key("分类置顶", &SiteConfig::分类置顶, A),
        Key("允许评论", &SiteConfig::允许评论, A),
        Key("分类数据", &SiteConfig::分类数据, B, Kind::Bytes),
        Key("分类ID", &SiteConfig::分类ID, B),
        Key("分类选择项", &SiteConfig::分类选择项, B),
        Key("别名类型", &SiteConfig::别名类型, B),
        Key("字母数1", &SiteConfig::字母数1, B),
        Key("字母数2", &SiteConfig::字母数2, B),
        Key("别名左边", &SiteConfig::别名左边, B),
        Key("别名右边", &SiteConfig::别名右边, B),
        Key("别名起始值", &SiteConfig::别名起始值, B),
        Key("别名递增值", &SiteConfig::别名递增值, B),
        Key("拼音间隔符", &SiteConfig::拼音间隔符, B),
        Key("文章目录", &SiteConfig::文章目录, B),
        Key("文件编码", &SiteConfig::文件编码, B),
        Key("文件过滤", &SiteConfig::文件过滤, B),
        Key("更新数量", &SiteConfig::更新数量, B),
        Key("间隔秒1", &SiteConfig::间隔秒1, B),
        Key("删除已更新文章", &SiteConfig::删除已更新文章, B),
        Key("首行标题", &SiteConfig::首行标题, B),
        Key("段落标签", &SiteConfig::段落标签, B),
    };
    return keys;
}

struct Names {
    std::string siteSection = charset::Utf8ToGbk("站点序号_");
    std::string listSection = charset::Utf8ToGbk("站点配置");
    std::string count = charset::Utf8ToGbk("站点数");
    std::string selected = charset::Utf8ToGbk("现行项");
    std::string enabled = charset::Utf8ToGbk("启用");
};
const Names& N() {
    static const Names names;
    return names;
}

// Reads one key into `into`; the default comes from `defaults`.
void ReadKey(ConfigStore& store, const SiteKey& key, const SiteConfig& defaults, SiteConfig& into) {
    switch (key.kind) {
        case Kind::Logical:
            into.*key.logical = store.ReadLogical(key.name, defaults.*key.logical);
            break;
        case Kind::Text:
            into.*key.text = store.ReadText(key.name, defaults.*key.text);
            break;
        case Kind::Bytes:
            into.*key.text = store.ReadBytes(key.name, defaults.*key.text);
            break;
        case Kind::Integer:
            into.*key.integer = TruncateToInt(store.ReadNumber(key.name, defaults.*key.integer));
            break;
        case Kind::Single:
            // Beyond float range the value stays the largest float rather than infinity,
            // so it saves and reloads as the same number.
            into.*key.single = SaturateToFloat(
                store.ReadNumber(key.name, static_cast<double>(defaults.*key.single)));
            break;
    }
}

bool WriteKey(ConfigStore& store, const SiteKey& key, const SiteConfig& site) {
    switch (key.kind) {
        case Kind::Logical:
            return store.WriteLogical(key.name, site.*key.logical);
        case Kind::Text:
            return store.WriteText(key.name, site.*key.text);
        case Kind::Bytes:
            return store.WriteBytes(key.name, site.*key.text);
        case Kind::Integer:
            return store.WriteNumber(key.name, site.*key.integer);
        case Kind::Single:
            // An infinite float is saved as the largest float, as it would load.
            return store.WriteNumber(key.name,
                                     static_cast<double>(SaturateToFloat(site.*key.single)));
    }
    return false;
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        out += digits[static_cast<unsigned char>(c) >> 4];
        out += digits[static_cast<unsigned char>(c) & 0xF];
    }
    return out;
}

// How many records a load builds for 站点数 = count (see kMaxSiteRecords).
std::int32_t RecordsToLoad(ConfigStore& store, std::int32_t count) {
    count = std::min(count, kMaxSiteRecords);
    std::int32_t lastPresent = 0;
    for (std::int32_t n = count; n >= 1 && lastPresent == 0; --n)
        if (store.HasSection(SiteSectionName(static_cast<std::size_t>(n)))) lastPresent = n;
    return std::min(count, lastPresent + kMaxMissingTailSites);
}

}  // namespace

std::string SiteSectionName(std::size_t n) {
    return N().siteSection + std::to_string(n);
}

std::string SiteRowText(const SiteConfig& site) {
    return site.域名 + "(" + site.用户 + ")";
}

std::int32_t LoadSiteRecords(ConfigStore& store, SiteList& sites) {
    store.SelectSection(N().listSection);
    const std::int32_t count = TruncateToInt(store.ReadNumber(N().count, 0));
    const std::int32_t selected = TruncateToInt(store.ReadNumber(N().selected, 0));
    if (count <= 0) return selected;
    const std::int32_t toLoad = RecordsToLoad(store, count);
    const SiteConfig fixedDefaults;
    SiteConfig record;  // group A values carry over from one site to the next
    sites.reserve(sites.size() + static_cast<std::size_t>(toLoad));
    for (std::int32_t n = 1; n <= toLoad; ++n) {
        store.SelectSection(SiteSectionName(static_cast<std::size_t>(n)));
        for (const SiteKey& key : SiteKeys())
            ReadKey(store, key, key.groupA ? record : fixedDefaults, record);
        if (record.后台.empty()) record.后台 = "admin";
        sites.push_back(record);  // a copy gets fresh run state and its own session
    }
    return selected;
}

bool SaveSiteRecords(ConfigStore& store, const SiteList& sites, std::int32_t selectedRow) {
    ConfigStore::Batch batch(store);
    store.SelectSection(N().listSection);
    bool ok = store.WriteNumber(N().count, static_cast<double>(sites.size()));
    ok = store.WriteNumber(N().selected, selectedRow) && ok;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        store.SelectSection(SiteSectionName(i + 1));
        for (const SiteKey& key : SiteKeys()) ok = WriteKey(store, key, sites[i]) && ok;
    }
    return batch.End() && ok;
}

bool SaveSiteEnabled(ConfigStore& store, SiteList& sites, std::size_t row, bool enabled) {
    if (row >= sites.size()) return false;
    sites[row].启用 = enabled;
    store.SelectSection(SiteSectionName(row + 1));
    return store.WriteLogical(N().enabled, enabled);
}

bool PruneSiteSections(ConfigStore& store, std::size_t count) {
    ConfigStore::Batch batch(store);
    for (std::size_t k = count + 1;; ++k) {
        const int result = store.Delete(SiteSectionName(k), {});
        if (result != ConfigStore::kDeleted) break;
    }
    return batch.End();
}

std::vector<std::pair<std::string, std::string>> SiteKeyValues(const SiteConfig& site) {
    static const std::string yes = charset::Utf8ToGbk("真");
    static const std::string no = charset::Utf8ToGbk("假");
    static const std::string lineBreak = charset::Utf8ToGbk("┊*┊");
    std::vector<std::pair<std::string, std::string>> out;
    for (const SiteKey& key : SiteKeys()) {
        std::string value;
        switch (key.kind) {
            case Kind::Logical:
                value = site.*key.logical ? yes : no;
                break;
            case Kind::Text:
                value = gbk::ReplaceAll(site.*key.text, "\r\n", lineBreak);
                break;
            case Kind::Bytes:
                value = Hex(site.*key.text);
                break;
            case Kind::Integer:
                value = FormatNumber(site.*key.integer);
                break;
            case Kind::Single:
                value = FormatNumber(static_cast<double>(SaturateToFloat(site.*key.single)));
                break;
        }
        out.emplace_back(key.name, std::move(value));
    }
    return out;
}
