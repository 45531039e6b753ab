#pragma once

#include <mutex>

#include "settings/basic_settings.h"

class RunHost;
class UiRelay;

// The run controls as workers see them: the user-interface thread reads the host at
// every use and refreshes the copy that worker threads read, at every look it takes
// during a run (at most about 10 ms old).
class LiveSettings {
public:
    LiveSettings(RunHost& host, UiRelay& ui);
    BasicSettings Get();
    // On the user-interface thread: reads the host again.
    void Refresh();

private:
    RunHost& m_host;
    UiRelay& m_ui;
    std::mutex m_mutex;
    BasicSettings m_copy;
};
