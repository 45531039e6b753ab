#pragma once

#include "run/live_settings.h"
#include "run/run_host.h"
#include "run/run_log.h"
#include "run/run_state.h"
#include "run/site_ops.h"
#include "run/ui_relay.h"
#include "settings/site_config.h"

// What the site jobs of one run share with the controller that owns them.
struct RunContext {
    SiteList& sites;
    RunHost& host;
    UiRelay& ui;
    RunState& state;
    RunLog& log;
    LiveSettings& settings;
    SiteOps& ops;
};
