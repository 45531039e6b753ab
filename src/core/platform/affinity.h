#pragma once

// Keeps the whole process, every thread it starts included, on the first processor, as
// the program always ran. False when the system refuses (the process runs on as it was).
namespace platform {

bool SetProcessAffinityFirstCpu();

}  // namespace platform
