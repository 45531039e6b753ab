#include "core/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace charset {
namespace {

class Iconv {
public:
    Iconv(const char* from, const char* to) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

std::optional<std::string> Convert(std::string_view bytes, const char* from, const char* to,
                                   OnInvalid onInvalid, std::string_view replacement) {
    Iconv cd(from, to);
    if (!cd.ok()) return std::nullopt;
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    char buffer[16384];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (true) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        // A null input flushes the shift state once the bytes are used up.
        const std::size_t rc = inLeft > 0 ? iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft)
                                          : iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) continue;
        // EILSEQ (invalid or unmappable) or EINVAL (cut short at the end).
        if (onInvalid == OnInvalid::Fail) return std::nullopt;
        if (onInvalid == OnInvalid::Replace) out.append(replacement);
        ++in;
        --inLeft;
        if (inLeft == 0) {
            outPtr = buffer;
            outLeft = sizeof buffer;
            iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            break;
        }
    }
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    return Convert(gbk, "GB18030", "UTF-8", OnInvalid::Replace, "\xEF\xBF\xBD").value_or("");
}

std::string Utf8ToGbk(std::string_view utf8) {
    return Convert(utf8, "UTF-8", "GB18030", OnInvalid::Skip).value_or("");
}

std::optional<std::string> Utf8ToGbkStrict(std::string_view utf8) {
    return Convert(utf8, "UTF-8", "GBK", OnInvalid::Fail);
}

namespace {
const char* Utf16Host() {
    const char16_t probe = 1;
    return *reinterpret_cast<const unsigned char*>(&probe) == 1 ? "UTF-16LE" : "UTF-16BE";
}
}  // namespace

std::string Utf16ToGbk(std::u16string_view utf16) {
    const std::string_view bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2);
    return Convert(bytes, Utf16Host(), "GB18030", OnInvalid::Skip).value_or("");
}

std::u16string GbkToUtf16(std::string_view gbk) {
    const auto bytes = Convert(gbk, "GB18030", Utf16Host(), OnInvalid::Skip).value_or("");
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

std::string CodePointToGbk(char32_t cp, std::string_view fallback) {
    if (cp < 0x80) return std::string(1, static_cast<char>(cp));
    const std::string_view bytes(reinterpret_cast<const char*>(&cp), sizeof cp);
    const char* utf32 = Utf16Host()[6] == 'L' ? "UTF-32LE" : "UTF-32BE";
    auto out = Convert(bytes, utf32, "GBK", OnInvalid::Fail);
    return out ? *out : std::string(fallback);
}

}  // namespace charset
