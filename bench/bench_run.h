#pragma once

// What the run benchmarks share: an Independent run's settings, a host that counts the log
// rows instead of showing them, and the process's CPU time.

#include <sys/resource.h>

#include <string>
#include <utility>

#include "run/headless_run_host.h"
#include "settings/basic_settings.h"

inline BasicSettings IndependentRun(std::string concurrency) {
    BasicSettings settings;
    settings.先后独立 = true;
    settings.同步循环 = false;
    settings.同时站点数 = std::move(concurrency);
    return settings;
}

class QuietHost : public HeadlessRunHost {
public:
    QuietHost(SiteList& sites, std::string concurrency)
        : HeadlessRunHost(IndependentRun(std::move(concurrency)), sites) {}
    void AppendLogRow(const std::string&, const std::string&, const std::string&) override {
        ++rows;
    }
    long rows = 0;
};

inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
