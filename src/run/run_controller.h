#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "run/live_settings.h"
#include "run/run_context.h"
#include "run/run_host.h"
#include "run/run_log.h"
#include "run/run_state.h"
#include "run/site_ops.h"
#include "run/ui_relay.h"
#include "settings/site_config.h"

enum class RunOrigin { Button, Scheduler };

// Turns a press of the start button (or a scheduled time point) into one site-group
// update run over the SiteList, and the same button into its stop while the run lasts.
// One instance, owned by the main window, used on its thread.
class RunController {
public:
    RunController(SiteList& sites, RunHost& host);
    ~RunController();

    // The only entry to a run: starts one, or asks the running one to stop. Returns when
    // the run has ended (a call made while a run is going on returns at once).
    void StartOrStop(RunOrigin origin);
    // 按钮开始更新: a click scans with PatternScan, a right-button press with FindFileScan.
    void StartButtonClicked();
    void StartButtonRightPressed();

    bool IsRunning() const { return m_phase.load() != Phase::Idle; }

    // 按钮停止更新, with the site list box's selected row (0 for none).
    void RequestSiteStop(std::int32_t selectedSite);
    // The site list box's selection changed during a run: the stop button follows it.
    void SiteSelectionChanged(std::int32_t selectedSite);

    RunState& State() { return m_state; }
    RunLog& Log() { return m_log; }
    // Relays worker rows to the host; the host may drain it from its own event loop too.
    UiRelay& Relay() { return m_ui; }

    // Tests replace the operations of the site jobs, or the shutdown of the countdown.
    void SetSiteOps(SiteOps ops) { m_ops = std::move(ops); }
    void SetShutdownAction(std::function<bool()> shutdown) { m_shutdown = std::move(shutdown); }

private:
    enum class Phase { Idle, Running, Stopping };

    void Run(RunOrigin origin);
    void StartPhase(bool syncCycle);
    void CycleLoop();
    void StartWorker(std::int32_t site);
    // A wait on the user-interface thread that keeps relaying rows and reading the
    // controls every 10 ms.
    void UiWait(std::int64_t ms, const std::atomic<bool>* stop = nullptr);
    void JoinWorkers();

    SiteList& m_sites;
    RunHost& m_host;
    UiRelay m_ui;
    RunState m_state;
    RunLog m_log;
    LiveSettings m_settings;
    SiteOps m_ops;
    RunContext m_context;
    std::function<bool()> m_shutdown;
    std::atomic<Phase> m_phase{Phase::Idle};
    std::int64_t m_startTick = 0;
    struct Workers;
    std::unique_ptr<Workers> m_workers;
};
