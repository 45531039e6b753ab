#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// GBK character walking. Inside the system a character is one byte below 0x80, or a
// lead byte (0x80 and above) together with the byte after it; a lead byte at the very
// end of a text stands alone.
namespace gbk {

inline bool IsLeadByte(unsigned char c) {
    return c >= 0x80;
}

// Bytes taken by the character that starts at pos (0 at or past the end). With
// crlfAsOne a CR LF pair counts as one character of two bytes.
std::size_t CharLength(std::string_view text, std::size_t pos, bool crlfAsOne = false);

// Number of characters in text.
std::size_t CountChars(std::string_view text, bool crlfAsOne = false);

// Byte length of the first `chars` characters (the whole text when it has fewer).
std::size_t PrefixBytes(std::string_view text, std::size_t chars, bool crlfAsOne = false);

// The first `chars` characters of text; never cuts a double-byte character in half.
std::string_view Left(std::string_view text, std::size_t chars, bool crlfAsOne = false);

// Texts end at their first zero byte.
std::string_view UntilZero(std::string_view text);

// Replace every occurrence of `from` (non-empty) by `to`, scanning left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// ASCII-only case folding, as every marker search of the system uses.
char AsciiLower(char c);
std::string AsciiLower(std::string_view text);

// Position of `needle` in `hay` at or after `from`, ignoring the case of ASCII letters;
// npos when absent. An empty needle is found at `from`.
std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from = 0);

}  // namespace gbk
