#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/platform/shutdown.h"

namespace platform {
namespace {

// An ordinary user holds the shutdown privilege but has it disabled; ExitWindowsEx
// refuses until it is enabled in the process token.
bool EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    bool ok = ::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege",
                                      &privileges.Privileges[0].Luid) != 0;
    if (ok) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        // Succeeds even when the token lacks the privilege; only the last error tells.
        ok = ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != 0 &&
             ::GetLastError() == ERROR_SUCCESS;
    }
    ::CloseHandle(token);
    return ok;
}

}  // namespace

// Powers the machine off like `systemctl poweroff` (EWX_SHUTDOWN alone would stop at
// "safe to turn off"). Applications get the usual chance to close; only hung ones are
// ended, so an unattended machine is not kept on by a frozen window. ExitWindowsEx
// returns once the request is queued.
bool SystemShutdown() {
    if (!EnableShutdownPrivilege()) return false;
    return ::ExitWindowsEx(EWX_POWEROFF | EWX_FORCEIFHUNG,
                           SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_OTHER |
                               SHTDN_REASON_FLAG_PLANNED) != 0;
}

}  // namespace platform
