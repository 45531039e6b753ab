#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One entry of the scheduler's list: the time of day as typed (normally HH:MM:SS), the
// item number kept with it (0 for entries added in the window; nothing reads it) and its
// check mark, which makes it take part in the check.
struct TimePoint {
    std::string text;
    std::int32_t value = 0;
    bool ticked = true;

    bool operator==(const TimePoint&) const = default;
};
using TimePointList = std::vector<TimePoint>;

// "时间点.计划任务" in the data folder, beside the settings file.
std::string TimePointFilePath();

// The file's bytes as entries: one per non-empty line, fields split at "||" into at most
// three; a missing value reads as 0 and only a third field of exactly "假" unticks.
// Lines end in CR LF; a bare LF (a file edited by hand) ends a line too.
TimePointList ParseTimePoints(std::string_view bytes);

// text || value || 真/假, every line ended by CR LF, nothing else.
std::string FormatTimePoints(const TimePointList& entries);

// A missing or unreadable file gives no entries.
TimePointList ReadTimePointFile(const std::string& gbkPath);

// Replaces the whole file atomically: a crash while writing leaves the old list.
bool WriteTimePointFile(const std::string& gbkPath, const TimePointList& entries,
                        std::string* error = nullptr);

// The second of the day (0 … 86399) an entry's text names: hours, minutes and optional
// seconds of one or two digits each, separated by ':', blanks around the text ignored, so
// "8:30:00" and "08:30:00" are the same point. Nothing for any other text: such an entry
// never fires.
std::optional<std::int32_t> SecondOfDay(std::string_view text);
