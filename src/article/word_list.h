#pragma once

#include <string_view>

// The keyword segmenter's built-in word list (data/wordlist.gbk, compiled in): GBK entries
// separated by single spaces, a space at both ends, longest entries first.
std::string_view BuiltInWordList();
