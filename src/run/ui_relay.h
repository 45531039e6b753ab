#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Carries work from worker threads to the user-interface thread in the order it was
// posted. The user-interface thread runs it at its next Drain, or at once when it posts
// itself (after whatever was queued before).
class UiRelay {
public:
    // The calling thread becomes the user-interface thread.
    void BindToCurrentThread();
    bool OnUiThread() const;

    void Post(std::function<void()> work);
    // Runs everything queued so far; only on the user-interface thread.
    void Drain();

private:
    mutable std::mutex m_mutex;
    std::deque<std::function<void()>> m_queue;
    std::thread::id m_uiThread = std::this_thread::get_id();
    std::mutex m_drainMutex;  // keeps a nested Drain from running work out of order
};
