#include "core/platform/affinity.h"

#include <sched.h>
#include <sys/types.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace platform {

bool SetProcessAffinityFirstCpu() {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    // Linux keeps the mask per thread: threads started later inherit the caller's, and the
    // ones already running (Qt's own, a test's server) are set one by one.
    bool ok = ::sched_setaffinity(0, sizeof set, &set) == 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        const pid_t tid = static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
        if (tid > 0) ::sched_setaffinity(tid, sizeof set, &set);
    }
    return ok;
}

}  // namespace platform
