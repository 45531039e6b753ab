#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Marker texts of the system: two apostrophes ('') stand for one double quote, "[fg]"
// separates alternatives, and every marker search ignores the case of ASCII letters.

// A marker with every '' replaced by a double quote.
std::string ApplyQuoteRule(std::string_view marker);

// The text between the first `left` at or after `position` and the first `right` after
// it. Positions are 1-based byte indexes (0 and 1 both mean the start). On success
// `position` moves just past the found right marker, so repeated calls walk all
// occurrences; when nothing is found it becomes -2, and a position of
// -2 gives the empty text at once. An empty left marker stands for the start of the text
// (found only when the search starts there) and an empty right marker for its end (the
// position then lies beyond the end, so a walk stops after it).
// Unless `literal`, the '' rule applies to both markers; when the first search fails a
// second one runs with the double quotes removed from both markers.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        std::int64_t& position, bool literal = false);

// True when text contains one of the "[fg]"-separated alternatives (after the '' rule),
// ignoring ASCII case. Empty alternatives never match.
bool ContainsAny(std::string_view text, std::string_view alternatives);
