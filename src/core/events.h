#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// Process-wide hook that lets the user interface handle its pending events during long
// work on its own thread. Without a GUI nothing is installed and PumpEvents does nothing.
void SetPumpEventsHook(std::function<void()> hook);  // binds the hook to the calling thread
void PumpEvents();  // runs the hook only on the thread that installed it
// Whether PumpEvents does anything on the calling thread: long blocking work there should
// wait in slices and pump instead.
bool PumpsEventsHere();

// Waits `ms` milliseconds in slices of at most 10 ms, pumping events after each slice;
// returns early once `stop` (if given) is set. A wait of 0 or less returns at once.
void WaitMs(std::int64_t ms, const std::atomic<bool>* stop = nullptr);

// A wait given in seconds: seconds × 1000 ms, truncated toward zero.
void WaitSeconds(double seconds, const std::atomic<bool>* stop = nullptr);
