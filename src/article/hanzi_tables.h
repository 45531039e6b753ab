#pragma once

#include <cstdint>
#include <string_view>

// The random text generator's character tables (data/hanzi-table-*.gbk, compiled in by
// scripts/gen-hanzi-tables), GBK, two bytes a character, nothing between them:
//   0  the 498 most frequent characters, in frequency order
//   1  the 2500 常用字 of the 1988 现代汉语常用字表, in the list's order
//   2  the 1000 次常用字 of the same list
// Any other number gives table 0.
std::string_view HanziTableChars(std::int32_t table);
