// Article bytes in every configured encoding: BOMs, UTF-16 of either order, Big5, gzip
// streams (whole, cut off, damaged), and the meta charset detection on the way. The first
// byte picks the encoding; the file route and the in-memory route must agree.

#include <cstddef>
#include <cstdint>
#include <string>

#include "article/text_decoding.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Flagged input = fuzz::TakeFlags(fuzz::AsView(data, size));
    // 0 … 6 are the encodings; 7 stands for any number outside them.
    const std::int64_t setting = input.flags % 8;
    const FileEncoding encoding = FileEncodingFromInt(setting == 7 ? 99 : setting);

    const DecodedText decoded = DecodeTextBytes(input.rest, encoding);
    fuzz::Check(decoded.text.find('\0') == std::string::npos, "decoded text ends at a zero byte");

    static const std::string path = fuzz::ScratchFolder() + "/article.txt";
    fuzz::WriteWholeFile(path, input.rest);
    const DecodedText read = ReadArticleText(path, encoding);
    fuzz::Check(read.text == decoded.text && read.encoding == decoded.encoding,
                "reading the file decodes its bytes the same way");

    (void)LooksLikeUtf8(input.rest);
    (void)ConvertToGb18030(input.rest, CharsetNameOf(encoding));
    return 0;
}
