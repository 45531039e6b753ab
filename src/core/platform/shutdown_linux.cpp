#include <spawn.h>
#include <sys/wait.h>

#include "core/platform/shutdown.h"

extern char** environ;

namespace platform {

// logind powers the machine off for an allowed session (polkit decides); systemctl
// hands the request over and returns once it was queued.
bool SystemShutdown() {
    char program[] = "systemctl";
    char verb[] = "poweroff";
    char* argv[] = {program, verb, nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
