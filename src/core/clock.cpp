#include "core/clock.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace clock_ {
namespace {
std::mutex g_mutex;
std::shared_ptr<std::function<WallTime()>> g_override;
std::atomic<bool> g_hasOverride{false};
}  // namespace

WallTime Now() {
    if (g_hasOverride.load(std::memory_order_acquire)) {
        std::shared_ptr<std::function<WallTime()>> now;
        {
            std::lock_guard lock(g_mutex);
            now = g_override;
        }
        if (now && *now) return (*now)();
    }
    return std::chrono::system_clock::now();
}

void SetNowForTesting(std::function<WallTime()> now) {
    std::lock_guard lock(g_mutex);
    g_override = now ? std::make_shared<std::function<WallTime()>>(std::move(now)) : nullptr;
    g_hasOverride.store(g_override != nullptr, std::memory_order_release);
}

std::int64_t TickMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace clock_
