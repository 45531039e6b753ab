#include <windows.h>

#include "core/platform/shutdown.h"

namespace platform {

// Enables the shutdown privilege in the process token, then asks for the shutdown.
// The results of the token calls are not checked: a refused privilege shows as a
// refused shutdown.
bool SystemShutdown() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    return ExitWindowsEx(EWX_SHUTDOWN, 0xFFFF) != 0;
}

}  // namespace platform
