#include "fault_shaping.h"

#include <cstdlib>

namespace sandbox {
namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
}

// Removes every piece that starts with `open` and ends with the next `close`.
void RemoveAll(std::string& text, std::string_view open, std::string_view close) {
    for (std::size_t at; (at = text.find(open)) != std::string::npos;) {
        std::size_t end = text.find(close, at + open.size());
        text.erase(at, end == std::string::npos ? std::string::npos : end + close.size() - at);
    }
}

std::int64_t Number(std::string_view text) {
    return std::strtoll(std::string(text).c_str(), nullptr, 10);
}

bool Flag(const NameValues& parameters, std::string_view name) {
    if (!HasValue(parameters, name)) return false;
    std::string_view value = FindValue(parameters, name);
    return value != "0" && value != "false" && value != "no";
}

}  // namespace

void BreakMarkers(std::string& html, MarkerFault fault) {
    if (fault == MarkerFault::Missing) {
        ReplaceAll(html, "<title>管理中心", "<title>后台");
        RemoveAll(html, "<input name=\"token\"", "/>");
        RemoveAll(html, "<span class=\"actived\">", "</span>");
        RemoveAll(html, "<div class=\"alert alert-success\">", "</div>");
    } else if (fault == MarkerFault::WrongCase) {
        ReplaceAll(html, "<title>", "<TITLE>");
        ReplaceAll(html, "</title>", "</TITLE>");
        ReplaceAll(html, "</span>", "</SPAN>");
    }
}

Faults FaultsFromParameters(const NameValues& parameters) {
    Faults faults;
    faults.page = FindValue(parameters, "page");
    if (HasValue(parameters, "count"))
        faults.count = static_cast<std::int32_t>(Number(FindValue(parameters, "count")));
    faults.dropConnection = Flag(parameters, "drop");
    faults.garbage = Flag(parameters, "garbage");
    std::string_view stall = FindValue(parameters, "stall");
    faults.stallMs = stall == "forever" ? kStallForever : static_cast<std::int32_t>(Number(stall));
    if (FindValue(parameters, "stall_point") == "mid") faults.stallPoint = StallPoint::MidBody;
    faults.redirectLoop = Flag(parameters, "redirect_loop");
    faults.redirectLocation = FindValue(parameters, "redirect");
    faults.httpStatus = static_cast<std::int32_t>(Number(FindValue(parameters, "status")));
    std::string_view markers = FindValue(parameters, "markers");
    if (markers == "missing") faults.markers = MarkerFault::Missing;
    if (markers == "wrongcase") faults.markers = MarkerFault::WrongCase;
    std::string_view token = FindValue(parameters, "token");
    if (token == "notonlogin") faults.token = TokenFault::NotOnLoginPage;
    if (token == "nowhere") faults.token = TokenFault::Nowhere;
    faults.wrongCharset = Flag(parameters, "wrong_charset");
    faults.hugeBodyBytes = Number(FindValue(parameters, "huge"));
    faults.extraLatencyMs = static_cast<std::int32_t>(Number(FindValue(parameters, "latency")));
    return faults;
}

std::string GarbageBytes() {
    std::string bytes;
    std::uint32_t state = 0x9e3779b9u;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes += static_cast<char>(state >> 24);
    }
    bytes[0] = '\x00';  // no status line, whatever the rest looks like
    return bytes;
}

}  // namespace sandbox
