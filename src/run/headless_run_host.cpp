#include "run/headless_run_host.h"

#include "core/charset.h"

HeadlessRunHost::HeadlessRunHost(BasicSettings settings, const SiteList& sites)
    : m_settings(std::move(settings)), m_sites(sites), m_viewLog(charset::Utf8ToGbk("查看日志")) {}

bool HeadlessRunHost::IsSiteRowChecked(std::int32_t site) {
    const auto index = static_cast<std::size_t>(site) - 1;
    return site >= 1 && index < m_sites.size() && m_sites[index].启用;
}
