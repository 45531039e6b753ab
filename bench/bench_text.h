#pragma once

// Shared by the article benchmarks: a stopwatch and the entries of the built-in word
// list, from which they make Chinese texts of any size.

#include <chrono>
#include <string_view>
#include <vector>

#include "article/word_list.h"

inline double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

inline std::vector<std::string_view> WordListEntries() {
    const std::string_view list = BuiltInWordList();
    std::vector<std::string_view> entries;
    for (std::size_t pos = 1; pos < list.size();) {
        const std::size_t end = list.find(' ', pos);
        entries.push_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    return entries;
}
