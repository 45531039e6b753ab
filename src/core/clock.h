#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// The wall clock and the tick count of the system. Tests replace the wall clock, since
// log file names, log rows and the scheduler depend on it.
namespace clock_ {

using WallTime = std::chrono::system_clock::time_point;

WallTime Now();

// Replaces Now() for the whole process; an empty function restores the real clock.
void SetNowForTesting(std::function<WallTime()> now);

// Milliseconds of a monotonic clock, for durations and waits.
std::int64_t TickMs();

}  // namespace clock_
