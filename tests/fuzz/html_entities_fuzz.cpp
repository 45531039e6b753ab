// Character references in page text, named (case ignored) and numeric of any length.

#include <cstddef>
#include <cstdint>
#include <string>

#include "article/html_entities.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsView(data, size);
    const std::string decoded = DecodeHtmlEntities(text);
    // No reference decodes to a zero byte: that would end the text.
    if (text.find('\0') == std::string_view::npos)
        fuzz::Check(decoded.find('\0') == std::string::npos, "no reference becomes a zero byte");
    return 0;
}
