#pragma once

#include <optional>
#include <string>

#include "core/clock.h"

enum class TimeFormat {
    DateTime,  // YYYY-MM-DD HH:MM:SS
    Date,      // YYYY-MM-DD
    Time,      // HH:MM:SS
};

// The given or current local date and time, every field zero-padded.
std::string FormatNow(TimeFormat kind, std::optional<clock_::WallTime> when = std::nullopt);

// Broken-down local time of a wall time (thread-safe).
struct LocalTime {
    int year, month, day, hour, minute, second, weekday;
};
LocalTime ToLocalTime(clock_::WallTime when);
