#include "core/events.h"

#include <mutex>
#include <thread>

#include "core/clock.h"

namespace {
std::mutex g_mutex;
std::function<void()> g_hook;
std::thread::id g_hookThread;
std::atomic<bool> g_hasHook{false};
}  // namespace

void SetPumpEventsHook(std::function<void()> hook) {
    std::lock_guard lock(g_mutex);
    g_hook = std::move(hook);
    g_hookThread = std::this_thread::get_id();
    g_hasHook.store(static_cast<bool>(g_hook));
}

void PumpEvents() {
    if (!g_hasHook.load(std::memory_order_relaxed)) return;
    std::function<void()> hook;
    {
        std::lock_guard lock(g_mutex);
        if (std::this_thread::get_id() != g_hookThread) return;
        hook = g_hook;
    }
    if (hook) hook();
}

bool PumpsEventsHere() {
    if (!g_hasHook.load(std::memory_order_relaxed)) return false;
    std::lock_guard lock(g_mutex);
    return g_hook && std::this_thread::get_id() == g_hookThread;
}

void WaitMs(std::int64_t ms, const std::atomic<bool>* stop) {
    if (ms <= 0) return;
    const std::int64_t start = clock_::TickMs();
    while (!(stop && stop->load())) {
        const std::int64_t left = ms - (clock_::TickMs() - start);
        if (left <= 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(left < 10 ? left : 10));
        PumpEvents();
    }
}

void WaitSeconds(double seconds, const std::atomic<bool>* stop) {
    const double ms = seconds * 1000.0;
    // Beyond a year a wait is a user's typo, not a pause; keep the cast defined.
    WaitMs(ms > 3.2e10 ? static_cast<std::int64_t>(3.2e10) : static_cast<std::int64_t>(ms), stop);
}
