#pragma once

#include <optional>
#include <string>
#include <string_view>

// Charset conversion through iconv. Inside the system text is GBK; bytes that came in
// as four-byte GB18030 sequences (characters GBK lacks) are kept, so the in-system
// charset for decoding is "GB18030", a superset of GBK.
namespace charset {

// What to do with input that is invalid in the source charset or has no form in the
// target charset.
enum class OnInvalid {
    Fail,     // the whole conversion fails (std::nullopt)
    Skip,     // drop the offending input byte and go on
    Replace,  // write the replacement text instead and go on
};

// Converts bytes from one iconv charset to another. With OnInvalid::Replace the
// replacement is `replacement`, given in the target charset.
std::optional<std::string> Convert(std::string_view bytes, const char* from, const char* to,
                                   OnInvalid onInvalid = OnInvalid::Fail,
                                   std::string_view replacement = "?");

// In-system text to UTF-8 for the edges (widgets, regex, stdout, UTF-8 sites, Linux
// paths). Invalid bytes become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to in-system text. Characters GBK lacks become four-byte GB18030 sequences, so
// nothing is lost; invalid UTF-8 bytes are dropped.
std::string Utf8ToGbk(std::string_view utf8);

// UTF-8 to strict GBK (no four-byte sequences); std::nullopt when a character has no
// GBK form or the input is not valid UTF-8.
std::optional<std::string> Utf8ToGbkStrict(std::string_view utf8);

// UTF-16 (host byte order) to in-system text and back, for the Windows edges.
std::string Utf16ToGbk(std::u16string_view utf16);
std::u16string GbkToUtf16(std::string_view gbk);

// One UTF-16 code unit or code point as in-system text; `fallback` when GBK lacks it.
std::string CodePointToGbk(char32_t cp, std::string_view fallback = "?");

}  // namespace charset
