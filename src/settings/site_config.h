#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "core/random.h"

class HttpClient;

// A flag that worker threads and the UI thread read and write; copying a record copies
// the value, not the atomic.
class SharedFlag {
public:
    SharedFlag(bool value = false) : m_value(value) {}
    SharedFlag(const SharedFlag& other) noexcept : m_value(other.load()) {}
    SharedFlag& operator=(const SharedFlag& other) noexcept {
        store(other.load());
        return *this;
    }
    SharedFlag& operator=(bool value) {
        store(value);
        return *this;
    }
    operator bool() const { return load(); }
    bool load() const { return m_value.load(std::memory_order_acquire); }
    void store(bool value) { m_value.store(value, std::memory_order_release); }
    const std::atomic<bool>& atomic() const { return m_value; }

private:
    std::atomic<bool> m_value;
};

// A record's own HTTP session. A copy of a record gets a fresh session of its own, never
// the original's cookies; the emlog layer creates the client on first use.
class OwnHttpSession {
public:
    OwnHttpSession() = default;
    OwnHttpSession(const OwnHttpSession&) noexcept {}
    OwnHttpSession& operator=(const OwnHttpSession&) { return *this; }
    OwnHttpSession(OwnHttpSession&&) noexcept = default;
    OwnHttpSession& operator=(OwnHttpSession&&) noexcept = default;
    std::shared_ptr<HttpClient> client;
};

// Per-site run fields: never saved, reset when a run starts.
struct SiteRunStats {
    SharedFlag started;
    SharedFlag finished;
    SharedFlag stopRequested;
    std::vector<std::string> articlePaths;
    std::int32_t articlesRead = 0;
    std::int32_t articlesDrawn = 0;
    NoRepeatPicker articlePicker;
    std::int32_t posted = 0;
    std::int32_t failStreak = 0;
    // Exchanges in a row that got no answer at all; the next try waits out a likely outage.
    std::int32_t silentFailures = 0;
};

// Per-site state of article preparation (tags, categories, alias), reset by Prepare.
struct ArticlePrepState {
    std::vector<std::string> tagLines;
    NoRepeatPicker tagPicker;
    std::vector<std::int32_t> categoryIds;
    NoRepeatPicker categoryPicker;
    std::int32_t chosenCategory = 0;  // category of the current article
    std::int32_t AliasCounter = 0;
};

// Which admin interface a site's emlog offers: the 5.x and 6.x pages, or those of emlog
// pro. Learnt at every login, never saved, so a settings file stays readable by older
// copies.
enum class AdminKind : std::uint8_t { Classic, Pro };

// One site's record: the 34 persisted keys (field names are the settings keys) and its
// run state. Texts are GBK.
struct SiteConfig {
    // group A: a missing key inherits the previous site's value on load
    bool 启用 = false;
    std::string 用户;
    std::string 密码;
    std::string 域名;
    std::int32_t 编码 = 0;  // 0 UTF-8, 1 GBK
    std::string 后台;
    std::string 标签数据;  // multi-line, CR LF between tags
    std::int32_t 标签数1 = 0;
    std::int32_t 标签数2 = 0;
    bool 文章中提取标签 = false;
    std::int32_t 内容摘要数1 = 0;
    std::int32_t 内容摘要数2 = 0;
    bool 首页置顶 = false;
    bool 分类置顶 = false;
    bool 允许评论 = false;
    // group B: a missing key takes a fixed default on load
    std::string 分类数据;  // bytes, kept in a side file
    std::string 分类ID;
    std::int32_t 分类选择项 = 0;
    std::int32_t 别名类型 = 0;
    std::int32_t 字母数1 = 0;
    std::int32_t 字母数2 = 0;
    std::string 别名左边;
    std::string 别名右边;
    std::int32_t 别名起始值 = 900;
    std::int32_t 别名递增值 = 1;
    std::int32_t 拼音间隔符 = 0;  // 0 none, 1 "-", 2 "_"
    std::string 文章目录;
    std::int32_t 文件编码 = 0;  // FileEncoding 0..4
    std::string 文件过滤;
    std::int32_t 更新数量 = 0;
    float 间隔秒1 = 0.0f;
    bool 删除已更新文章 = false;
    bool 首行标题 = false;
    bool 段落标签 = false;

    // run state, never saved
    SiteRunStats run;
    ArticlePrepState prep;
    std::string token;  // admin form token found at login
    AdminKind adminKind = AdminKind::Classic;
    OwnHttpSession http;
};

// A SiteList that grows must move its records, not copy them: a copy would drop the
// logged-in session.
static_assert(std::is_nothrow_move_constructible_v<SiteConfig>);

using SiteList = std::vector<SiteConfig>;
