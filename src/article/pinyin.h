#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Case modes of ToPinyin.
enum class PinyinCase : std::int32_t {
    None = 0,           // gives the empty text
    FirstSyllable = 1,  // capitalise the first converted syllable of the whole text
    EverySyllable = 2,  // capitalise every syllable
    Upper = 3,          // upper-case everything
    Lower = 4,          // leave the lower-case pinyin as it is
};

// Chinese to pinyin, line by line (lines end at LF, a CR before it is dropped, output
// lines are joined with CR LF). Words of the phrase table take the word's reading (the
// longest word from left to right), other characters with a reading their most common
// one (or its first letter with initialsOnly); others stay as they are. The separator goes after
// every converted character except at a line's end, and before a converted character
// that follows an unconverted one. caseMode is 0 … 4 as PinyinCase; others give "".
std::string ToPinyin(std::string_view text, std::int32_t caseMode, bool initialsOnly,
                     std::string_view separator);

// The readings of one GB2312 hanzi (lead byte B0 … F7, trail byte A1 … FE), most common
// first, separated by single spaces; empty for any other character.
std::string_view PinyinReadings(unsigned char lead, unsigned char trail);

// The first reading only; empty when the character has none.
std::string_view FirstPinyinReading(unsigned char lead, unsigned char trail);
