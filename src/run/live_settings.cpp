#include "run/live_settings.h"

#include "run/run_host.h"
#include "run/ui_relay.h"

LiveSettings::LiveSettings(RunHost& host, UiRelay& ui) : m_host(host), m_ui(ui) {}

BasicSettings LiveSettings::Get() {
    if (m_ui.OnUiThread()) Refresh();
    std::lock_guard lock(m_mutex);
    return m_copy;
}

void LiveSettings::Refresh() {
    if (!m_ui.OnUiThread()) return;
    BasicSettings now = m_host.ReadRunSettings();
    std::lock_guard lock(m_mutex);
    m_copy = std::move(now);
}
