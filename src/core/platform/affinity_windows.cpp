#include "core/platform/affinity.h"

#include <windows.h>

namespace platform {

bool SetProcessAffinityFirstCpu() {
    return ::SetProcessAffinityMask(::GetCurrentProcess(), 1) != 0;
}

}  // namespace platform
