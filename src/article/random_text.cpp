#include "article/random_text.h"

#include "core/random.h"

namespace {

// A typo in a length box must not ask for gigabytes.
constexpr std::int32_t kMaxLength = 1000000;

enum class CharClass { Digit, Lower, Upper };

CharClass ChooseClass(bool noDigits, bool noLower, bool noUpper) {
    if (noDigits && noLower) return CharClass::Upper;
    if (noDigits && noUpper) return CharClass::Lower;
    if (noLower && noUpper) return CharClass::Digit;
    if (noDigits) return RandomBetween(0, 1) == 0 ? CharClass::Lower : CharClass::Upper;
    if (noLower) return RandomBetween(0, 1) == 0 ? CharClass::Digit : CharClass::Upper;
    if (noUpper) return RandomBetween(0, 1) == 0 ? CharClass::Digit : CharClass::Lower;
    switch (RandomBetween(0, 2)) {
        case 0:
            return CharClass::Digit;
        case 1:
            return CharClass::Lower;
        default:
            return CharClass::Upper;
    }
}

char DrawFrom(CharClass cls) {
    switch (cls) {
        case CharClass::Digit:
            return static_cast<char>('0' + RandomBetween(0, 9));
        case CharClass::Lower:
            return static_cast<char>('a' + RandomBetween(0, 25));
        default:
            return static_cast<char>('A' + RandomBetween(0, 25));
    }
}

}  // namespace

std::string RandomAlnumText(std::int32_t length, bool fullWidth, bool noDigits, bool noLower,
                            bool noUpper) {
    const std::int32_t n = length <= 0 ? 8 : (length > kMaxLength ? kMaxLength : length);
    std::string out;
    out.reserve(static_cast<std::size_t>(n) * (fullWidth ? 2 : 1));
    for (std::int32_t i = 0; i < n; ++i) {
        const char c = DrawFrom(ChooseClass(noDigits, noLower, noUpper));
        if (fullWidth) {
            // GBK full-width forms: "!" … "}" become A3 A1 … A3 FD.
            out.push_back('\xA3');
            out.push_back(static_cast<char>(0x80 + c));
        } else {
            out.push_back(c);
        }
    }
    return out;
}
