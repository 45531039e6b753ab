#include "emlog/form_url_encode.h"

#include "core/charset.h"
#include "core/events.h"

namespace {

bool IsAlnum(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z');
}

bool StaysUnescaped(unsigned char byte, bool keepSeparators) {
    if (IsAlnum(byte) || byte == '.' || byte == '_' || byte == '-') return true;
    return keepSeparators && (byte == '&' || byte == '=');
}

}  // namespace

std::string FormUrlEncode(std::string_view text, bool utf8, bool keepSeparators) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    text = text.substr(0, text.find('\0'));
    const std::string bytes = utf8 ? charset::GbkToUtf8(text) : std::string(text);
    // Sized for the worst case and trimmed once: a 10 KB article is encoded per publish.
    std::string encoded(bytes.size() * 3, '\0');
    std::size_t length = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (StaysUnescaped(byte, keepSeparators)) {
            encoded[length++] = c;
        } else {
            encoded[length++] = '%';
            encoded[length++] = kHex[byte >> 4];
            encoded[length++] = kHex[byte & 0x0F];
        }
        // Long texts encoded on the UI thread keep the windows responsive.
        if (!IsAlnum(byte)) PumpEvents();
    }
    encoded.resize(length);
    return encoded;
}
