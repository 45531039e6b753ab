#include "run/run_controller.h"

#include <thread>
#include <vector>

#include "core/clock.h"
#include "core/events.h"
#include "core/format_now.h"
#include "core/number_text.h"
#include "run/run_texts.h"
#include "run/shutdown_countdown.h"
#include "run/site_job.h"

struct RunController::Workers {
    std::vector<std::thread> threads;
};

RunController::RunController(SiteList& sites, RunHost& host)
    : m_sites(sites),
      m_host(host),
      m_log(sites, host, m_ui),
      m_settings(host, m_ui),
      m_ops(DefaultSiteOps()),
      m_context{sites, host, m_ui, m_state, m_log, m_settings, m_ops},
      m_workers(std::make_unique<Workers>()) {}

RunController::~RunController() {
    // Only reached with workers alive if the owner is torn down mid-run.
    m_state.stopRequested = true;
    JoinWorkers();
}

void RunController::StartButtonClicked() {
    m_state.scanVariant = ScanVariant::PatternScan;
    StartOrStop(RunOrigin::Button);
}

void RunController::StartButtonRightPressed() {
    m_state.scanVariant = ScanVariant::FindFileScan;
    StartOrStop(RunOrigin::Button);
}

void RunController::StartOrStop(RunOrigin origin) {
    if (IsRunning()) {
        m_host.SetStartCaption(Texts().stoppingCaption);
        m_state.stopRequested = true;
        m_phase = Phase::Stopping;
        return;
    }
    Run(origin);
}

void RunController::Run(RunOrigin origin) {
    const RunTexts& t = Texts();
    m_ui.BindToCurrentThread();
    m_host.SetStartCaption(t.stopCaption);
    m_state.stopRequested = false;
    m_phase = Phase::Running;
    m_host.SetSiteStopVisible(true);
    m_host.SetSiteStopEnabled(false);
    m_host.SetRunControlsEnabled(false);
    m_state.totalPosted = 0;
    m_startTick = clock_::TickMs();

    const bool syncCycle = m_settings.Get().同步循环;
    StartPhase(syncCycle);
    if (syncCycle && !m_state.stopRequested) CycleLoop();

    const BasicSettings settings = m_settings.Get();
    m_log.WriteRunSummary(m_state.totalPosted, m_startTick, settings);
    m_ui.Drain();

    m_host.SetRunControlsEnabled(true);
    m_host.SetSiteStopVisible(false);
    m_host.SetStartCaption(t.startCaption);
    m_phase = Phase::Idle;

    const BasicSettings now = m_settings.Get();
    if (now.选择框完成关机) {
        m_host.SaveAllSettings();
        ShutdownCountdown countdown(m_shutdown);
        m_host.RunShutdownCountdown(countdown);
    } else if (origin == RunOrigin::Button) {
        m_host.ShowCompletionMessage(t.doneMessage + std::to_string(m_state.totalPosted) +
                                     t.doneMiddle + FormatDuration(clock_::TickMs() - m_startTick));
    } else if (m_host.ViewLogCaption() == t.closeLog) {
        m_log.ToggleLogWindow();
    }
}

