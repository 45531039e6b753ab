// Form bodies percent-encoded from in-system text, as GBK bytes and as UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/charset.h"
#include "emlog/form_url_encode.h"
#include "fuzz_input.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes a form body stands for, or "?" marks where it is not well formed.
std::string PercentDecode(std::string_view encoded) {
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            out.push_back(encoded[i]);
            continue;
        }
        const int high = i + 2 < encoded.size() ? HexDigit(encoded[i + 1]) : -1;
        const int low = i + 2 < encoded.size() ? HexDigit(encoded[i + 2]) : -1;
        fuzz::Check(high >= 0 && low >= 0, "every % is followed by two upper-case hex digits");
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    const bool utf8 = input.Bit(0);
    const bool keepSeparators = input.Bit(1);
    const std::string encoded = FormUrlEncode(input.rest, utf8, keepSeparators);

    for (const char c : encoded) {
        const bool safe = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                          (c >= 'A' && c <= 'Z') || c == '.' || c == '_' || c == '-' || c == '%' ||
                          (keepSeparators && (c == '&' || c == '='));
        fuzz::Check(safe, "the body holds only unreserved characters and escapes");
    }
    const std::string_view text = input.rest.substr(0, input.rest.find('\0'));
    const std::string sent = utf8 ? charset::GbkToUtf8(text) : std::string(text);
    fuzz::Check(PercentDecode(encoded) == sent, "decoding the body gives the bytes sent");
    return 0;
}
