// The charset a downloaded page declares in its meta tags.

#include <cstddef>
#include <cstdint>

#include "article/text_decoding.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::int32_t charset = DetectMetaCharset(fuzz::AsView(data, size));
    fuzz::Check(charset >= 0 && charset <= 3, "the answer is one of the four known");
    return 0;
}
