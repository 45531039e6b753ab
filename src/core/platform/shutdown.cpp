#include "core/platform/shutdown.h"

#include <cstdlib>
#include <mutex>

namespace platform {
namespace {
std::mutex g_mutex;
std::function<bool()> g_action;
}  // namespace

bool ShutdownNow() {
    std::function<bool()> action;
    {
        std::lock_guard lock(g_mutex);
        action = g_action;
    }
    if (action) return action();
    // A guard for test machines and demos: nothing may switch them off by accident.
    if (std::getenv("QINGLUAN_NO_SHUTDOWN")) return false;
    return SystemShutdown();
}

void SetShutdownActionForTesting(std::function<bool()> action) {
    std::lock_guard lock(g_mutex);
    g_action = std::move(action);
}

}  // namespace platform
