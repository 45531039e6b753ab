#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "core/platform/browser.h"

extern char** environ;

namespace platform {

// xdg-open picks the desktop's browser; it is reaped here so no zombie stays behind, and
// it returns as soon as the browser was started.
bool OpenWebPage(std::string_view url) {
    std::string target(url);
    char program[] = "xdg-open";
    char* argv[] = {program, target.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
