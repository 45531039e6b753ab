#pragma once

#include <string>

#include "run/run_host.h"
#include "settings/site_config.h"

// A RunHost without windows, for the command line and the benchmarks: fixed run settings,
// row checks that are the records' 启用, and nothing to grey, show or raise. Subclasses
// override what they present (rows, the completion message, the countdown, the save).
class HeadlessRunHost : public RunHost {
public:
    HeadlessRunHost(BasicSettings settings, const SiteList& sites);

    BasicSettings ReadRunSettings() override { return m_settings; }
    void SetStartCaption(const std::string&) override {}
    void SetRunControlsEnabled(bool) override {}
    void SetSiteStopVisible(bool) override {}
    void SetSiteStopEnabled(bool) override {}
    bool IsSiteRowChecked(std::int32_t site) override;
    void SetSiteRowEnabled(std::int32_t, bool) override {}
    void ClearLogView() override {}
    void AppendLogRow(const std::string&, const std::string&, const std::string&) override {}
    void SetLocateCaption(const std::string&) override {}
    void SetLogWindowVisible(bool) override {}
    std::string ViewLogCaption() override { return m_viewLog; }
    void SetViewLogCaption(const std::string& caption) override { m_viewLog = caption; }
    void BringLogToFront() override {}
    void RevealFile(const std::string&) override {}
    void ShowCompletionMessage(const std::string&) override {}
    void SaveAllSettings() override {}
    void RunShutdownCountdown(ShutdownCountdown&) override {}

protected:
    BasicSettings m_settings;
    const SiteList& m_sites;

private:
    std::string m_viewLog;
};
