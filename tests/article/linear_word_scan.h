#pragma once

#include <cstddef>
#include <string_view>

// The word search as the segmenter first did it, kept as the reference the index must
// agree with: find the probe anywhere in the list; a hit right behind a space starts an
// entry, which runs to the next space and is the word when the text continues with it;
// otherwise the search goes on behind that entry (or one byte on, for a hit inside one).
inline std::size_t LinearWordAt(std::string_view list, std::string_view lower, std::size_t start,
                                std::size_t probeBytes) {
    const std::string_view probe = lower.substr(start, probeBytes);
    if (probe.empty() || probe == " ") return 0;
    const std::string_view rest = lower.substr(start);
    std::size_t from = 0;
    for (;;) {
        const std::size_t hit = list.find(probe, from);
        if (hit == std::string_view::npos) return 0;
        if (hit == 0 || list[hit - 1] != ' ' || list[hit] == ' ') {
            from = hit + 1;
            continue;
        }
        std::size_t end = list.find(' ', hit);
        if (end == std::string_view::npos) end = list.size();
        const std::string_view entry = list.substr(hit, end - hit);
        if (rest.starts_with(entry)) return entry.size();
        from = end;
    }
}
