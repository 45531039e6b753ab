#include "core/gbk_literal.h"

#include <deque>
#include <mutex>
#include <utility>

#include "core/charset.h"

const std::string& GbkLiteral(const char* utf8) {
    static std::mutex mutex;
    // A deque: adding to it moves nothing that was handed out.
    static std::deque<std::pair<const char*, std::string>> cache;
    std::lock_guard lock(mutex);
    for (const auto& [key, value] : cache)
        if (key == utf8) return value;
    cache.emplace_back(utf8, charset::Utf8ToGbk(utf8));
    return cache.back().second;
}
