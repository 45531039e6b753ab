#include "run/ui_relay.h"

void UiRelay::BindToCurrentThread() {
    std::lock_guard lock(m_mutex);
    m_uiThread = std::this_thread::get_id();
}

bool UiRelay::OnUiThread() const {
    std::lock_guard lock(m_mutex);
    return std::this_thread::get_id() == m_uiThread;
}

void UiRelay::Post(std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(work));
    }
    if (OnUiThread()) Drain();
}

void UiRelay::Drain() {
    if (!OnUiThread()) return;
    // A host call may pump events and reach Drain again; the outer call carries on.
    std::unique_lock drain(m_drainMutex, std::try_to_lock);
    if (!drain.owns_lock()) return;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) return;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        work();
    }
}
