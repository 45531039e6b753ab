#include "core/format_now.h"

#include <cstdio>
#include <ctime>

LocalTime ToLocalTime(clock_::WallTime when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::string FormatNow(TimeFormat kind, std::optional<clock_::WallTime> when) {
    const LocalTime t = ToLocalTime(when ? *when : clock_::Now());
    char out[40];
    switch (kind) {
        case TimeFormat::Date:
            std::snprintf(out, sizeof out, "%04d-%02d-%02d", t.year, t.month, t.day);
            break;
        case TimeFormat::Time:
            std::snprintf(out, sizeof out, "%02d:%02d:%02d", t.hour, t.minute, t.second);
            break;
        case TimeFormat::DateTime:
            std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                          t.hour, t.minute, t.second);
            break;
    }
    return out;
}