void RunController::StartPhase(bool syncCycle) {
    const RunTexts& t = Texts();
    m_log.OpenRunLog();
    m_ui.Drain();
    m_host.SetLogWindowVisible(true);
    m_host.SetViewLogCaption(t.closeLog);
    m_host.BringLogToFront();
    m_log.WriteLogRow(t.runStart + FormatNow(TimeFormat::DateTime), 0);
    if (syncCycle) m_log.WriteLogRow(t.preparing, 0);
    for (std::size_t i = 0; i < m_sites.size(); ++i) {
        PumpEvents();
        const auto row = static_cast<std::int32_t>(i + 1);
        if (!m_host.IsSiteRowChecked(row)) m_host.SetSiteRowEnabled(row, false);
        SiteRunStats& stats = m_sites[i].run;
        stats.started = false;
        stats.finished = false;
        stats.stopRequested = false;
        stats.posted = 0;
        stats.articlesRead = 0;
        // A streak left from an earlier run would cost this run a login after one failure.
        stats.failStreak = 0;
        stats.silentFailures = 0;
    }
    m_state.runningJobs = 0;
    std::int32_t j = 1;
    for (; static_cast<std::size_t>(j) <= m_sites.size(); ++j) {
        if (m_state.stopRequested) break;
        PumpEvents();
        m_ui.Drain();
        SiteConfig& site = m_sites[static_cast<std::size_t>(j) - 1];
        if (!site.启用 || site.run.finished) continue;
        m_state.runningJobs += 1;
        site.run.started = true;
        if (syncCycle) {
            Prepare(m_context, j, 0);
            continue;
        }
        StartWorker(j);
        UiWait(100);
        for (;;) {
            if (TextToInt(m_settings.Get().同时站点数) > m_state.runningJobs.load()) break;
            UiWait(100);
            PumpEvents();
            if (m_state.stopRequested) break;
        }
    }
    if (!syncCycle) {
        while (m_state.runningJobs.load() > 0) UiWait(100);
        JoinWorkers();
        m_ui.Drain();
    }
    if (syncCycle && m_state.stopRequested) {
        // No cycle follows to close them: every site prepared so far gets its closing row
        // here, and the count of running jobs ends at 0.
        for (std::size_t i = 0; i < m_sites.size(); ++i)
            if (m_sites[i].run.started) FinishSite(m_context, static_cast<std::int32_t>(i + 1));
    }
    if (m_state.stopRequested)
        m_log.WriteLogRow(t.forcedStop, j);
    else if (syncCycle)
        m_log.WriteLogRow(t.prepared, 0);
}

void RunController::CycleLoop() {
    while (m_state.runningJobs.load() > 0) {
        for (std::size_t i = 0; i < m_sites.size(); ++i)
            PostNext(m_context, static_cast<std::int32_t>(i + 1), true);
        // 循环间隔秒 is a 32-bit float, so the default 0.01 waits 9 ms.
        const float seconds = SaturateToFloat(TextToNumber(m_settings.Get().循环间隔秒));
        const double ms = static_cast<double>(seconds) * 1000.0;
        UiWait(ms > 3.2e10 ? static_cast<std::int64_t>(3.2e10) : static_cast<std::int64_t>(ms),
               &m_state.stopRequested);
    }
}

void RunController::StartWorker(std::int32_t site) {
    m_workers->threads.emplace_back([this, site] { RunIndependentJob(m_context, site); });
}

void RunController::UiWait(std::int64_t ms, const std::atomic<bool>* stop) {
    const std::int64_t start = clock_::TickMs();
    for (;;) {
        m_ui.Drain();
        m_settings.Refresh();
        if (stop && stop->load()) return;
        const std::int64_t left = ms - (clock_::TickMs() - start);
        if (left <= 0) return;
        WaitMs(left < 10 ? left : 10);
    }
}

void RunController::JoinWorkers() {
    // Every job has finished by now (the count is 0); joining only collects the threads.
    for (auto& thread : m_workers->threads)
        if (thread.joinable()) thread.join();
    m_workers->threads.clear();
}

void RunController::RequestSiteStop(std::int32_t selectedSite) {
    if (selectedSite < 1 || static_cast<std::size_t>(selectedSite) > m_sites.size()) {
        m_host.SetSiteStopEnabled(false);
        return;
    }
    SiteConfig& site = m_sites[static_cast<std::size_t>(selectedSite) - 1];
    if (site.启用 && !site.run.finished) site.run.stopRequested = true;
}

void RunController::SiteSelectionChanged(std::int32_t selectedSite) {
    if (!IsRunning()) return;
    const bool valid =
        selectedSite >= 1 && static_cast<std::size_t>(selectedSite) <= m_sites.size();
    const SiteConfig* site = valid ? &m_sites[static_cast<std::size_t>(selectedSite) - 1] : nullptr;
    m_host.SetSiteStopEnabled(site && site->启用 && !site->run.finished);
}
