#pragma once

#include <cstddef>

// The compiled-in pinyin readings of the GB2312 hanzi (data/pinyin_table.cpp, generated
// by scripts/gen-pinyin). Cell (lead - 0xB0) * 94 + (trail - 0xA1) holds the readings of
// that character, most common first, separated by spaces; "" where GB2312 has none.
inline constexpr unsigned char kGb2312PinyinFirstLead = 0xB0;
inline constexpr unsigned char kGb2312PinyinLastLead = 0xF7;
inline constexpr unsigned char kGb2312PinyinFirstTrail = 0xA1;
inline constexpr unsigned char kGb2312PinyinLastTrail = 0xFE;
inline constexpr std::size_t kGb2312PinyinCells = 72 * 94;

extern const char* const kGb2312Pinyin[kGb2312PinyinCells];
