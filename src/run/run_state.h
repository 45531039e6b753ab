#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "article/article_source.h"

// The run-wide state shared by the controller and the site jobs of all threads.
struct RunState {
    std::atomic<bool> stopRequested{false};    // the user asked the whole run to stop
    std::atomic<std::int32_t> runningJobs{0};  // started site jobs not yet finished
    std::atomic<std::int32_t> totalPosted{0};  // articles posted in this run, all sites
    // The scan the next preparations use; the kind of click on the start button sets it.
    std::atomic<ScanVariant> scanVariant{ScanVariant::FindFileScan};
    std::mutex finishMutex;  // a site's finished test-and-set happens once
};
