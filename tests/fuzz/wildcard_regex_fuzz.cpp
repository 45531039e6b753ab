// File filters turned into expressions and run over names and texts, and raw patterns
// run the same way: GBK in, offsets mapped back through the UTF-8 view, replacements
// expanded. Input: flags byte, then pattern (or filter), text and replacement.

#include <cstddef>
#include <cstdint>
#include <string>

#include "article/regex_wrapper.h"
#include "core/charset.h"
#include "fuzz_input.h"

namespace {

bool ValidGbk(std::string_view text) {
    return charset::Convert(text, "GB18030", "UTF-8", charset::OnInvalid::Fail).has_value();
}

void CheckMatches(RegexWrapper& regex, std::string_view text) {
    const auto& matches = regex.Execute(text);
    if (regex.HitLimit()) return;
    std::size_t after = 0;
    for (const RegexMatch& match : matches) {
        fuzz::Check(match.firstByte <= text.size() &&
                        match.value.size() <= text.size() - match.firstByte,
                    "a match lies inside the text");
        fuzz::Check(text.substr(match.firstByte, match.value.size()) == match.value,
                    "a match's value is the text at its offset");
        fuzz::Check(match.firstByte >= after, "matches come in order and do not overlap");
        after = match.firstByte + match.value.size();
    }
    const bool found = regex.Test(text);
    if (!regex.HitLimit())
        fuzz::Check(found == !matches.empty(), "Test agrees with Execute");
    // Each match put back in its place gives the text again.
    const std::string same = regex.Replace(text, "$&");
    if (!regex.HitLimit()) fuzz::Check(same == text, "replacing each match by itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    const auto parts = fuzz::SplitParts(input.rest, 3);
    const bool rawPattern = input.Bit(0);
    const bool ignoreCase = input.Bit(1);
    const bool multiline = input.Bit(2);
    const bool global = !input.Bit(3);

    const std::string pattern = rawPattern ? std::string(parts[0]) : WildcardToRegex(parts[0]);
    RegexWrapper regex;
    const bool compiled = regex.Compile(pattern, ignoreCase, multiline, global);
    fuzz::Check(compiled == regex.IsValid(), "Compile reports what IsValid says");
    CheckMatches(regex, parts[1]);
    (void)regex.Replace(parts[1], parts[2]);
    for (std::size_t n = 0; n <= regex.MatchCount(); ++n) {
        (void)regex.MatchValue(n);
        (void)regex.Submatches(n);
    }

    // A filter without wildcards names what it matches; with them it still matches its
    // own text, since "*" and "?" match themselves too.
    if (!rawPattern && ValidGbk(parts[0])) {
        fuzz::Check(compiled, "a filter of valid text compiles");
        const bool self = regex.Test(parts[0]);
        if (!regex.HitLimit()) fuzz::Check(self, "a filter matches its own text");
    }
    return 0;
}
