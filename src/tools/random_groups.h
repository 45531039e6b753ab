#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The random text generator's groups: random strings, one a line.

// A group of `length` characters drawn at random from a character table (8 when the
// length is 0 or less; at most 1,000,000), every character equally likely and free to
// repeat; with `traditional` each character in its traditional form (character by
// character, as the system's simplified-to-traditional mapping does). Tables as
// HanziTableChars (0 the most frequent characters, 1 and 2 the 1988 list's sections; any
// other number is 0).
std::string RandomHanziGroup(std::int32_t length, std::int32_t table, bool traditional);

// Makes one group of a given length.
using GroupMaker = std::function<std::string(std::int32_t length)>;

// `groups` groups (none when 0 or less) joined by CR LF, each as long as a random draw
// between `length1` and `length2` (both included, a negative bound counts as 0, the order
// does not matter). `stopAfterGroup`, when given, runs after each group and ends the
// series by returning true: the text then holds the groups made so far.
std::string RandomGroups(std::int32_t length1, std::int32_t length2, std::int32_t groups,
                         const GroupMaker& group, const std::function<bool()>& stopAfterGroup = {});

// The group makers of the two generate buttons.
GroupMaker HanziGroups(std::int32_t table, bool traditional);
// Digits, lower-case and upper-case letters as chosen (upper-case when none is), in
// full-width forms with `fullWidth`.
GroupMaker AlnumGroups(bool digits, bool lower, bool upper, bool fullWidth);
