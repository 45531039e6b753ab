#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One match of a RegexWrapper: texts are GBK, positions are byte offsets in the GBK text.
struct RegexMatch {
    std::string value;
    std::size_t firstByte = 0;
    std::vector<std::string> submatches;  // group 1, 2, … ("" for a group that took no part)
};

// A thin wrapper over the regular-expression engine (PCRE2 in UTF mode, with
// JavaScript-style \uXXXX escapes). Patterns, texts and replacements are GBK; they are
// converted to Unicode for matching and back. A pattern that does not compile matches
// nothing, and match limits keep any pattern from hanging: a user's filter can be anything.
// One object serves one thread at a time, const calls included (they share its engine
// state); objects on different threads are independent.
class RegexWrapper {
public:
    RegexWrapper();
    // Compiles at once; the three flags are true when the caller does not give them.
    explicit RegexWrapper(std::string_view pattern, bool ignoreCase = true, bool multiline = true,
                          bool global = true);
    ~RegexWrapper();
    RegexWrapper(RegexWrapper&&) noexcept;
    RegexWrapper& operator=(RegexWrapper&&) noexcept;
    RegexWrapper(const RegexWrapper&) = delete;
    RegexWrapper& operator=(const RegexWrapper&) = delete;

    // Compiles the pattern; false when it does not compile (it then matches nothing).
    bool Compile(std::string_view pattern, bool ignoreCase = true, bool multiline = true,
                 bool global = true);
    bool IsValid() const;

    // Runs the expression over text and keeps the matches: every match with Global, the
    // first one without.
    const std::vector<RegexMatch>& Execute(std::string_view text);
    // True when the expression matches somewhere in text (keeps no matches).
    bool Test(std::string_view text) const;

    // True when the last Execute, Test or Replace gave up at a match limit (and so found
    // nothing): a caller running one expression over many texts may stop early.
    bool HitLimit() const;

    // The matches of the last Execute.
    std::size_t MatchCount() const;
    std::string MatchValue(std::size_t n) const;               // "" when out of range
    std::vector<std::string> Submatches(std::size_t n) const;  // empty when out of range
    const std::vector<RegexMatch>& Matches() const;

    // Replaces every match (the first only without Global) by replacement, in which $1 … $99
    // stand for groups, $& for the match and $$ for a dollar sign.
    std::string Replace(std::string_view text, std::string_view replacement) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A file filter (wildcards, "|" alternatives) as a regular expression.
std::string WildcardToRegex(std::string_view filter);
