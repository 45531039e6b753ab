#include "scheduler/time_points.h"

#include "core/charset.h"
#include "core/number_text.h"
#include "core/platform/atomic_file.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"

namespace {

const std::string& FileName() {
    static const std::string name = charset::Utf8ToGbk("时间点.计划任务");
    return name;
}
const std::string& Yes() {
    static const std::string text = charset::Utf8ToGbk("真");
    return text;
}
const std::string& No() {
    static const std::string text = charset::Utf8ToGbk("假");
    return text;
}

TimePoint ParseLine(std::string_view line) {
    std::string_view fields[3];
    std::size_t count = 0;
    while (count < 2) {
        const auto bar = line.find("||");
        if (bar == std::string_view::npos) break;
        fields[count++] = line.substr(0, bar);
        line.remove_prefix(bar + 2);
    }
    fields[count] = line;
    TimePoint entry;
    entry.text = std::string(fields[0]);
    entry.value = TextToInt(fields[1]);
    entry.ticked = fields[2] != No();
    return entry;
}

// Digits of one field of a time of day: one or two, nothing else.
std::optional<std::int32_t> Field(std::string_view text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string TimePointFilePath() {
    return platform::JoinPath(platform::DataFolder(), FileName());
}

TimePointList ParseTimePoints(std::string_view bytes) {
    TimePointList entries;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) entries.push_back(ParseLine(line));
    }
    return entries;
}

std::string FormatTimePoints(const TimePointList& entries) {
    std::string out;
    for (const TimePoint& entry : entries) {
        out += entry.text;
        out += "||";
        out += std::to_string(entry.value);
        out += "||";
        out += entry.ticked ? Yes() : No();
        out += "\r\n";
    }
    return out;
}

TimePointList ReadTimePointFile(const std::string& gbkPath) {
    const auto bytes = platform::ReadWholeFile(gbkPath, std::size_t(1) << 24);
    return bytes ? ParseTimePoints(*bytes) : TimePointList{};
}

bool WriteTimePointFile(const std::string& gbkPath, const TimePointList& entries,
                        std::string* error) {
    return platform::ReplaceFileAtomically(gbkPath, FormatTimePoints(entries), error);
}

std::optional<std::int32_t> SecondOfDay(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::optional<std::int32_t> parts[3];
    std::size_t count = 0;
    for (;;) {
        if (count == 3) return std::nullopt;
        const auto colon = text.find(':');
        parts[count] = Field(text.substr(0, colon));
        if (!parts[count++]) return std::nullopt;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    if (count < 2) return std::nullopt;
    const std::int32_t hour = *parts[0], minute = *parts[1], second = count == 3 ? *parts[2] : 0;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}
