#pragma once

#include <functional>

// Asking the operating system to power the machine off. The action is replaceable so
// that tests and demos can observe it; the default refuses to act while the
// environment variable QINGLUAN_NO_SHUTDOWN is set.
namespace platform {

// Requests the shutdown and returns whether the system accepted the request. The
// program does not wait for the shutdown to happen.
bool ShutdownNow();

// Replaces what ShutdownNow does for the whole process; an empty function restores
// the system's shutdown.
void SetShutdownActionForTesting(std::function<bool()> action);

// The system's own shutdown request, without the guard above.
bool SystemShutdown();

}  // namespace platform
