#include "tools/tool_texts.h"

#include <deque>
#include <mutex>
#include <utility>

#include "core/charset.h"

const std::string& ToolText(const char* utf8) {
    static std::mutex mutex;
    // A deque, so references handed out stay valid as texts are added.
    static std::deque<std::pair<const char*, std::string>> cache;
    std::lock_guard lock(mutex);
    for (const auto& [key, value] : cache)
        if (key == utf8) return value;
    cache.emplace_back(utf8, charset::Utf8ToGbk(utf8));
    return cache.back().second;
}
