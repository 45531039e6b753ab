#include "tools/simplified_traditional.h"

#include <opencc/opencc.h>

#include <mutex>
#include <optional>

#include "core/charset.h"
#include "core/gbk_text.h"

namespace {

class Converter {
public:
    Converter() : m_handle(opencc_open(OPENCC_DEFAULT_CONFIG_SIMP_TO_TRAD)) {}
    ~Converter() {
        if (Loaded()) opencc_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Loaded() const { return m_handle != reinterpret_cast<opencc_t>(-1); }

    std::optional<std::string> Utf8(std::string_view utf8) {
        std::lock_guard<std::mutex> lock(m_mutex);
        char* out = opencc_convert_utf8(m_handle, utf8.data(), utf8.size());
        if (!out) return std::nullopt;
        std::string result(out);
        opencc_convert_utf8_free(out);
        return result;
    }

private:
    opencc_t m_handle;
    std::mutex m_mutex;
};

Converter& Shared() {
    static Converter converter;
    return converter;
}

// One character, or itself when its traditional form has no GBK form.
std::string ConvertChar(Converter& converter, std::string_view ch) {
    const auto converted = converter.Utf8(charset::GbkToUtf8(ch));
    if (!converted) return std::string(ch);
    return charset::Utf8ToGbkStrict(*converted).value_or(std::string(ch));
}

}  // namespace

std::string SimplifiedToTraditional(std::string_view gbk) {
    Converter& converter = Shared();
    if (gbk.empty() || !converter.Loaded()) return std::string(gbk);
    // The whole text at once lets OpenCC's phrases choose between forms (发 in 头发 and
    // 发展); only when GBK lacks a result is it done character by character.
    if (const auto converted = converter.Utf8(charset::GbkToUtf8(gbk)))
        if (auto back = charset::Utf8ToGbkStrict(*converted)) return *std::move(back);
    std::string out;
    out.reserve(gbk.size());
    for (std::size_t pos = 0; pos < gbk.size();) {
        const std::size_t length = gbk::CharLength(gbk, pos);
        out += ConvertChar(converter, gbk.substr(pos, length));
        pos += length;
    }
    return out;
}
